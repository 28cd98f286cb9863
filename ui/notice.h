#pragma once

#include <QString>

// A line saying what the window just did (a file saved, an input refused), shown for a few
// seconds of the window's clock.
class Notice {
public:
    static constexpr long long shownNs = 4000000000;

    void show(const QString &text, long long nowNs);
    // The text while it is shown, else an empty string.
    QString text(long long nowNs) const;

private:
    QString shown;
    long long since = 0;
};
