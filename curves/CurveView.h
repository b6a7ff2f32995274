#pragma once

class PortGate;
class XYPlot;

// The Declaration page, as the fan-curve code sees it.
struct CurveView {
    XYPlot* iXYPlot1 = nullptr;
    const PortGate* port = nullptr; // whether the port is open
};
