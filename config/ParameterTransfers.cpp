#include "ParameterTransfers.h"

#include "FirmwareVersionTransaction.h"
#include "GroupWriteTransaction.h"
#include "ParameterGroups.h"
#include "ReadAllTransaction.h"

#include <stdexcept>

namespace climate::config {

using namespace climate::link;

ParameterTransfers::ParameterTransfers(CommEngine& engine) : m_engine(engine) {
    m_readAll = std::make_unique<ReadAllTransaction>(
        [this](const ReadAllTransaction::Registers& registers) {
            m_model.readAllReceived(registers, m_engine.state().DeviceAddress);
        });
    m_firmwareVersion = std::make_unique<FirmwareVersionTransaction>(
        [this](const QString& version) { m_model.setFirmwareVersion(version); });
    const auto add = [this](ConfigCommand command, Transaction& transaction) {
        m_registrations.push_back(m_engine.registerTransaction(
            CommEngine::Table::ConfigurationCommand, codeOf(command), transaction));
    };
    add(ConfigCommand::ReadAll, *m_readAll);
    add(ConfigCommand::ReadFirmwareVersion, *m_firmwareVersion);

    const auto groups = parameterGroups();
    for (std::size_t i = 0; i < groups.size(); ++i) {
        m_groupWrites.at(i) = std::make_unique<GroupWriteTransaction>(groups[i], m_parameters);
        add(groups[i].command, *m_groupWrites.at(i));
    }
}

ParameterTransfers::~ParameterTransfers() = default;

GroupWriteTransaction& ParameterTransfers::groupWrite(ConfigCommand command) {
    const auto groups = parameterGroups();
    for (std::size_t i = 0; i < groups.size(); ++i) {
        if (groups[i].command == command) {
            return *m_groupWrites.at(i);
        }
    }
    throw std::logic_error("not a group write");
}

} // namespace climate::config
