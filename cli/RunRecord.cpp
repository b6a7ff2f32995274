#include "RunRecord.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QTemporaryFile>

#include <cerrno>

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
    // The record is written whole under a temporary name, then given its own name, which never
    // replaces another file: a record is there complete or not at all. (QSaveFile would replace,
    // and does not report a write that fails when its buffer is flushed.)
    QTemporaryFile temporary(QDir(folder).filePath(QStringLiteral(".record-XXXXXX")));
    errno = 0;
    if (!temporary.open() || temporary.write(bytes) != bytes.size() || !temporary.flush()) {
        const int error = errno;
        problem = QStringLiteral("%1: %2").arg(QDir(folder).filePath(fileName),
                                               error != 0 ? qt_error_string(error)
                                                          : temporary.errorString());
        return {};
    }
    temporary.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                             QFileDevice::ReadGroup | QFileDevice::ReadOther);
    temporary.close();
    const QString written = temporary.fileName();
    const QString base = fileName.chopped(5); // ".json"
    for (int attempt = 1; attempt < 100; ++attempt) {
        const QString path = QDir(folder).filePath(
            attempt == 1 ? fileName : QStringLiteral("%1-%2.json").arg(base).arg(attempt));
        QFile file(written);
        if (file.rename(path)) {
            temporary.setAutoRemove(false);
            return path;
        }
        if (!QFileInfo::exists(path)) {
            problem = QStringLiteral("%1: %2").arg(path, file.errorString());
            return {};
        }
    }
    problem = QStringLiteral("too many records named %1 in %2").arg(fileName, folder);
    return {};
}

} // namespace climate::cli
