#include "Platform.h"

#include <QDir>

#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace climate::app::platform {

namespace {

// Natural order: ttyS2 before ttyS10. Compared as the name without its trailing number, then
// that number; QCollator's numeric mode would do it, but not in the C locale that services and
// test runners often have.
void sortNaturally(QStringList& names) {
    const auto split = [](const QString& name) {
        qsizetype digits = name.size();
        while (digits > 0 && name.at(digits - 1).isDigit()) {
            --digits;
        }
        return std::pair{name.left(digits), name.mid(digits).toULongLong()};
    };
    std::stable_sort(names.begin(), names.end(),
                     [&split](const QString& a, const QString& b) { return split(a) < split(b); });
}

} // namespace

// USB adapters, then on-board ports, each sorted; then the names under serial/by-id, which
// survive a re-plug.
QStringList serialPorts(const QString& deviceFolder) {
    const QDir dev(deviceFolder);
    // Matched by prefix rather than with QDir's name filters, which compile each pattern to a
    // regular expression: the only ones in the window's start, at half a megabyte of memory.
    const QStringList devices = dev.entryList(QDir::System | QDir::Files | QDir::Readable);
    QStringList ports;
    for (const QString& prefix :
         {QStringLiteral("ttyUSB"), QStringLiteral("ttyACM"), QStringLiteral("ttyS")}) {
        QStringList found;
        for (const QString& name : devices) {
            if (name.startsWith(prefix)) {
                found.append(name);
            }
        }
        sortNaturally(found);
        for (const QString& name : found) {
            ports << dev.absoluteFilePath(name);
        }
    }
    const QDir byId(dev.filePath(QStringLiteral("serial/by-id")));
    QStringList stable = byId.entryList(QDir::System | QDir::Files | QDir::Readable);
    sortNaturally(stable);
    for (const QString& name : stable) {
        ports << byId.absoluteFilePath(name);
    }
    return ports;
}

bool portNamesUpperCase() {
    return false; // ports are paths, and paths are case-sensitive
}

QStringList fontFamilies() {
    return {QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Sans"),
            QStringLiteral("DejaVu Sans")};
}

std::span<const WindowSystemOption> windowSystemOptions() {
    static constexpr WindowSystemOption Options[] = {
        {"display", true}, {"geometry", true}, {"title", true},   {"icon", true},
        {"name", true},    {"visual", true},   {"ncols", true},   {"cmap", true},
        {"im", true},      {"sync", false},    {"nograb", false}, {"dograb", false}};
    return Options;
}

void attachToParentConsole() {}

void exitNow(int code) {
    std::fflush(nullptr);
    ::_exit(code);
}

} // namespace climate::app::platform
