#pragma once

// The Set of every parameter group as the end-to-end tests type it: the texts, and the registers
// each must leave in the simulator, written out independently of the tool's own tables.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

// One group's Set: the button, the texts typed, and the registers it must leave in the simulator.
struct GroupWrite {
    const char* button;
    std::map<std::string, std::string> edits;
    std::map<std::string, int> combos;
    int firstRegister;
    std::vector<std::uint16_t> words;
    const char* successCaption;
};

inline const std::vector<GroupWrite>& groupWrites() {
    static const std::vector<GroupWrite> writes{
        {"Set",
         {{"Edit12", "100"},
          {"Edit5", "65535"},
          {"Edit13", "800"},
          {"Edit14", "25.3"},
          {"Edit27", "45"},
          {"Edit9", "20"},
          {"Edit7", "-5.5"},
          {"Edit6", "0.3"},
          {"Edit41", "255"}},
         {{"ComboBox1", 1}, {"ComboBox2", 0}},
         0,
         {100, 0xFFFF, 800, 253, 450, 200, 3, 0xFFC9, 255, 1, 0},
         "Set Intfan1"},
        {"Button10",
         {{"Edit34", "50"},
          {"Edit8", "2900"},
          {"Edit35", "0"},
          {"Edit36", "12.7"},
          {"Edit37", "70.1"},
          {"Edit15", "-0.3"},
          {"Edit39", "47.05"},
          {"Edit38", "2.53e1"},
          {"Edit40", "4"}},
         {{"ComboBox3", 0}, {"ComboBox4", 1}},
         11,
         {50, 2900, 0, 127, 701, 0xFFFD, 253, 470, 4, 0, 1},
         "Set Extfan1!"},
        {"Button15",
         {{"Edit50", "12.5"}, {"Edit51", "0.5"}, {"Edit52", "-5.5"}, {"Edit53", "2.5"}},
         {{"ComboBox5", 0}},
         22,
         {0xFFC9, 25, 125, 5, 0},
         "Set Heater!"},
        {"Button11",
         {{"Edit24", "25.3"}, {"Edit25", "-40"}},
         {},
         28,
         {253, 0xFE70},
         "Set Alarm TEMP"},
        {"Button3",
         {{"Edit1", "0.3"}, {"Edit2", "-1.5"}, {"Edit10", "2.5"}, {"Edit16", "-0.1"}},
         {},
         33,
         {3, 0xFFF1, 25, 0xFFFF},
         "Calibrate Temp"},
        {"Button4", {}, {{"ComboBox6", 1}, {"ComboBox7", 1}}, 37, {1, 1}, "Extinput Option"},
        {"Button9", {{"Edit18", "70"}, {"Edit28", "24"}}, {}, 39, {700, 240}, "Set Alarm Voltage"},
        {"Button14",
         {{"Edit30", "35.5"}, {"Edit29", "5"}, {"Edit31", "-32768"}},
         {},
         41,
         {355, 50, 0x8000},
         "Set Compressor"},
        {"Button18",
         {{"Edit42", "30"}, {"Edit33", "0.3"}, {"Edit43", "2.5"}},
         {},
         44,
         {300, 3, 25},
         "Set Heat Exchanger"},
    };
    return writes;
}

// The groups Set All writes, in its order: every group but Calibration (and Address, which has no
// row here).
inline std::vector<GroupWrite> setAllGroupWrites() {
    std::vector<GroupWrite> writes;
    for (const GroupWrite& write : groupWrites()) {
        if (std::string(write.button) != "Button3") {
            writes.push_back(write);
        }
    }
    return writes;
}
