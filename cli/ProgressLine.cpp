#include "ProgressLine.h"

#include <QtGlobal>

#include <algorithm>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

namespace climate::cli {

bool isTerminal(std::FILE* stream) {
#ifdef Q_OS_WIN
    return _isatty(_fileno(stream)) != 0;
#else
    return ::isatty(::fileno(stream)) != 0;
#endif
}

void ProgressLine::show(const QString& text) {
    if (!m_shown) {
        return;
    }
    const QByteArray line = (QLatin1Char('\r') + text.leftJustified(m_width)).toUtf8();
    std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), m_stream);
    std::fflush(m_stream);
    m_width = std::max<qsizetype>(text.size(), 1);
}

void ProgressLine::end() {
    if (m_width > 0) {
        std::fputc('\n', m_stream);
        std::fflush(m_stream);
        m_width = 0;
    }
}

} // namespace climate::cli
