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

namespace climate::widgets {

namespace {

// Our own class by its exact (namespace-qualified) name as its meta-object spells it: Qt asks once
// per class up the hierarchy, most derived first, so subclasses of an instrument are served too,
// and a foreign class of the same short name is not.
template <typename Widget> Widget* instrumentOf(const QString& className, QObject* object) {
    return className == QLatin1StringView(Widget::staticMetaObject.className())
               ? qobject_cast<Widget*>(object)
               : nullptr;
}

QAccessibleInterface* instrumentFactory(const QString& className, QObject* object) {
    if (auto* w = instrumentOf<Dial>(className, object))
        return new AccessibleInstrument(w, w, QAccessible::Indicator);
    if (auto* w = instrumentOf<Thermometer>(className, object))
        return new AccessibleInstrument(w, w, QAccessible::Indicator);
    if (auto* w = instrumentOf<Odometer>(className, object))
        return new AccessibleInstrument(w, w, QAccessible::Indicator);
    if (auto* w = instrumentOf<NumericReadout>(className, object))
        return new AccessibleInstrument(w, w, QAccessible::Indicator);
    if (auto* w = instrumentOf<LedBar>(className, object))
        return new AccessibleInstrument(w, w, QAccessible::ProgressBar);
    if (auto* w = instrumentOf<RoundLed>(className, object))
        return new AccessibleRoundLed(w);
    if (auto* w = instrumentOf<RotarySwitch>(className, object))
        return new AccessibleRotarySwitch(w);
    if (auto* w = instrumentOf<RockerSwitch>(className, object))
        return new AccessibleRockerSwitch(w);
    if (auto* w = instrumentOf<XYPlot>(className, object))
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

} // namespace climate::widgets
