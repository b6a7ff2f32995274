#pragma once

#include <QString>
#include <QStringList>

#include <span>
#include <string_view>

// What the window does differently on each system it runs on, in one place per system
// (PlatformPosix.cpp, PlatformWin.cpp).
namespace climate::app::platform {

// The serial ports the system has, in the order the port list offers them.
// `deviceFolder` is where POSIX systems keep their devices; Windows has no such folder.
[[nodiscard]] QStringList serialPorts(const QString& deviceFolder);
// Whether port names are case-insensitive and written in upper case (COM12): then a typed name
// is upper-cased.
[[nodiscard]] bool portNamesUpperCase();
// The window's font families, first choice first, so the Chinese texts never show as boxes.
[[nodiscard]] QStringList fontFamilies();
// Qt's options that only this system's window system takes (the X11 ones on Linux).
struct WindowSystemOption {
    std::string_view name;
    bool takesValue;
};
[[nodiscard]] std::span<const WindowSystemOption> windowSystemOptions();
// Makes the standard output and error reach the console the program was started from, for the
// texts of a command line answered without the window. A no-op where they always do.
void attachToParentConsole();
// Ends the process at once with `code`: no window closes, no destructor runs.
[[noreturn]] void exitNow(int code);

} // namespace climate::app::platform
