#pragma once

#include "EngineDriver.h"
#include "FakeEngineWindow.h"
#include "FakeSerialPort.h"
#include "link/CommEngine.h"
#include "link/LinkState.h"

// Everything an engine test needs, wired together: an open fake port, a fake window showing the
// Configuration page, the link-state model the engine's replies move on, the engine and a driver.
// The engine's PageMode starts at 0, so the Configuration page counts as already shown; showPage()
// another page to start its cycle.
struct EngineRig {
    EngineRig() { port.setOpen(true); }

    FakeSerialPort port;
    FakeEngineWindow window;
    climate::link::LinkState link{port};
    climate::link::CommEngine engine{port, window, link};
    EngineDriver driver{engine, port, window};
};
