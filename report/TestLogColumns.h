#pragma once

#include <array>

namespace climate::report {

// The test log's columns, A to K: the heading row 3 of every sheet and the column widths. The
// log writes them, and the log reader knows its own workbooks by them.
struct TestLogColumn {
    const char* header;
    int width;
};
inline constexpr std::array<TestLogColumn, 11> TestLogColumns{{
    {"Number", 6},
    {"Time", 15},
    {"InternalFan1Rev", 15},
    {"InternalFan2Rev", 15},
    {"ExternalFan1Rev", 15},
    {"ExternalFan2Rev", 15},
    {"Temperature1", 15},
    {"Temperature2", 15},
    {"Compressor Rev", 15},
    {"NA.", 6},
    {"Heater Current", 15},
}};
inline constexpr int TestLogHeadingRow = 3;     // 1-based
inline constexpr int TestLogFirstRecordRow = 4; // 1-based

} // namespace climate::report
