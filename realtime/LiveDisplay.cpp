#include "LiveDisplay.h"

#include "LiveData.h"
#include "RealTimeView.h"
#include "link/NumberText.h"
#include "widgets/Dial.h"
#include "widgets/NumericReadout.h"
#include "widgets/Odometer.h"
#include "widgets/RockerSwitch.h"
#include "widgets/RotarySwitch.h"
#include "widgets/RoundLed.h"
#include "widgets/Thermometer.h"

#include <QLineEdit>

namespace climate::realtime {

using namespace climate::link;

namespace {

// Rotary switch positions: 0 is "On", 1 is "Off".
int rotaryPosition(std::uint8_t on) {
    return on == 1 ? 0 : 1;
}

QString generalText(double value) {
    return QString::fromStdString(formatGeneral(value));
}

} // namespace

void showStatusCoils(const LiveData& live, const RealTimeView& view) {
    view.iLedRound[1]->setActive(live.IntFan1Status == 1);
    view.iLedRound[2]->setActive(live.IntFan2Status == 1);
    view.iLedRound[3]->setActive(live.ExtFan1Status == 1);
    view.iLedRound[4]->setActive(live.ExtFan2Status == 1);
    view.iSwitchRotary2->setPosition(rotaryPosition(live.CompressorOn));
    view.iSwitchRotary1->setPosition(rotaryPosition(live.HeaterOn));
    view.iSwitchRocker1->setOn(live.ForcedOutput == 1);
}

void showCompressorSettings(const LiveData& live, const RealTimeView& view) {
    view.Edit3->setText(generalText(live.CompressorSetTemp));
    view.Edit32->setText(generalText(live.CompressorDeltTemp));
}

void showMeasurements(const LiveData& live, const RealTimeView& view) {
    view.Edit19->setText(QString::number(live.InternalFan1Rev));
    view.iAngularGauge[1]->setPosition(live.InternalFan1Rev);
    view.iOdometer[1]->setValue(live.InternalFan1Rev);
    view.iAngularGauge[2]->setPosition(live.InternalFan2Rev);
    view.iOdometer[2]->setValue(live.InternalFan2Rev);
    view.Edit20->setText(QString::number(live.ExternalFan1Rev));
    view.iAngularGauge[3]->setPosition(live.ExternalFan1Rev);
    view.iOdometer[3]->setValue(live.ExternalFan1Rev);
    view.iAngularGauge[4]->setPosition(live.ExternalFan2Rev);
    view.iOdometer[4]->setValue(live.ExternalFan2Rev);
    view.iAnalogOutput[3]->setValue(live.Temperature1);
    view.iThermometer[1]->setPosition(live.Temperature1);
    view.iAnalogOutput[4]->setValue(live.Temperature2);
    view.iThermometer[2]->setPosition(live.Temperature2);
    view.iAnalogOutput[5]->setValue(live.SupplyVoltage);
    view.iAngularGauge[5]->setPosition(live.SupplyVoltage);
    view.iOdometer[5]->setValue(live.CompressorRev);
    view.iAnalogOutput[1]->setValue(live.CompressorCurrent);
    view.iAngularGauge[7]->setPosition(live.CompressorCurrent);
    view.iAnalogOutput[2]->setValue(live.HeaterCurrent);
    view.iAngularGauge[6]->setPosition(live.HeaterCurrent);
    view.iAnalogOutput[6]->setValue(live.Temperature3);
    view.iThermometer[3]->setPosition(live.Temperature3);
}

void showLostLinkValues(const RealTimeView& view) {
    view.Edit19->setText(QStringLiteral("0"));
    view.iAngularGauge[1]->setPosition(0);
    view.iOdometer[1]->setValue(0);
    view.iLedRound[1]->setActive(false);

    view.iAngularGauge[2]->setPosition(0);
    view.iOdometer[2]->setValue(0);
    view.iLedRound[2]->setActive(false);

    view.Edit20->setText(QStringLiteral("0"));
    view.iAngularGauge[3]->setPosition(0);
    view.iOdometer[3]->setValue(0);
    view.iLedRound[3]->setActive(false);

    view.iAngularGauge[4]->setPosition(0);
    view.iOdometer[4]->setValue(0);
    view.iLedRound[4]->setActive(false);

    view.iAnalogOutput[3]->setValue(0);
    view.iThermometer[1]->setPosition(0);
    view.iAnalogOutput[4]->setValue(0);
    view.iThermometer[2]->setPosition(0);

    view.iAnalogOutput[5]->setValue(0);
    view.iAngularGauge[5]->setPosition(0);
    view.iAnalogOutput[1]->setValue(0);
    view.iAngularGauge[7]->setPosition(0);
    view.iOdometer[5]->setValue(0);
}

std::array<AlarmLedState, 13> alarmLedStates(const LiveData& live) {
    return {{
        {5, live.IntFan1Alarm == 1},
        {7, live.IntFan2Alarm == 1},
        {8, live.ExtFan1Alarm == 1},
        {9, live.ExtFan2Alarm == 1},
        {16, live.CompressorAlarm1 + live.CompressorAlarm2 > 0},
        {13, live.HighTempAlarm == 1},
        {14, live.LowTempAlarm == 1},
        {11, live.TempSensor1Alarm == 1},
        {12, live.TempSensor2Alarm == 1},
        {17, live.VoltageAlarm1 + live.VoltageAlarm2 >= 1},
        {6, live.HeaterAlarm == 1},
        {10, live.HighPressureAlarm == 1},
        {15, live.LowPressureAlarm == 1},
    }};
}

void showAlarmPhase(const LiveData& live, const RealTimeView& view, bool litPhase) {
    if (litPhase) {
        for (const AlarmLedState& state : alarmLedStates(live)) {
            view.iLedRound[state.led]->setActive(state.lit);
        }
        return;
    }
    for (int led = 5; led <= 17; ++led) {
        view.iLedRound[led]->setActive(false);
    }
}

} // namespace climate::realtime
