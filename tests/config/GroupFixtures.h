#pragma once

#include "config/ConfigCommands.h"

#include <map>
#include <string>
#include <vector>

// One page's worth of field texts and combo selections, and the frame each group's Set sends from
// it to slave 1 (CRCs worked out independently of the tool's code). The texts mix the forms a user
// types: exact tenths that binary floating point gets wrong (25.3, 0.3, 12.7, 70.1, 47.05),
// negative values, an exponent, the edges of the widths.
struct GroupFixture {
    climate::config::ConfigCommand command;
    const char* name;
    const char* frame; // hex, address 01
};

inline const std::map<int, std::string>& fixtureEdits() {
    static const std::map<int, std::string> edits{// Internal fans
                                                  {12, "100"},
                                                  {5, "3000"},
                                                  {13, "800"},
                                                  {14, "25.3"},
                                                  {27, "45"},
                                                  {9, "20"},
                                                  {7, "-5.5"},
                                                  {6, "0.3"},
                                                  {41, "2"},
                                                  // External fans
                                                  {34, "50"},
                                                  {8, "65535"},
                                                  {35, "0"},
                                                  {36, "12.7"},
                                                  {37, "70.1"},
                                                  {15, "-0.3"},
                                                  {39, "47.05"},
                                                  {38, "2.53e1"},
                                                  {40, "255"},
                                                  // Heater
                                                  {50, "12.5"},
                                                  {51, "0.5"},
                                                  {52, "-5.5"},
                                                  {53, "25"},
                                                  // Temp. alarm, calibration, address
                                                  {24, "25.3"},
                                                  {25, "-40"},
                                                  {1, "0.3"},
                                                  {2, "-1.5"},
                                                  {10, "2.5"},
                                                  {16, "-0.1"},
                                                  {4, "255"},
                                                  // Voltage alarm, compressor, heat exchanger
                                                  {18, "70"},
                                                  {28, "24"},
                                                  {30, "35.5"},
                                                  {29, "5"},
                                                  {31, "3000"},
                                                  {42, "30"},
                                                  {33, "0.3"},
                                                  {43, "2.5"},
                                                  // Comm address
                                                  {17, "1"}};
    return edits;
}

inline const std::map<int, int>& fixtureCombos() {
    static const std::map<int, int> combos{{1, 1}, {2, 0}, {3, 0}, {4, 1}, {5, 1}, {6, 1}, {7, 0}};
    return combos;
}

inline const std::vector<GroupFixture>& groupFixtures() {
    static const std::vector<GroupFixture> fixtures{
        {climate::config::ConfigCommand::SetInternalFan, "InternalFan",
         "01 10 00 00 00 0B 16 00 64 0B B8 03 20 00 FD 01 C2 00 C8 00 03 FF C9 00 02 00 01 00 00 "
         "43 99"},
        {climate::config::ConfigCommand::SetExternalFan, "ExternalFan",
         "01 10 00 0B 00 0B 16 00 32 FF FF 00 00 00 7F 02 BD FF FD 00 FD 01 D6 00 FF 00 00 00 01 "
         "92 FC"},
        {climate::config::ConfigCommand::SetHeater, "Heater",
         "01 10 00 16 00 05 0A FF C9 00 FA 00 7D 00 05 00 01 FE 4C"},
        {climate::config::ConfigCommand::SetTempAlarm, "TempAlarm",
         "01 10 00 1C 00 02 04 00 FD FE 70 22 82"},
        {climate::config::ConfigCommand::SetCalibration, "Calibration",
         "01 10 00 21 00 04 08 00 03 FF F1 00 19 FF FF 40 AB"},
        {climate::config::ConfigCommand::SetExtInput, "ExtInput",
         "01 10 00 25 00 02 04 00 01 00 00 60 48"},
        {climate::config::ConfigCommand::SetAddress, "Address", "01 10 00 1B 00 01 02 00 FF E5 FB"},
        {climate::config::ConfigCommand::SetVoltageAlarm, "VoltageAlarm",
         "01 10 00 27 00 02 04 02 BC 00 F0 70 49"},
        {climate::config::ConfigCommand::SetCompressor, "Compressor",
         "01 10 00 29 00 03 06 01 63 00 32 0B B8 54 91"},
        {climate::config::ConfigCommand::SetHeatExchanger, "HeatExchanger",
         "01 10 00 2C 00 03 06 01 2C 00 03 00 19 86 08"},
    };
    return fixtures;
}
