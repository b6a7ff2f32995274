#include "ValueText.h"

#include <algorithm>

namespace climate::widgets {

QString formatInstrumentValue(double value, int decimals) {
    decimals = std::clamp(decimals, 0, 6);
    // QString::number always writes the C locale, so the decimal point stays a '.'.
    QString text = QString::number(value, 'f', decimals);
    if (text.startsWith(u'-') && text.count(u'0') + text.count(u'.') == text.size() - 1)
        text.remove(0, 1);
    return text;
}

QString formatInstrumentValue(double value, int decimals, const QString& unit) {
    const QString number = formatInstrumentValue(value, decimals);
    return unit.isEmpty() ? number : number + u' ' + unit;
}

} // namespace climate::widgets
