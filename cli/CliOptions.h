#pragma once

#include "link/SerialPort.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace climate::cli {

// What the exit status says; each value means one thing.
enum class ExitStatus : int {
    Success = 0,          // done; for write and verify: every field matches
    Differences = 1,      // write or verify found fields that differ
    Usage = 2,            // a wrong command line or a bad file: nothing was sent
    LinkFailure = 3,      // port error, time-out, wrong reply or a refusal
    RecordNotWritten = 4, // the run went as above, but its record file could not be written
};

// The status a run ends with when two apply: a failed run (2, 3) before a lost record (4), that
// before differences (1), that before success.
[[nodiscard]] ExitStatus moreSevere(ExitStatus first, ExitStatus second);

enum class Command : std::uint8_t { Read, Write, Verify, Live, Find, Firmware };

[[nodiscard]] const char* commandName(Command command);

struct Options {
    Command command = Command::Firmware;
    QString port;
    std::uint8_t address = 1;
    std::int32_t baud = link::DefaultBaudRate;
    bool json = false;
    QString tag;
    QString recordDir; // empty: no record file
    QString file;      // write, verify: the parameter file
    QString output;    // read: the file to write; empty: standard output
    int count = 0;     // live: circles; 0: until interrupted
    enum class Format : std::uint8_t { Csv, Json } format = Format::Csv;
    int first = 1; // find
    int last = 255;
    bool partial = false;        // verify: only the fields the file holds
    bool ignoreFirmware = false; // write, verify: the file's firmware version is not compared
};

// The command line read: options to run, or a text to print and the status to leave with (help,
// version, or a usage error for standard error).
struct ParsedCommandLine {
    std::optional<Options> options;
    QString text;
    ExitStatus status = ExitStatus::Success;
};

// `arguments` without the program name.
[[nodiscard]] ParsedCommandLine parseCommandLine(const QStringList& arguments);

[[nodiscard]] const char* usageText();

} // namespace climate::cli
