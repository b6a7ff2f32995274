#include "RealTimePage.h"

#include "widgets/Dial.h"
#include "widgets/NumericReadout.h"
#include "widgets/Odometer.h"
#include "widgets/RockerSwitch.h"
#include "widgets/RotarySwitch.h"
#include "widgets/RoundLed.h"
#include "widgets/Thermometer.h"

#include <QLineEdit>
#include <QPushButton>

using namespace climate::widgets;

RealTimePage::RealTimePage() {
    for (std::size_t i = 1; i < m_view.iAngularGauge.size(); ++i) {
        m_view.iAngularGauge[i] = new Dial(&m_parent);
    }
    for (std::size_t i = 1; i <= 4; ++i) {
        m_view.iAngularGauge[i]->setRange(0, 3000);
    }
    m_view.iAngularGauge[5]->setRange(0, 80);
    m_view.iAngularGauge[6]->setRange(0, 10);
    m_view.iAngularGauge[7]->setRange(0, 35);
    for (std::size_t i = 1; i < m_view.iOdometer.size(); ++i) {
        m_view.iOdometer[i] = new Odometer(&m_parent);
    }
    for (std::size_t i = 1; i < m_view.iThermometer.size(); ++i) {
        m_view.iThermometer[i] = new Thermometer(&m_parent);
        m_view.iThermometer[i]->setRange(-40, 80);
    }
    for (std::size_t i = 1; i < m_view.iAnalogOutput.size(); ++i) {
        m_view.iAnalogOutput[i] = new NumericReadout(&m_parent);
    }
    for (std::size_t i = 1; i < m_view.iLedRound.size(); ++i) {
        m_view.iLedRound[i] = new RoundLed(&m_parent);
    }
    m_view.iSwitchRotary1 = new RotarySwitch(&m_parent);
    m_view.iSwitchRotary1->setPositionLabels({"On", "Off"});
    m_view.iSwitchRotary1->setPosition(1);
    m_view.iSwitchRotary2 = new RotarySwitch(&m_parent);
    m_view.iSwitchRotary2->setPositionLabels({"On", "Off", "Enable"});
    m_view.iSwitchRotary2->setPosition(0);
    m_view.iSwitchRocker1 = new RockerSwitch(&m_parent);
    m_view.iSwitchRocker1->setOn(true);
    m_view.Edit3 = new QLineEdit(QStringLiteral("0"), &m_parent);
    m_view.Edit32 = new QLineEdit(QStringLiteral("0"), &m_parent);
    m_view.Edit11 = new QLineEdit(QStringLiteral("0"), &m_parent);
    m_view.Edit19 = new QLineEdit(QStringLiteral("0"), &m_parent);
    m_view.Edit20 = new QLineEdit(QStringLiteral("0"), &m_parent);
    m_view.port = &m_port;
}
