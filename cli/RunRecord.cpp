#include "RunRecord.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>

namespace climate::cli {

QString recordFileName(const QDateTime& started, const QString& tag, const QString& command) {
    QString name = started.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss.zzz'Z'"));
    QString safe = tag.trimmed();
    for (QChar& c : safe) {
        if (!(c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('.') ||
              c == QLatin1Char('_'))) {
            c = QLatin1Char('_');
        }
    }
    if (!safe.isEmpty()) {
        name += QLatin1Char('_') + safe.left(100);
    }
    return name + QLatin1Char('_') + command + QStringLiteral(".json");
}

QString recordFolderProblem(const QString& folder) {
    if (!QDir().mkpath(folder)) {
        return QStringLiteral("cannot make the record folder %1").arg(folder);
    }
    const QFileInfo info(folder);
    if (!info.isDir() || !info.isWritable()) {
        return QStringLiteral("the record folder %1 is not writable").arg(folder);
    }
    return {};
}

QString writeRecordFile(const QString& folder, const QString& fileName, const QJsonObject& record,
                        QString& problem) {
    if (problem = recordFolderProblem(folder); !problem.isEmpty()) {
        return {};
    }
    const QByteArray bytes = QJsonDocument(record).toJson(QJsonDocument::Indented);
    const QString base = fileName.chopped(5); // ".json"
    for (int attempt = 1; attempt < 100; ++attempt) {
        const QString path = QDir(folder).filePath(
            attempt == 1 ? fileName : QStringLiteral("%1-%2.json").arg(base).arg(attempt));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            if (file.exists()) {
                continue;
            }
            problem = QStringLiteral("%1: %2").arg(path, file.errorString());
            return {};
        }
        if (file.write(bytes) != bytes.size() || !file.flush()) {
            problem = QStringLiteral("%1: %2").arg(path, file.errorString());
            return {};
        }
        return path;
    }
    problem = QStringLiteral("too many records named %1 in %2").arg(fileName, folder);
    return {};
}

} // namespace climate::cli
