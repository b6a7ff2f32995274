#include "Platform.h"

#include <QSerialPortInfo>

#include <windows.h>

#include <algorithm>
#include <cstdio>

namespace climate::app::platform {

namespace {

// The number of a name COMn, or 0.
unsigned comNumber(const QString& name) {
    if (!name.startsWith(QStringLiteral("COM"), Qt::CaseInsensitive)) {
        return 0;
    }
    bool ok = false;
    const unsigned number = name.mid(3).toUInt(&ok);
    return ok ? number : 0;
}

// A standard handle that leads somewhere: a console, a file or a pipe.
bool usable(DWORD which) {
    const HANDLE handle = ::GetStdHandle(which);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
           ::GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

} // namespace

// COM1 to COM9 always (the ports a technician expects to find), then the other ports the
// system has now, such as a USB adapter at COM10 or higher, in natural order.
QStringList serialPorts(const QString& /*deviceFolder*/) {
    QStringList ports;
    for (int n = 1; n <= 9; ++n) {
        ports << QStringLiteral("COM%1").arg(n);
    }
    QStringList present;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        const QString name = info.portName().toUpper();
        if (!ports.contains(name) && !present.contains(name)) {
            present << name;
        }
    }
    std::stable_sort(present.begin(), present.end(), [](const QString& a, const QString& b) {
        const unsigned na = comNumber(a);
        const unsigned nb = comNumber(b);
        if ((na == 0) != (nb == 0)) {
            return na != 0; // COM ports before other names
        }
        return na != nb ? na < nb : a < b;
    });
    return ports + present;
}

bool portNamesUpperCase() {
    return true; // "com12" names COM12
}

// Noto Sans CJK when it is installed; otherwise the system's own Chinese UI fonts, which
// every Windows with East Asian support has, and the Latin UI font.
QStringList fontFamilies() {
    return {QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Microsoft YaHei UI"),
            QStringLiteral("Microsoft YaHei"), QStringLiteral("SimSun"),
            QStringLiteral("Segoe UI")};
}

std::span<const WindowSystemOption> windowSystemOptions() {
    return {}; // the windows platform plugin takes its settings as -platform windows:...
}

// A program of the GUI subsystem starts without a console. When it was started from one and its
// output is not redirected, its text goes to that console.
void attachToParentConsole() {
    if (usable(STD_OUTPUT_HANDLE) && usable(STD_ERROR_HANDLE)) {
        return; // redirected by whoever started it, or a console already
    }
    if (!::AttachConsole(ATTACH_PARENT_PROCESS)) {
        return; // started from Explorer: nowhere to print
    }
    if (!usable(STD_OUTPUT_HANDLE)) {
        std::freopen("CONOUT$", "w", stdout);
    }
    if (!usable(STD_ERROR_HANDLE)) {
        std::freopen("CONOUT$", "w", stderr);
    }
}

void exitNow(int code) {
    std::fflush(nullptr);
    // As _exit on POSIX: ExitProcess would run the DLLs' detach code, with Qt's threads
    // still about.
    ::TerminateProcess(::GetCurrentProcess(), static_cast<UINT>(code));
    ::ExitProcess(static_cast<UINT>(code)); // not reached
}

} // namespace climate::app::platform
