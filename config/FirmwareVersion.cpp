#include "FirmwareVersion.h"

#include <QStringDecoder>

#include <algorithm>

namespace climate::config {

QString decodeFirmwareVersion(std::span<const std::uint8_t> bytes) {
    const auto end = std::find(bytes.begin(), bytes.end(), std::uint8_t{0});
    const QByteArray text(reinterpret_cast<const char*>(bytes.data()),
                          static_cast<qsizetype>(end - bytes.begin()));
    QStringDecoder gbk("GBK");
    if (!gbk.isValid()) {
        return QString::fromLatin1(text); // a Qt without ICU: keep at least the ASCII part
    }
    return gbk.decode(text);
}

} // namespace climate::config
