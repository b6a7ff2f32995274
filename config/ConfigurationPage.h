#pragma once

#include "ConfigCommands.h"
#include "ConfigurationView.h"
#include "ControllerParameters.h"

#include "link/CommEngine.h"

#include <array>
#include <memory>
#include <span>
#include <vector>

class FirmwareVersionTransaction;
class GroupWriteTransaction;
class ReadAllTransaction;

// The Configuration page's buttons: Read All, the Set of each parameter group, the slave address
// the tool talks to, and the firmware version. The handlers check and stage; the engine sends.
class ConfigurationPage {
public:
    ConfigurationPage(CommEngine& engine, const ConfigurationView& view);
    ~ConfigurationPage();
    ConfigurationPage(const ConfigurationPage&) = delete;
    ConfigurationPage& operator=(const ConfigurationPage&) = delete;

    void Button12Click(); // All: Read
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

    // The values the last accepted Set of each group staged.
    [[nodiscard]] const ControllerParameters& parameters() const { return m_parameters; }

private:
    void setGroup(ConfigCommand command);
    void clearReadAllFields();
    void showRegisters(std::span<const std::uint16_t> registers);

    CommEngine& m_engine;
    ConfigurationView m_view;
    ControllerParameters m_parameters;
    std::unique_ptr<ReadAllTransaction> m_readAll;
    std::unique_ptr<FirmwareVersionTransaction> m_firmwareVersion;
    std::array<std::unique_ptr<GroupWriteTransaction>, 10> m_groupWrites;
    std::vector<CommEngine::Registration> m_registrations;
};
