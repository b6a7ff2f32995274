#include "LivePolling.h"

#include "DebugTemperatureCommand.h"
#include "ForcedOutputCommand.h"
#include "PollSteps.h"

#include "link/Commands.h"

namespace climate::realtime {

using namespace climate::link;

namespace {

constexpr std::uint8_t DebugTemperatureCode = Command::DebugTemperature.code;
constexpr std::uint8_t ForcedOutputCode = Command::ForcedOutput.code;

} // namespace

LivePolling::LivePolling(CommEngine& engine, LiveDataModel::Clock clock)
    : m_engine(engine), m_model(std::move(clock)),
      m_debugTemperature(std::make_unique<DebugTemperatureCommand>(m_inputs)),
      m_forcedOutput(std::make_unique<ForcedOutputCommand>(m_inputs)) {
    m_model.subscribe(m_inputs);
    for (const PollRead& read : PollCircle) {
        m_pollSteps.push_back(std::make_unique<PollStep>(read, m_model));
    }
    using Table = CommEngine::Table;
    for (std::size_t step = 0; step < m_pollSteps.size(); ++step) {
        m_registrations.push_back(m_engine.registerTransaction(
            Table::PollStep, PollCircle[step].command->code, *m_pollSteps[step]));
    }
    m_registrations.push_back(m_engine.registerTransaction(Table::LiveCommand, DebugTemperatureCode,
                                                           *m_debugTemperature));
    m_registrations.push_back(
        m_engine.registerTransaction(Table::LiveCommand, ForcedOutputCode, *m_forcedOutput));
}

LivePolling::~LivePolling() = default;

void LivePolling::postDebugTemperature(std::int16_t tenths) {
    m_debugTemperature->setDebugTempValue(tenths);
    m_engine.postLiveCommand(DebugTemperatureCode);
}

void LivePolling::postForcedOutputFlip() {
    // The rocker still stands as before the click: ask for the other state.
    m_forcedOutput->setForceCoilValue(m_inputs.rockerOn() ? ForcedOutputCommand::ForceOff
                                                          : ForcedOutputCommand::ForceOn);
    m_engine.postLiveCommand(ForcedOutputCode);
}

std::int16_t LivePolling::debugTempValue() const {
    return m_debugTemperature->debugTempValue();
}

std::uint16_t LivePolling::forceCoilValue() const {
    return m_forcedOutput->forceCoilValue();
}

} // namespace climate::realtime
