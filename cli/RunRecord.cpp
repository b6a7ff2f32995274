#include "RunRecord.h"

#include "link/SaveWhole.h"

#include <QCoreApplication>
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

QByteArray recordText(const QJsonObject& record, const QByteArrayList* samples,
                      QJsonDocument::JsonFormat format) {
    QByteArray text = QJsonDocument(record).toJson(format);
    if (samples == nullptr) {
        return text;
    }
    const qsizetype end = text.lastIndexOf('}');
    const bool indented = format == QJsonDocument::Indented;
    QByteArray member = record.isEmpty() ? QByteArray() : QByteArray(",");
    member += indented ? "    \"samples\": [" : "\"samples\":[";
    member += samples->join(indented ? ",\n        " : ",");
    member += indented ? "]\n" : "]";
    if (indented && !record.isEmpty()) {
        // After the last member's line: "...last\n}" becomes "...last,\n    \"samples\": [...]\n}".
        text.insert(end - 1, member.mid(0, 1) + '\n' + member.mid(1).chopped(1));
        return text;
    }
    text.insert(end, member);
    return text;
}

QString writeRecordFile(const QString& folder, const QString& fileName, const QJsonObject& record,
                        QString& problem, const QByteArrayList* samples) {
    if (problem = recordFolderProblem(folder); !problem.isEmpty()) {
        return {};
    }
    const QByteArray bytes = recordText(record, samples, QJsonDocument::Indented);
    // The record is written whole under a name of this process's own, then given its own name,
    // which never replaces another file: a record is there complete or not at all. (QSaveFile
    // would replace, and does not report a write that fails when its buffer is flushed.) The
    // file is closed before it is renamed: Windows does not move a file that is open.
    const QString partPath = QDir(folder).filePath(
        QStringLiteral(".%1.%2.part").arg(fileName).arg(QCoreApplication::applicationPid()));
    QFile part(partPath);
    const bool opened = part.open(QIODevice::WriteOnly | QIODevice::Truncate);
    QString reason = opened ? QString() : part.errorString();
    if (!opened || !link::writeFlushed(part, bytes, reason)) {
        problem = QStringLiteral("%1: %2").arg(QDir(folder).filePath(fileName), reason);
        // Closing may fail again on what is still buffered; the file goes all the same.
        part.close();
        QFile::remove(partPath);
        return {};
    }
    part.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                        QFileDevice::ReadOther);
    part.close();
    const QString base = fileName.chopped(5); // ".json"
    for (int attempt = 1; attempt < 100; ++attempt) {
        const QString path = QDir(folder).filePath(
            attempt == 1 ? fileName : QStringLiteral("%1-%2.json").arg(base).arg(attempt));
        if (part.rename(path)) {
            return path;
        }
        if (!QFileInfo::exists(path)) {
            problem = QStringLiteral("%1: %2").arg(path, part.errorString());
            QFile::remove(partPath);
            return {};
        }
    }
    QFile::remove(partPath);
    problem = QStringLiteral("too many records named %1 in %2").arg(fileName, folder);
    return {};
}

} // namespace climate::cli
