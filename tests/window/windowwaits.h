#pragma once

#include "tests/window/recordingwindow.h"

#include <QTest>

// Waits that let the event loop run until the window system has done what was asked, bounded
// so that a window that never changes fails the test instead of blocking it.
namespace windowwaits {

constexpr int timeoutMs = 5000;

inline bool showExposed(QWindow &window) {
    window.show();
    return QTest::qWaitForWindowExposed(&window, timeoutMs);
}

inline bool hideUnexposed(QWindow &window) {
    window.hide();
    return QTest::qWaitFor([&window] { return !window.isExposed(); }, timeoutMs);
}

// Waits until the window has rendered at least count frames in all.
inline bool rendered(const RecordingWindow &window, int count) {
    return QTest::qWaitFor([&window, count] { return window.renderCount() >= count; }, timeoutMs);
}

} // namespace windowwaits
