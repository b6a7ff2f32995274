#include "HostProgram.h"

#include "WineHost.h"

#include <QDeadlineTimer>

HostRun runHostProgram(const QString& program, const QStringList& arguments, int timeoutMs) {
    HostRun run;
    QTcpSocket socket;
    QString error;
    if (!wine_host::request(socket, "run", program, arguments,
                            QJsonObject{{QStringLiteral("timeout"), timeoutMs / 1000.0}}, error)) {
        run.errors = error.toUtf8();
        return run;
    }
    // The answer is one line, then the service closes the connection.
    const QDeadlineTimer deadline(timeoutMs + 5000);
    QByteArray answer;
    while (!answer.endsWith('\n') && !deadline.hasExpired()) {
        if (socket.bytesAvailable() == 0 &&
            !socket.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
            break;
        }
        answer += socket.readAll();
    }
    const QJsonObject result = QJsonDocument::fromJson(answer).object();
    if (result.isEmpty()) {
        run.errors = "no answer from the host service";
        return run;
    }
    run.exitCode = result.value(QStringLiteral("status")).toInt(-1);
    run.finished = run.exitCode >= 0;
    run.output =
        QByteArray::fromBase64(result.value(QStringLiteral("stdout")).toString().toLatin1());
    run.errors =
        QByteArray::fromBase64(result.value(QStringLiteral("stderr")).toString().toLatin1());
    return run;
}

QString hostPath(const QString& path) {
    return wine_host::unixPath(path);
}
