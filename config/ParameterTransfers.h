#pragma once

#include "ConfigCommands.h"
#include "ControllerParameters.h"
#include "ParameterModel.h"

#include "link/CommEngine.h"

#include <array>
#include <memory>
#include <vector>

namespace climate::config {

class FirmwareVersionTransaction;
class GroupWriteTransaction;
class ReadAllTransaction;

// The Configuration transactions on one engine: Read All, the firmware read and each group's
// write, registered under their command codes, with what they fill and read: the parameter model
// (the fields, the firmware text and the registers of the last Read All) and the values the last
// staging put in ControllerParameters for the group writes.
class ParameterTransfers {
public:
    explicit ParameterTransfers(link::CommEngine& engine);
    ~ParameterTransfers();
    ParameterTransfers(const ParameterTransfers&) = delete;
    ParameterTransfers& operator=(const ParameterTransfers&) = delete;

    [[nodiscard]] ParameterModel& model() { return m_model; }
    [[nodiscard]] const ParameterModel& model() const { return m_model; }
    // What a group's write sends: the caller stages into it first.
    [[nodiscard]] ControllerParameters& staged() { return m_parameters; }
    [[nodiscard]] const ControllerParameters& staged() const { return m_parameters; }
    // The write of a group; a command that is no group write is a wiring fault (logic_error).
    [[nodiscard]] GroupWriteTransaction& groupWrite(ConfigCommand command);

private:
    link::CommEngine& m_engine;
    ParameterModel m_model;
    ControllerParameters m_parameters;
    std::unique_ptr<ReadAllTransaction> m_readAll;
    std::unique_ptr<FirmwareVersionTransaction> m_firmwareVersion;
    std::array<std::unique_ptr<GroupWriteTransaction>, 10> m_groupWrites;
    std::vector<link::CommEngine::Registration> m_registrations;
};

} // namespace climate::config
