#pragma once

class QPushButton;
class XYPlot;

// The Declaration page, as the fan-curve code sees it.
struct CurveView {
    XYPlot* iXYPlot1 = nullptr;
    QPushButton* Button1 = nullptr; // the port button: its caption "Open" means the port is closed
};
