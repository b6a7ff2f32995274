#include "BusMonitorBridge.h"

#include "session/IntervalTimer.h"

#include "config/ConfigurationPage.h"
#include "config/FirmwareVersion.h"
#include "link/CommEngine.h"
#include "link/LinkState.h"
#include "link/NamedPort.h"
#include "link/QtSerialPortLink.h"
#include "monitor/BusMonitorWindow.h"

#include <QPushButton>

namespace climate::app {

using namespace climate::config;
using namespace climate::link;

void TForm1::MonitorBridge::observeEngine(EngineObserver* observer) {
    if (m_observer != nullptr) {
        m_form.engine().removeObserver(*m_observer);
    }
    m_observer = observer;
    if (m_observer != nullptr) {
        m_form.engine().addObserver(*m_observer);
    }
}

const TrafficHistory& TForm1::MonitorBridge::history() const {
    return *m_form.m_traffic;
}

SerialPort& TForm1::MonitorBridge::port() {
    return m_form.port();
}

bool TForm1::MonitorBridge::portOpen() const {
    return m_form.linkState().portOpen();
}

bool TForm1::MonitorBridge::commandBusy() const {
    return m_form.engine().state().CommandBusy;
}

void TForm1::MonitorBridge::pauseEngine() {
    m_form.Timer1->stop();
    m_form.Timer2->stop();
}

void TForm1::MonitorBridge::resumeEngine() {
    m_form.Timer1->start();
    m_form.Timer2->start();
}

void TForm1::MonitorBridge::useAddress(int address) {
    m_form.m_configuration->model().setCommAddress(QString::number(address));
    m_form.guarded([this] { m_form.Button8Click(); });
}

QString TForm1::MonitorBridge::firmwareText(std::span<const std::uint8_t> bytes) const {
    return decodeFirmwareVersion(bytes);
}

void TForm1::openBusMonitor() {
    if (m_busMonitor == nullptr) {
        m_busMonitor = std::make_unique<monitor::BusMonitorWindow>(*m_monitorBridge, this);
        // Closing the port ends a search at once.
        connect(Button1, &QPushButton::clicked, m_busMonitor.get(),
                [this] { m_busMonitor->search().cancel(); });
    }
    m_busMonitor->show();
    m_busMonitor->raise();
    m_busMonitor->activateWindow();
}

} // namespace climate::app
