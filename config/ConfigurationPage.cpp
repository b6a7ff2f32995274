#include "ConfigurationPage.h"

#include "GroupWriteTransaction.h"
#include "HoldingRegisters.h"
#include "ParameterGroups.h"
#include "SetAllPlan.h"
#include "SetAllRun.h"

#include "link/CommEngine.h"
#include "link/Invariant.h"
#include "link/NumberText.h"
#include "link/PortGate.h"

#include <QLabel>

#include <stdexcept>

namespace climate::config {

using namespace climate::link;

namespace {

constexpr auto SetAllCaption = "Set All";

} // namespace

ConfigurationPage::ConfigurationPage(CommEngine& engine, ParameterTransfers& transfers,
                                     const ConfigurationView& view)
    : m_engine(engine), m_view(view), m_transfers(transfers) {
    makeSetAllRun();
}

ConfigurationPage::ConfigurationPage(CommEngine& engine, const ConfigurationView& view)
    : m_engine(engine), m_view(view), m_ownTransfers(std::make_unique<ParameterTransfers>(engine)),
      m_transfers(*m_ownTransfers) {
    makeSetAllRun();
}

void ConfigurationPage::makeSetAllRun() {
    m_setAll = std::make_unique<SetAllRun>(
        m_engine,
        [this](ConfigCommand command) -> GroupWriteTransaction& {
            return m_transfers.groupWrite(command);
        },
        SetAllRun::Hooks{
            .writing =
                [this](std::size_t step) { m_view.SetAllProgress->setText(progressText(step)); },
            .accepted = [this](const ParameterGroup& group) { groupAccepted(group); },
            .finished =
                [this](std::size_t written, TransactionOutcome /*outcome*/,
                       std::optional<GroupFailure> failure) { finishSetAll(written, failure); }});
}

ConfigurationPage::~ConfigurationPage() = default;

void ConfigurationPage::Button12Click() {
    if (!mayPost(m_view.port, m_engine, SharedMessages::Busy)) {
        return;
    }
    m_engine.postCommand(codeOf(ConfigCommand::ReadAll));
    m_transfers.model().clearForReadAll();
}

void ConfigurationPage::setGroup(ConfigCommand command) {
    const ParameterGroup& group = parameterGroup(command);
    if (!mayPost(m_view.port, m_engine, group.busy)) {
        return;
    }
    // A text that does not convert throws ConversionError out of the handler; nothing is posted.
    if (!stageGroup(group, m_transfers.model(), m_transfers.staged())) {
        m_engine.showMessage(toUserMessage(ConfigMessages::OutOfRange));
        return;
    }
    m_engine.postCommand(codeOf(command), [this, &group](TransactionOutcome outcome) {
        if (outcome == TransactionOutcome::Good) {
            groupAccepted(group);
        }
    });
}

void ConfigurationPage::groupAccepted(const ParameterGroup& group) {
    const std::vector<std::uint16_t> words = groupWords(group, m_transfers.staged());
    m_transfers.model().registersWritten(group.firstRegister, words);
    if (m_writeListener) {
        m_writeListener(group.firstRegister, words);
    }
}

// Set All converts every setting group first, by the rules of the group's own Set, and sends
// nothing unless all convert. Then SetAllRun writes them one after the other and the first
// failure stops it. One box at the end tells what happened.
void ConfigurationPage::Button13Click() {
    if (!mayPost(m_view.port, m_engine, SharedMessages::Busy)) {
        return;
    }
    if (const std::optional<SetAllRefusal> refusal =
            stageSetAll(m_transfers.model(), m_transfers.staged())) {
        m_engine.showMessage(UserMessage(refusalText(*refusal).toStdString(), SetAllCaption,
                                         UserMessage::Icon::Error));
        return;
    }
    m_setAll->start();
}

void ConfigurationPage::finishSetAll(std::size_t written, std::optional<GroupFailure> failure) {
    const bool stopped = failure.has_value();
    m_view.SetAllProgress->setText(finishedText(written, stopped));
    m_engine.showMessage(UserMessage(setAllSummary(written, failure).toStdString(), SetAllCaption,
                                     stopped ? UserMessage::Icon::Error : UserMessage::Icon::None));
}

void ConfigurationPage::SetClick() {
    setGroup(ConfigCommand::SetInternalFan);
}
void ConfigurationPage::Button10Click() {
    setGroup(ConfigCommand::SetExternalFan);
}
void ConfigurationPage::Button15Click() {
    setGroup(ConfigCommand::SetHeater);
}
void ConfigurationPage::Button11Click() {
    setGroup(ConfigCommand::SetTempAlarm);
}
void ConfigurationPage::Button3Click() {
    setGroup(ConfigCommand::SetCalibration);
}
void ConfigurationPage::Button4Click() {
    setGroup(ConfigCommand::SetExtInput);
}
void ConfigurationPage::Button7Click() {
    setGroup(ConfigCommand::SetAddress);
}
void ConfigurationPage::Button9Click() {
    setGroup(ConfigCommand::SetVoltageAlarm);
}
void ConfigurationPage::Button14Click() {
    setGroup(ConfigCommand::SetCompressor);
}
void ConfigurationPage::Button18Click() {
    setGroup(ConfigCommand::SetHeatExchanger);
}

void ConfigurationPage::Button8Click() {
    const std::int32_t typed = parseInteger(m_transfers.model().commAddress().toStdString());
    // Taken as unsigned, so a negative address is out of range as well.
    const auto address = static_cast<std::uint32_t>(typed);
    m_engine.switchDeviceAddress(address > 255 ? 1 : address);
}

void ConfigurationPage::Button5Click() {
    if (!mayPost(m_view.port, m_engine, SharedMessages::Busy)) {
        return;
    }
    m_engine.postCommand(codeOf(ConfigCommand::ReadFirmwareVersion));
}

} // namespace climate::config
