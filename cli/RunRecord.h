#pragma once

#include <QByteArrayList>
#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

namespace climate::cli {

// The file name a record of a run gets in its folder: the start time in UTC to the millisecond,
// the tag with every character a file name cannot safely hold replaced by '_', and the command:
// "20261211T004512.042Z_SN0012345_write.json".
[[nodiscard]] QString recordFileName(const QDateTime& started, const QString& tag,
                                     const QString& command);

// `record` as JSON text; with `samples`, its last member is "samples", the array of those texts
// (each a JSON object whose keys keep their order, which a QJsonObject would sort).
[[nodiscard]] QByteArray recordText(const QJsonObject& record, const QByteArrayList* samples,
                                    QJsonDocument::JsonFormat format);

// Writes `record` (and `samples`, as recordText places them) as a new file in `folder` (made if
// missing), never over another and never in part; the file's path, or the problem as an empty
// path and `problem` set (and then no file).
[[nodiscard]] QString writeRecordFile(const QString& folder, const QString& fileName,
                                      const QJsonObject& record, QString& problem,
                                      const QByteArrayList* samples = nullptr);

// A folder the record can go into: it exists or can be made, and is writable. The problem, or
// empty.
[[nodiscard]] QString recordFolderProblem(const QString& folder);

} // namespace climate::cli
