#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace climate::app {

// The command line as QApplication will see it, checked before QApplication exists (it needs a
// display, and without one it aborts). Qt's own options (-platform NAME, -style NAME, -reverse…)
// are a known list; any other argument starting with "-" before "--" is an unknown option.
// Returns the first unknown option's name without its dashes and value ("bogus" for
// "--bogus=1"), or nothing when the command line is sound.
[[nodiscard]] std::optional<std::string> firstUnknownOption(int argc, const char* const argv[]);

// Whether `name` (without dashes) is one of Qt's options, and whether it takes a value.
struct QtOption {
    bool known = false;
    bool takesValue = false;
};
[[nodiscard]] QtOption qtOption(std::string_view name);

} // namespace climate::app
