#pragma once

#include <QByteArray>
#include <QString>

namespace climate::config {

// Decodes text in code page 936 (GBK, the controller's Chinese texts): with Qt's ICU converter
// on Linux (CodePage936Posix.cpp), with the system's own code page on Windows, whose Qt has no
// ICU (CodePage936Win.cpp).
QString decodeCodePage936(const QByteArray& text);

} // namespace climate::config
