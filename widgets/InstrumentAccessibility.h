#pragma once

#include <QVariant>

class QAccessibleEvent;
class QObject;

namespace climate::widgets {

// Registers the accessible interfaces of the instruments (dials, thermometers, odometers, readouts,
// LEDs, LED bar, switches, XY plot) with Qt's accessibility framework. Call once at start-up;
// further calls do nothing.
void installInstrumentAccessibility();

// Tell assistive technology that an instrument's value, checked state or description changed.
void notifyAccessibleValue(QObject* instrument, const QVariant& value);
void notifyAccessibleChecked(QObject* instrument);
void notifyAccessibleDescription(QObject* instrument);

// Sees every event the instruments raise towards assistive technology, also while none is active
// (Qt drops the events then, and the offscreen platform never has one). For tests and
// diagnostics; nullptr removes it. Returns the observer it replaces.
using InstrumentEventObserver = void (*)(QAccessibleEvent* event);
InstrumentEventObserver setInstrumentEventObserver(InstrumentEventObserver observer);

} // namespace climate::widgets
