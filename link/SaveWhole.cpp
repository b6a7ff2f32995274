#include "SaveWhole.h"

#include <QSaveFile>

#include <cerrno>
#include <cstring>

namespace climate::link {

bool saveWhole(const QString& path, const QByteArray& bytes, QString* error) {
    QSaveFile file(path);
    QString reason;
    if (!file.open(QIODevice::WriteOnly)) {
        reason = file.errorString();
    } else if (errno = 0; file.write(bytes) != bytes.size() || !file.flush()) {
        // Qt's own text for a failed flush is often "Unknown error"; the system's says more.
        reason = errno != 0 ? QString::fromLocal8Bit(std::strerror(errno)) : file.errorString();
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
