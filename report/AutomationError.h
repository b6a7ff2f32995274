#pragma once

#include <stdexcept>

namespace climate::report {

// A spreadsheet automation call that failed: the application could not start, a workbook could
// not be written or found, a property refused its value. Its text says what and why.
class AutomationError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace climate::report
