#include "tests/e2e/programrun.h"

#include <QDeadlineTimer>

namespace {

constexpr int startTimeoutMs = 10000;

} // namespace

ProgramRun::ProgramRun(const QString &program, const QStringList &arguments,
                       const QProcessEnvironment &extra) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // Settings that would change the window's size, what is logged or how OpenGL is reached.
    const char *overrides[] = {
        "QT_SCALE_FACTOR",           "QT_SCREEN_SCALE_FACTORS", "QT_AUTO_SCREEN_SCALE_FACTOR",
        "QT_ENABLE_HIGHDPI_SCALING", "QT_LOGGING_RULES",        "QT_MESSAGE_PATTERN",
        "QT_FATAL_WARNINGS",         "QT_XCB_GL_INTEGRATION",   "MESA_GL_VERSION_OVERRIDE"};
    for (const char *name : overrides)
        environment.remove(QString::fromLatin1(name));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir.path());
    environment.insert(extra);

    process.setProcessEnvironment(environment);
    process.setProgram(program);
    process.setArguments(arguments);
    // waitForReadyRead() only returns early for data on the read channel.
    process.setReadChannel(QProcess::StandardError);
    process.start(QIODevice::ReadOnly);
    hasStarted = process.waitForStarted(startTimeoutMs);
}

ProgramRun::~ProgramRun() {
    if (isRunning()) {
        process.kill();
        process.waitForFinished(startTimeoutMs);
    }
}

bool ProgramRun::finished(int timeoutMs) {
    const bool ended = !isRunning() || process.waitForFinished(timeoutMs);
    collect();
    return ended;
}

bool ProgramRun::wroteToStandardError(const QByteArray &text, int timeoutMs, int times) {
    const QDeadlineTimer deadline(timeoutMs);
    collect();
    while (err.count(text) < times && isRunning() && !deadline.hasExpired()) {
        process.waitForReadyRead(static_cast<int>(deadline.remainingTime()));
        collect();
    }
    return err.count(text) >= times;
}

const QByteArray &ProgramRun::standardOutput() {
    collect();
    return out;
}

const QByteArray &ProgramRun::standardError() {
    collect();
    return err;
}

void ProgramRun::collect() {
    out += process.readAllStandardOutput();
    err += process.readAllStandardError();
}
