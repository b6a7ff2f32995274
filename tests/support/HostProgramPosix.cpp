#include "HostProgram.h"

#include <QProcess>

HostRun runHostProgram(const QString& program, const QStringList& arguments, int timeoutMs) {
    QProcess process;
    process.start(program, arguments);
    HostRun run;
    if (!process.waitForStarted(timeoutMs)) {
        run.errors = process.errorString().toUtf8();
        return run;
    }
    run.finished =
        process.waitForFinished(timeoutMs) && process.exitStatus() == QProcess::NormalExit;
    run.exitCode = process.exitCode();
    run.output = process.readAllStandardOutput();
    run.errors = process.readAllStandardError();
    return run;
}

QString hostPath(const QString& path) {
    return path;
}
