#pragma once

#include "LiveCommandInputs.h"
#include "LiveDataModel.h"

#include "link/CommEngine.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace climate::realtime {

class DebugTemperatureCommand;
class ForcedOutputCommand;
class PollStep;

// The RealTimeData transactions on one engine: the four steps of the polling circle, which decode
// into the live-data model, and the two live commands with the inputs they take. The inputs
// listen to the model first (the rocker follows coil 12); views subscribe after.
class LivePolling {
public:
    explicit LivePolling(link::CommEngine& engine, LiveDataModel::Clock clock = {});
    ~LivePolling();
    LivePolling(const LivePolling&) = delete;
    LivePolling& operator=(const LivePolling&) = delete;

    [[nodiscard]] LiveDataModel& model() { return m_model; }
    [[nodiscard]] const LiveDataModel& model() const { return m_model; }
    [[nodiscard]] LiveCommandInputs& inputs() { return m_inputs; }

    // Posts the debug temperature (tenths of a degree, or DebugTemperatureCommand::OutOfRange)
    // as live command 1.
    void postDebugTemperature(std::int16_t tenths);
    // Posts live command 2, asking for the state the rocker does not stand in now.
    void postForcedOutputFlip();

    // The values the last posts wrote (DebugTempValue, ForceCoilValue).
    [[nodiscard]] std::int16_t debugTempValue() const;
    [[nodiscard]] std::uint16_t forceCoilValue() const;

private:
    link::CommEngine& m_engine;
    LiveDataModel m_model;
    LiveCommandInputs m_inputs;
    std::vector<std::unique_ptr<PollStep>> m_pollSteps;
    std::unique_ptr<DebugTemperatureCommand> m_debugTemperature;
    std::unique_ptr<ForcedOutputCommand> m_forcedOutput;
    std::vector<link::CommEngine::Registration> m_registrations;
};

} // namespace climate::realtime
