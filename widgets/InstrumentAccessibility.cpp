#include "InstrumentAccessibility.h"

#include "AccessibleInstrument.h"
#include "AccessibleRockerSwitch.h"
#include "AccessibleRotarySwitch.h"
#include "AccessibleRoundLed.h"
#include "AccessibleXYPlot.h"
#include "Dial.h"
#include "LedBar.h"
#include "NumericReadout.h"
#include "Odometer.h"
#include "RockerSwitch.h"
#include "RotarySwitch.h"
#include "RoundLed.h"
#include "Thermometer.h"
#include "XYPlot.h"

#include <QAccessible>

#include <utility>

namespace {

// Our own class by its exact name: Qt asks once per class up the hierarchy, most derived first,
// so subclasses of an instrument are served too, and a foreign class of the same name is not.
template <typename Widget>
Widget* instrumentOf(const QString& className, QLatin1StringView name, QObject* object) {
    return className == name ? qobject_cast<Widget*>(object) : nullptr;
}

QAccessibleInterface* instrumentFactory(const QString& className, QObject* object) {
    using namespace Qt::Literals::StringLiterals;
    if (auto* w = instrumentOf<Dial>(className, "Dial"_L1, object))
        return new AccessibleInstrument(w, w, QAccessible::Indicator);
    if (auto* w = instrumentOf<Thermometer>(className, "Thermometer"_L1, object))
        return new AccessibleInstrument(w, w, QAccessible::Indicator);
    if (auto* w = instrumentOf<Odometer>(className, "Odometer"_L1, object))
        return new AccessibleInstrument(w, w, QAccessible::Indicator);
    if (auto* w = instrumentOf<NumericReadout>(className, "NumericReadout"_L1, object))
        return new AccessibleInstrument(w, w, QAccessible::Indicator);
    if (auto* w = instrumentOf<LedBar>(className, "LedBar"_L1, object))
        return new AccessibleInstrument(w, w, QAccessible::ProgressBar);
    if (auto* w = instrumentOf<RoundLed>(className, "RoundLed"_L1, object))
        return new AccessibleRoundLed(w);
    if (auto* w = instrumentOf<RotarySwitch>(className, "RotarySwitch"_L1, object))
        return new AccessibleRotarySwitch(w);
    if (auto* w = instrumentOf<RockerSwitch>(className, "RockerSwitch"_L1, object))
        return new AccessibleRockerSwitch(w);
    if (auto* w = instrumentOf<XYPlot>(className, "XYPlot"_L1, object))
        return new AccessibleXYPlot(w);
    return nullptr;
}

InstrumentEventObserver eventObserver = nullptr;

void raise(QAccessibleEvent& event) {
    if (eventObserver)
        eventObserver(&event);
    QAccessible::updateAccessibility(&event);
}

} // namespace

void installInstrumentAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(instrumentFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

void notifyAccessibleValue(QObject* instrument, const QVariant& value) {
    QAccessibleValueChangeEvent event(instrument, value);
    raise(event);
}

void notifyAccessibleChecked(QObject* instrument) {
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent event(instrument, changed);
    raise(event);
}

void notifyAccessibleDescription(QObject* instrument) {
    QAccessibleEvent event(instrument, QAccessible::DescriptionChanged);
    raise(event);
}

InstrumentEventObserver setInstrumentEventObserver(InstrumentEventObserver observer) {
    return std::exchange(eventObserver, observer);
}
