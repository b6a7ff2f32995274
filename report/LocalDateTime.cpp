#include "LocalDateTime.h"

#include <cstdio>
#include <ctime>

namespace climate::report {

LocalDateTime LocalDateTime::now() {
    const std::time_t t = std::time(nullptr);
    std::tm parts{};
    localtime_r(&t, &parts);
    return {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,
            parts.tm_hour,        parts.tm_min,     parts.tm_sec};
}

std::string LocalDateTime::compactText() const {
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d%02d", year, month, day, hour, minute,
                  second);
    return text;
}

std::string LocalDateTime::dateText() const {
    return std::to_string(year) + "Year" + std::to_string(month) + "Month" + std::to_string(day) +
           "Day";
}

} // namespace climate::report
