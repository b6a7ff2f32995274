#pragma once

#include "realtime/RealTimeView.h"

#include "support/FakePortGate.h"

#include <QWidget>

// The widgets of the RealTimeData page and the link bar, created for a test with the scales and
// start states of the window (rocker on, rotary switches "Off" and "On", bar at 5), with the port
// open.
class RealTimePage {
public:
    RealTimePage();

    [[nodiscard]] const climate::realtime::RealTimeView& view() const { return m_view; }
    void closePort() { m_port.open = false; }

private:
    FakePortGate m_port;
    QWidget m_parent;
    climate::realtime::RealTimeView m_view;
};
