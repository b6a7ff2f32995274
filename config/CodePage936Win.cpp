#include "CodePage936.h"

#include <windows.h>

namespace climate::config {

QString decodeCodePage936(const QByteArray& text) {
    if (text.isEmpty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int length = ::MultiByteToWideChar(936, 0, text.constData(), size, nullptr, 0);
    if (length <= 0) {
        return QString::fromLatin1(text); // no code page 936 here: keep at least the ASCII part
    }
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(936, 0, text.constData(), size, wide.data(), length);
    return QString::fromStdWString(wide);
}

} // namespace climate::config
