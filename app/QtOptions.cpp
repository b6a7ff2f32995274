#include "QtOptions.h"

#include "Platform.h"

#include <algorithm>
#include <array>

namespace climate::app {

namespace {

// The options QGuiApplication and QApplication take out of the arguments on every platform,
// each with one or two leading dashes.
constexpr std::array<std::string_view, 9> ValueOptions = {
    "platform",     "platformpluginpath", "platformtheme", "plugin",    "qwindowgeometry",
    "qwindowtitle", "qwindowicon",        "style",         "stylesheet"};
constexpr std::array<std::string_view, 3> FlagOptions = {"reverse", "widgetcount", "testability"};

template <std::size_t N>
bool among(const std::array<std::string_view, N>& list, std::string_view name) {
    return std::find(list.begin(), list.end(), name) != list.end();
}

} // namespace

QtOption qtOption(std::string_view name) {
    if (among(ValueOptions, name) || name == "session" || name == "qmljsdebugger") {
        return {true, name != "qmljsdebugger"}; // -qmljsdebugger=port:N has its value attached
    }
    if (among(FlagOptions, name)) {
        return {true, false};
    }
    for (const platform::WindowSystemOption& option : platform::windowSystemOptions()) {
        if (option.name == name) {
            return {true, option.takesValue};
        }
    }
    return {};
}

std::optional<std::string> firstUnknownOption(int argc, const char* const argv[]) {
    for (int i = 1; i < argc; ++i) {
        std::string_view argument = argv[i];
        if (argument == "--") {
            break; // the rest are ports, whatever they look like
        }
        if (argument.size() < 2 || argument.front() != '-') {
            continue; // a port ("-" alone too)
        }
        argument.remove_prefix(argument.starts_with("--") ? 2 : 1);
        const auto equals = argument.find('=');
        const std::string_view name = argument.substr(0, equals);
        const QtOption option = qtOption(name);
        if (!option.known) {
            return std::string(name);
        }
        if (option.takesValue && equals == std::string_view::npos) {
            ++i; // its value, even one starting with "-"
        }
    }
    return std::nullopt;
}

} // namespace climate::app
