#pragma once

#include "config/ParameterTransfers.h"
#include "curves/FanCurveReads.h"
#include "link/CommEngine.h"
#include "link/LinkState.h"
#include "link/NamedPort.h"
#include "realtime/LivePolling.h"

#include <memory>

namespace climate::link {
class MessagePresenter;
} // namespace climate::link

namespace climate::session {

// One controller behind one port: the port, the engine that talks over it and the link's state,
// and the transactions of every page with the models they fill and read:
// - the live data and the live commands' inputs (LivePolling);
// - the parameters, the firmware text and the registers of the last Read All
//   (ParameterTransfers);
// - the fan-curve records (FanCurveReads).
// The window and climate-cli both build on it. Its owner drives the engine: its engine timer calls
// tick() with the page it shows, then takes engineIntervalMs() as the timer's next interval.
class ControllerSession {
public:
    // The engine's boxes go to `messages`; `clock` stamps the live-data model's events (the system
    // clock unless given).
    explicit ControllerSession(link::MessagePresenter& messages,
                               realtime::LiveDataModel::Clock clock = {});
    ~ControllerSession();
    ControllerSession(const ControllerSession&) = delete;
    ControllerSession& operator=(const ControllerSession&) = delete;

    [[nodiscard]] link::NamedPort& port() { return m_port; }
    [[nodiscard]] link::LinkState& linkState() { return m_linkState; }
    [[nodiscard]] link::CommEngine& engine() { return m_engine; }
    [[nodiscard]] realtime::LivePolling& live() { return *m_live; }
    [[nodiscard]] config::ParameterTransfers& parameters() { return *m_parameters; }
    [[nodiscard]] curves::FanCurveReads& fanCurves() { return *m_fanCurves; }

    // One tick of the engine timer: the cycle of `visiblePage` (the page control's index) runs
    // one step.
    void tick(int visiblePage) { m_engine.tick(visiblePage); }
    // The interval the engine timer is to have from now on.
    [[nodiscard]] int engineIntervalMs() const { return m_engine.timerIntervalMs(); }

private:
    link::NamedPort m_port;
    link::LinkState m_linkState{m_port};
    link::CommEngine m_engine;
    std::unique_ptr<realtime::LivePolling> m_live;
    std::unique_ptr<config::ParameterTransfers> m_parameters;
    std::unique_ptr<curves::FanCurveReads> m_fanCurves;
};

} // namespace climate::session
