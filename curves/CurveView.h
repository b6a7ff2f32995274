#pragma once

namespace climate::link {
class PortGate;
} // namespace climate::link

namespace climate::widgets {
class XYPlot;
} // namespace climate::widgets

namespace climate::curves {

// The Declaration page, as the fan-curve code sees it.
struct CurveView {
    widgets::XYPlot* iXYPlot1 = nullptr;
    const link::PortGate* port = nullptr; // whether the port is open
};

} // namespace climate::curves
