#pragma once

#include "ConfigCommands.h"
#include "ConfigurationView.h"
#include "ControllerParameters.h"
#include "ParameterForm.h"
#include "ParameterModel.h"
#include "ParameterTransfers.h"
#include "SetAllPlan.h"

#include "link/CommEngine.h"
#include "link/TransactionOutcome.h"

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace climate::config {

class SetAllRun;
struct ParameterGroup;

// The Configuration page's buttons: Read All, the Set of each parameter group, Set All, the slave
// address the tool talks to, and the firmware version. The handlers check and stage; the engine
// sends. The page's fields are views of its parameter model: Read All and the firmware read fill
// the model, every Set reads it.
class ConfigurationPage {
public:
    // The page over the transfers of a session, which `engine` runs. The texts `view`'s fields
    // hold now are the model's first texts.
    ConfigurationPage(link::CommEngine& engine, ParameterTransfers& transfers,
                      const ConfigurationView& view);
    // The same over transfers of its own, registered with `engine`.
    ConfigurationPage(link::CommEngine& engine, const ConfigurationView& view);
    ~ConfigurationPage();
    ConfigurationPage(const ConfigurationPage&) = delete;
    ConfigurationPage& operator=(const ConfigurationPage&) = delete;

    void Button12Click(); // All: Read
    void Button13Click(); // All: Set, every setting group but Calibration and Address in turn
    void SetClick();      // Internal Fan
    void Button10Click(); // External Fan
    void Button15Click(); // Heater
    void Button11Click(); // Temp. Alarm
    void Button3Click();  // Calibration
    void Button4Click();  // ExtInput
    void Button7Click();  // Address: writes the controller's own address
    void Button9Click();  // VoltageAlarm
    void Button14Click(); // Compressor
    void Button18Click(); // Heat Exchanger
    void Button8Click();  // Comm Address: the address the tool talks to, no request
    void Button5Click();  // FW Version: Read

    // Told of every write the controller accepted, a group's Set or a step of Set All: the
    // group's first register and the words it holds now.
    using WriteListener =
        std::function<void(std::uint16_t firstRegister, std::span<const std::uint16_t> words)>;
    void setWriteListener(WriteListener listener) { m_writeListener = std::move(listener); }

    // The values the last accepted Set of each group staged.
    [[nodiscard]] const ControllerParameters& parameters() const { return m_transfers.staged(); }

    // What the page's fields hold, and the controller's registers as last read.
    [[nodiscard]] ParameterModel& model() { return m_transfers.model(); }
    // The page's fields as the model's views.
    [[nodiscard]] const ParameterForm& form() const { return m_form; }

private:
    // Set All's run on the engine, with the page's progress label and summary box.
    void makeSetAllRun();
    void setGroup(ConfigCommand command);
    void groupAccepted(const ParameterGroup& group);
    // Set All has ended: `written` groups taken, then `outcome` (Good: all of them).
    void finishSetAll(std::size_t written, std::optional<GroupFailure> failure);
    link::CommEngine& m_engine;
    ConfigurationView m_view;
    std::unique_ptr<ParameterTransfers> m_ownTransfers; // only when made without a session's
    ParameterTransfers& m_transfers;
    ParameterForm m_form{m_transfers.model(), m_view};
    WriteListener m_writeListener;
    std::unique_ptr<SetAllRun> m_setAll;
};

} // namespace climate::config
