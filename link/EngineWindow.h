#pragma once

#include "UserMessage.h"

namespace climate::link {

// What the communication engine needs of the main window.
class EngineWindow : public MessagePresenter {
public:
    enum Page { ConfigurationPage = 0, RealTimeDataPage = 1, DeclarationPage = 2 };

    // Index of the visible page of the page control.
    [[nodiscard]] virtual int visiblePage() const = 0;
    // Sets the window to its fixed size of 810 x 646.
    virtual void forceWindowSize() = 0;
    // Interval of the engine timer; a value equal to the current one changes nothing, another
    // value restarts the countdown.
    virtual void setEngineInterval(int milliseconds) = 0;
    // Position (0 ... 100) of the link bar, which every received reply advances.
    [[nodiscard]] virtual double linkBarPosition() const = 0;
    virtual void setLinkBarPosition(double position) = 0;
};

} // namespace climate::link
