#pragma once

#include <string>

namespace climate::report {

// A moment of local civil time, as the test log stamps its file name, its sheets and its records.
struct LocalDateTime {
    int year = 2000;
    int month = 1; // 1 ... 12
    int day = 1;   // 1 ... 31
    int hour = 0;  // 0 ... 23
    int minute = 0;
    int second = 0;

    // The clock of the machine, in the local time zone.
    [[nodiscard]] static LocalDateTime now();

    // "YYYYMMDDHHNNSS": fourteen digits, no separators (20240201090503).
    [[nodiscard]] std::string compactText() const;
    // The date as the sheets show it: 2024Year5Month7Day (no leading zeros).
    [[nodiscard]] std::string dateText() const;

    friend bool operator==(const LocalDateTime&, const LocalDateTime&) = default;
};

} // namespace climate::report
