#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

namespace climate::link {

// Writes `bytes` to the file `path` whole or not at all: they go to a new file beside it, which
// takes the name only once every byte is on the disk. On failure the file is left as it was and
// `error` (when given) holds the system's reason.
//
// QSaveFile alone is not enough: its commit() reports success when the last buffered write fails
// (a full disk, a file size limit), leaving a cut file under the name. So the buffer is flushed
// and checked first.
[[nodiscard]] bool saveWhole(const QString& path, const QByteArray& bytes,
                             QString* error = nullptr);

// Writes `bytes` to the open `file` and hands them to the system, so that a full disk shows here
// and not later, unnoticed, when the file is closed. On failure `reason` holds the system's
// reason (Qt's own text for a failed flush is often "Unknown error").
[[nodiscard]] bool writeFlushed(QFileDevice& file, const QByteArray& bytes, QString& reason);

} // namespace climate::link
