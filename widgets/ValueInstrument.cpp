#include "ValueInstrument.h"

#include "InstrumentAccessibility.h"
#include "ValueText.h"

#include <QEvent>

#include <algorithm>
#include <cmath>
#include <utility>

namespace climate::widgets {

ValueInstrument::ValueInstrument(double minimum, double maximum, int decimals, QWidget* parent)
    : QWidget(parent), m_minimum(minimum), m_maximum(maximum), m_decimals(decimals) {}

void ValueInstrument::setUnitText(const QString& unit) {
    if (unit == m_unitText) {
        return;
    }
    m_unitText = unit;
    unitChanged();
}

void ValueInstrument::setDecimals(int decimals) {
    decimals = std::clamp(decimals, 0, 6);
    if (decimals == m_decimals) {
        return;
    }
    m_decimals = decimals;
    update();
}

QString ValueInstrument::valueText() const {
    return formatInstrumentValue(m_value, m_decimals, m_unitText);
}

bool ValueInstrument::holdRange(double minimum, double maximum) {
    if (std::isnan(minimum) || std::isnan(maximum)) {
        return false;
    }
    if (minimum > maximum) {
        std::swap(minimum, maximum);
    }
    if (minimum == m_minimum && maximum == m_maximum) {
        return false;
    }
    m_minimum = minimum;
    m_maximum = maximum;
    return true;
}

bool ValueInstrument::holdValue(double value) {
    if (std::isnan(value) || value == m_value) {
        return false;
    }
    m_value = value;
    update();
    notifyAccessibleValue(this, m_value);
    return true;
}

void ValueInstrument::changeEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::PaletteChange:
    case QEvent::FontChange:
    case QEvent::StyleChange:
        m_background.invalidate();
        update();
        break;
    default:
        break;
    }
    QWidget::changeEvent(event);
}

} // namespace climate::widgets
