#pragma once

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// One run of a program as a user starts it from a shell, with the caller's extra environment
// on top of a predictable one: no Qt scaling, logging or message-pattern overrides, and a private
// runtime directory so Qt has nothing to warn about. A run still going when it is destroyed is
// killed, so a hung program fails its test instead of outliving it.
class ProgramRun {
public:
    explicit ProgramRun(const QString &program, const QStringList &arguments = {},
                        const QProcessEnvironment &extra = {});
    ~ProgramRun();
    ProgramRun(const ProgramRun &) = delete;
    ProgramRun &operator=(const ProgramRun &) = delete;

    bool started() const { return hasStarted; }
    long long pid() const { return process.processId(); }
    bool isRunning() const { return process.state() != QProcess::NotRunning; }

    // Waits up to timeoutMs for the program to end by itself.
    bool finished(int timeoutMs);
    bool exitedNormally() const { return process.exitStatus() == QProcess::NormalExit; }
    int exitCode() const { return process.exitCode(); }

    // Waits up to timeoutMs until the program has written text to stderr, at least times times.
    bool wroteToStandardError(const QByteArray &text, int timeoutMs, int times = 1);
    // Everything written so far.
    const QByteArray &standardOutput();
    const QByteArray &standardError();

private:
    void collect();

    QTemporaryDir runtimeDir;
    QProcess process;
    bool hasStarted = false;
    QByteArray out;
    QByteArray err;
};
