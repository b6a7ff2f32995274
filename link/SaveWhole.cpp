#include "SaveWhole.h"

#include <QSaveFile>

#include <cerrno>
#include <cstring>

namespace climate::link {

bool writeFlushed(QFileDevice& file, const QByteArray& bytes, QString& reason) {
    errno = 0;
    if (file.write(bytes) == bytes.size() && file.flush()) {
        return true;
    }
    reason = errno != 0 ? QString::fromLocal8Bit(std::strerror(errno)) : file.errorString();
    return false;
}

bool saveWhole(const QString& path, const QByteArray& bytes, QString* error) {
    QSaveFile file(path);
    QString reason;
    if (!file.open(QIODevice::WriteOnly)) {
        reason = file.errorString();
    } else if (!writeFlushed(file, bytes, reason)) {
        file.cancelWriting();
    } else if (!file.commit()) {
        reason = file.errorString();
    } else {
        return true;
    }
    if (error != nullptr) {
        *error = reason;
    }
    return false;
}

} // namespace climate::link
