#include "CodePage936.h"

#include <QStringDecoder>

namespace climate::config {

QString decodeCodePage936(const QByteArray& text) {
    QStringDecoder gbk("GBK");
    if (!gbk.isValid()) {
        return QString::fromLatin1(text); // a Qt without ICU: keep at least the ASCII part
    }
    return gbk.decode(text);
}

} // namespace climate::config
