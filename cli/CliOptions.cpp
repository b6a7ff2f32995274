#include "CliOptions.h"

#include "link/NetworkPortAddress.h"

#include <QCommandLineParser>

#include <algorithm>
#include <array>
#include <limits>

namespace climate::cli {

namespace {

constexpr const char* Usage = R"(Usage: climate-cli COMMAND --port PORT [OPTION]...
Read, write and verify the controller of an enclosure climate unit from the command line.

For production lines and scripts: the same Modbus RTU master, register table and parameter files
as climate-tool, without a window. Every run ends with an exit status that means one thing, and
can leave a record of itself in JSON.

Commands:
  read [-o FILE]            Read All, written as a parameter file in the format of the window's
                            Save... (to standard output without -o).
  write FILE                write the eight setting groups of the parameter file FILE as the
                            window's Set All does (Calibration and Address are left out), then
                            read everything back and compare it with the file. FILE must hold
                            every field it sends.
  verify FILE               read back and compare with FILE, without writing. FILE must hold
                            every field write would send, unless --partial is given.
  live [--count N] [--format csv|json]
                            poll the real-time values: one line per polling circle, CSV with a
                            header line or one JSON object per line; without --count until
                            interrupted (Ctrl+C or SIGTERM end it with its record). Each value
                            is named with its unit as the Trend's CSV names it, for example
                            Temperature 1 (°C), in one order in the CSV and the JSON.
  find [--first N] [--last M]
                            search the bus for controllers (addresses 1 to 255 by default) and
                            read the firmware version of each that answers; on a terminal the
                            address being searched is shown on standard error.
  firmware                  read the firmware version.

Comparison:
  fields                    a field matches when the word its group's Set would send for the
                            file's text is the word the controller holds; Calibration and
                            Address are not compared, as write leaves them.
  firmware                  when the file's header names a firmware version (read puts it
                            there), write and verify read the controller's and compare the two
                            texts, unless --ignore-firmware is given. A different firmware is a
                            difference (status 1); write then writes nothing.

Run record:
  program, version          climate-cli and its version.
  command, tag              the command and the --tag text.
  port, address, baud       the line used.
  started, finished         UTC times (ISO 8601, milliseconds); durationMs the time between.
  status, result            the exit status and its word: pass, ok, differences, usage error,
                            link failure, record not written.
  reason                    why the run failed (status 2, 3 or 4).
  recordProblem             why the record file could not be written.
  messages                  boxes the window's engine would have shown, if any.
  bytesSent, bytesReceived  the bytes that crossed the line.
  file, partial             write, verify: the parameter file, and whether --partial was given.
  firmware                  read, write, verify, firmware: the controller's firmware version.
  fileFirmware              write, verify: the firmware version the file's header names.
  firmwareMatches           write, verify: whether the two are the same, when compared.
  written                   write: the groups the controller took, in order.
  compared                  write, verify: the number of fields compared.
  differences               write, verify: each field that differs, with group, field,
                            register, file (the file's text) and controller (Read All's).
  notCompared               write, verify: the groups left out of the comparison.
  parameters, output        read: the parameter file, or the path it was saved to.
  circles, samples          live: the circles polled, and with --json their values.
  found                     find: address, firmware (or firmwareNote) and exception of each
                            controller that answered.

Exit status:
  0  success; for write and verify: every compared field matches.
  1  write or verify found differences, each listed by group and field with the file's and the
     controller's value; or the firmware differs from the file's (write then writes nothing).
  2  usage error or a bad file (not a parameter file, a field missing or out of range): nothing
     was sent on the bus.
  3  link failure (the port would not open, a time-out, a wrong reply, or a refusal by the
     controller, named with its exception code), with a one-line reason on standard error.
  4  the record was not written (--record DIR: the disk is full, or DIR was replaced by a file
     or is out of reach; a removed DIR is made again); what the run itself found is in the
     record printed by --json.
When more than one applies, a run that failed (2 or 3) keeps its status; otherwise 4 comes before
1, and 1 before 0.

Options:
  -p, --port PORT           the port: a serial device (/dev/ttyUSB0, or the pseudo-terminal of
                            climate-sim --link PATH), COMn, rtu+tcp://HOST:PORT (RTU over TCP) or
                            tcp://HOST[:PORT] (Modbus TCP, port 502 by default).
  -a, --address N           the controller's slave address, 1 to 255 (default 1).
  -b, --baud B              the baud rate: 2400, 4800, 9600 (default), 19200, 38400 or 115200,
                            as the window offers them; 8 data bits, no parity, 1 stop bit.
  -o, --output FILE         read: the parameter file to write.
  -c, --count N             live: the number of polling circles.
  -f, --format csv|json     live: the lines' format (default csv).
      --first N, --last M   find: the addresses to search.
      --partial             verify: compare only the fields the file holds.
      --ignore-firmware     write, verify: do not compare the file's firmware version with the
                            controller's.
      --json                print one JSON record on standard output instead of text.
      --tag TEXT            a text to carry in the record, e.g. the unit's scanned serial number.
      --record DIR          also write the record to a new file in DIR (created if needed), named
                            by the time and the tag.
  -h, --help                print this text and exit.
  -v, --version             print the version and exit.

Examples:
  $ climate-cli read --port /dev/ttyUSB0 -o approved.json
  $ climate-cli write approved.json --port /dev/ttyUSB0 --tag SN0012345 --record /srv/records
  $ climate-cli verify approved.json --port rtu+tcp://10.0.0.5:4001 --json
  $ climate-cli live --port /dev/ttyUSB0 --count 10 --format csv > values.csv
)";

struct Subcommand {
    Command command;
    const char* name;
    int positional; // FILE arguments
    QStringList options;
};

const std::array<Subcommand, 6>& subcommands() {
    static const std::array<Subcommand, 6> table{{
        {Command::Read, "read", 0, {QStringLiteral("output")}},
        {Command::Write, "write", 1, {QStringLiteral("ignore-firmware")}},
        {Command::Verify,
         "verify",
         1,
         {QStringLiteral("partial"), QStringLiteral("ignore-firmware")}},
        {Command::Live, "live", 0, {QStringLiteral("count"), QStringLiteral("format")}},
        {Command::Find, "find", 0, {QStringLiteral("first"), QStringLiteral("last")}},
        {Command::Firmware, "firmware", 0, {}},
    }};
    return table;
}

ParsedCommandLine usageError(const QString& problem) {
    return {std::nullopt,
            QStringLiteral("climate-cli: %1\nTry 'climate-cli --help' for more information.\n")
                .arg(problem),
            ExitStatus::Usage};
}

// A whole number in [lowest, highest], or none.
std::optional<int> number(const QString& text, int lowest, int highest) {
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < lowest || value > highest) {
        return std::nullopt;
    }
    return value;
}

} // namespace

const char* usageText() {
    return Usage;
}

ExitStatus moreSevere(ExitStatus first, ExitStatus second) {
    const auto rank = [](ExitStatus status) {
        switch (status) {
        case ExitStatus::Success:
            return 0;
        case ExitStatus::Differences:
            return 1;
        case ExitStatus::RecordNotWritten:
            return 2;
        case ExitStatus::Usage:
        case ExitStatus::LinkFailure:
            return 3;
        }
        return 3;
    };
    return rank(second) > rank(first) ? second : first;
}

const char* commandName(Command command) {
    for (const Subcommand& subcommand : subcommands()) {
        if (subcommand.command == command) {
            return subcommand.name;
        }
    }
    return "?";
}

ParsedCommandLine parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const auto valued = [](const QStringList& names, const char* valueName) {
        return QCommandLineOption(names, QString(), QString::fromLatin1(valueName));
    };
    parser.addOptions({
        valued({QStringLiteral("p"), QStringLiteral("port")}, "PORT"),
        valued({QStringLiteral("a"), QStringLiteral("address")}, "N"),
        valued({QStringLiteral("b"), QStringLiteral("baud")}, "B"),
        valued({QStringLiteral("o"), QStringLiteral("output")}, "FILE"),
        valued({QStringLiteral("c"), QStringLiteral("count")}, "N"),
        valued({QStringLiteral("f"), QStringLiteral("format")}, "FORMAT"),
        valued({QStringLiteral("first")}, "N"),
        valued({QStringLiteral("last")}, "M"),
        valued({QStringLiteral("tag")}, "TEXT"),
        valued({QStringLiteral("record")}, "DIR"),
        QCommandLineOption(QStringLiteral("json")),
        QCommandLineOption(QStringLiteral("partial")),
        QCommandLineOption(QStringLiteral("ignore-firmware")),
        QCommandLineOption(QStringList{QStringLiteral("h"), QStringLiteral("help")}),
    });
    // -v and --version, as QCommandLineParser spells them and climate-tool and climate-sim too.
    const QCommandLineOption version = parser.addVersionOption();
    if (!parser.parse(QStringList{QStringLiteral("climate-cli")} + arguments)) {
        return usageError(parser.errorText());
    }
    if (parser.isSet(QStringLiteral("help"))) {
        return {std::nullopt, QString::fromUtf8(Usage), ExitStatus::Success};
    }
    if (parser.isSet(version)) {
        return {std::nullopt,
                QStringLiteral("climate-cli %1\n").arg(QStringLiteral(CLIMATE_VERSION)),
                ExitStatus::Success};
    }

    QStringList positional = parser.positionalArguments();
    if (positional.isEmpty()) {
        return usageError(QStringLiteral("no command given (read, write, verify, live, find, "
                                         "firmware)"));
    }
    const QString name = positional.takeFirst();
    const Subcommand* subcommand = nullptr;
    for (const Subcommand& candidate : subcommands()) {
        if (name == QLatin1String(candidate.name)) {
            subcommand = &candidate;
        }
    }
    if (subcommand == nullptr) {
        return usageError(QStringLiteral("unknown command '%1'").arg(name));
    }
    if (positional.size() != subcommand->positional) {
        return usageError(subcommand->positional == 0
                              ? QStringLiteral("%1 takes no argument ('%2')")
                                    .arg(name, positional.join(QLatin1Char(' ')))
                              : QStringLiteral("%1 takes one parameter FILE").arg(name));
    }
    for (const QString& option :
         {QStringLiteral("output"), QStringLiteral("count"), QStringLiteral("format"),
          QStringLiteral("first"), QStringLiteral("last"), QStringLiteral("partial"),
          QStringLiteral("ignore-firmware")}) {
        if (parser.isSet(option) && !subcommand->options.contains(option)) {
            return usageError(QStringLiteral("--%1 does not go with %2").arg(option, name));
        }
    }

    Options options;
    options.command = subcommand->command;
    options.port = parser.value(QStringLiteral("port")).trimmed();
    if (options.port.isEmpty()) {
        return usageError(QStringLiteral("--port PORT is needed"));
    }
    if (link::NetworkPortAddress::looksLikeNetworkPort(options.port) &&
        !link::NetworkPortAddress::parse(options.port)) {
        return usageError(QStringLiteral("--port %1 is no network port: rtu+tcp://HOST:PORT or "
                                         "tcp://HOST[:PORT]")
                              .arg(options.port));
    }
    if (parser.isSet(QStringLiteral("address"))) {
        const std::optional<int> address = number(parser.value(QStringLiteral("address")), 1, 255);
        if (!address) {
            return usageError(QStringLiteral("--address takes 1 to 255"));
        }
        options.address = static_cast<std::uint8_t>(*address);
    }
    if (parser.isSet(QStringLiteral("baud"))) {
        const std::optional<int> baud = number(parser.value(QStringLiteral("baud")), 1,
                                               std::numeric_limits<std::int32_t>::max());
        if (!baud ||
            std::ranges::find(link::OfferedBaudRates, *baud) == link::OfferedBaudRates.end()) {
            QStringList rates;
            for (const std::int32_t rate : link::OfferedBaudRates) {
                rates << QString::number(rate);
            }
            return usageError(QStringLiteral("--baud takes one of %1").arg(rates.join(u' ')));
        }
        options.baud = *baud;
    }
    options.json = parser.isSet(QStringLiteral("json"));
    options.partial = parser.isSet(QStringLiteral("partial"));
    options.ignoreFirmware = parser.isSet(QStringLiteral("ignore-firmware"));
    options.tag = parser.value(QStringLiteral("tag"));
    options.recordDir = parser.value(QStringLiteral("record"));
    if (parser.isSet(QStringLiteral("record")) && options.recordDir.isEmpty()) {
        return usageError(QStringLiteral("--record takes a folder"));
    }
    options.file = positional.value(0);
    options.output = parser.value(QStringLiteral("output"));
    if (parser.isSet(QStringLiteral("count"))) {
        const std::optional<int> count =
            number(parser.value(QStringLiteral("count")), 1, std::numeric_limits<int>::max());
        if (!count) {
            return usageError(QStringLiteral("--count takes a number of circles from 1"));
        }
        options.count = *count;
    }
    if (parser.isSet(QStringLiteral("format"))) {
        const QString format = parser.value(QStringLiteral("format"));
        if (format == QLatin1String("csv")) {
            options.format = Options::Format::Csv;
        } else if (format == QLatin1String("json")) {
            options.format = Options::Format::Json;
        } else {
            return usageError(QStringLiteral("--format takes csv or json"));
        }
    }
    for (const auto& [option, target] : {std::pair{QStringLiteral("first"), &options.first},
                                         std::pair{QStringLiteral("last"), &options.last}}) {
        if (parser.isSet(option)) {
            const std::optional<int> address = number(parser.value(option), 1, 255);
            if (!address) {
                return usageError(
                    QStringLiteral("--%1 takes an address from 1 to 255").arg(option));
            }
            *target = *address;
        }
    }
    if (options.first > options.last) {
        return usageError(QStringLiteral("--first is above --last"));
    }
    return {options, QString(), ExitStatus::Success};
}

} // namespace climate::cli
