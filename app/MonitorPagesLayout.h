#pragma once

#include "curves/CurveView.h"
#include "realtime/RealTimeView.h"

class QWidget;

namespace climate::app {

class FormBuilder;

// Builds the RealTimeData page (instruments of fans, compressor, temperatures, voltage, heater,
// alarms, the debug temperature and the forced output on the unit's picture) and fills `view`.
void buildRealTimeDataPage(QWidget* page, FormBuilder& builder, realtime::RealTimeView& view);

// Builds the Declaration page: the two Draw buttons and the fan-curve plot.
void buildDeclarationPage(QWidget* page, FormBuilder& builder, curves::CurveView& view);

} // namespace climate::app
