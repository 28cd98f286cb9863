#include "app/sessionrecorder.h"

#include "physics/sandbox.h"
#include "physics/statetext.h"

#include <cstdio> // std::fprintf

bool SessionRecorder::open(const QString &path, const Scene &scene, QString &error) {
    file.setFileName(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || !put(replayHeader(scene))) {
        error = QStringLiteral("--record: cannot write \"%1\": %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

void SessionRecorder::record(const ReplayInput &input) {
    write(replayInputLine(input));
}

void SessionRecorder::finish(const Sandbox &sandbox) {
    write(replayEndLine(ReplayEnd{sandbox.totalSteps(), fnv1a(stateText(sandbox.bodies()))}));
}

bool SessionRecorder::put(const std::string &line) {
    const auto length = static_cast<qint64>(line.size());
    return file.write(line.data(), length) == length && file.flush();
}

void SessionRecorder::write(const std::string &line) {
    if (writeFailed || put(line))
        return;
    writeFailed = true;
    std::fprintf(stderr, "rigid2d: --record: could not write \"%s\": %s\n",
                 qPrintable(file.fileName()), qPrintable(file.errorString()));
}
