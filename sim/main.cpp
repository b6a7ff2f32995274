// climate-sim: the enclosure climate controller as a Modbus RTU slave on a pseudo-terminal, or
// behind a serial device server or Modbus TCP gateway on a TCP port.

#include "CommandInterpreter.h"
#include "Simulator.h"

#include <fcntl.h>
#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <string_view>

namespace {

constexpr std::string_view Usage = R"(Usage: climate-sim --link PATH [--address N] [--baud B]
  or:  climate-sim --tcp [HOST:]PORT [--framing rtu|mbap] [--address N]

Simulates the enclosure climate controller as a Modbus RTU slave (functions 1, 2, 3, 4, 5, 6
and 16) on a pseudo-terminal or a TCP port, for the service tool and its tests.

Once it serves, it prints one line "ready PATH" (or "ready HOST:PORT" with the port actually
listened on) on standard output; log lines of the TCP port go to standard error. It serves until
SIGINT, SIGTERM or SIGHUP (or the console command quit), then removes the link and exits with
status 0.

Commands are read from standard input when one is attached; end of input only ends the
console, the unit keeps serving. From a test: start it with pipes on standard input and
output, wait for the ready line, then write one command per line and read its one answer
line before the next; stop it with SIGTERM (it exits at once, status 0, link removed).

The simulator holds the pseudo-terminal open itself, so clients may open and close the port
any number of times; each client starts on an empty line in raw mode, and replies still due
when the last client closes the port are dropped.

Over TCP the console commands work as on the pseudo-terminal; under mbap "badcrc" sends the
reply with a wrong transaction id, "wrongaddress" changes its unit id, "noise" writes its bytes
into the stream, "pull" drops the client and stops listening, "plug" listens again on the same
port ("ok HOST:PORT").

The unit: coils 0-15, discrete inputs 0-17, input registers 0-26, holding registers 0-46.

Every second the model moves: Temperature1 (input 4, the cabinet) and Temperature2 (input 5,
outside) drift slowly in signed tenths of a degree, Temperature3 (input 13) follows the
compressor, the supply voltage (input 6) stays around 480 tenths of a volt. The internal fans
(inputs 0-1, coils 0-1) follow the curve of holding 0-10 from Temperature1, the external fans
(inputs 2-3, coils 2-3) that of holding 11-21 from Temperature2; a fan runs only when enabled
(holding 9/10, 20/21 = 1) and its status coil is on while it turns. The compressor (coil 4,
speed input 7, current input 8) starts at holding 41 and stops holding 42 lower; the heater
(coil 5, current input 10) starts at holding 22 and stops holding 23 higher when enabled
(holding 26). Discrete inputs 14/15 rise when Temperature1 is above holding 28 / below
holding 29, inputs 12/13 when the voltage is above holding 39 / below holding 40.

Writes take effect at once: holding 27 moves the unit to that address (the write itself is
answered from the old one; 0 and values above 255 are refused with exception 3); holding 30
is the debug temperature (1100: the real sensor; -400..999: Temperature1 reads that value);
coil 12 forces the outputs (every enabled fan at its MaxRev, the compressor at MaxRPM) and
input 11 reads 1 while it is on. Input registers 15-26 hold the firmware version text,
two characters per register, high byte first, zero padded.

Defaults of the holding registers (tenths of a degree, volt and ampere; speeds in RPM):
  0-10   internal fans: StepRev 200, MaxRev 2500, MinRev 1000, StepTemp 50, MaxTemp 350,
         MinTemp 250, StopTemp 200, DeltTemp 30, PluseNo 2, fan 1 and fan 2 enabled
  11-21  external fans: StepRev 200, MaxRev 3000, MinRev 1200, StepTemp 50, MaxTemp 400,
         MinTemp 300, StopTemp 250, DeltTemp 30, PluseNo 2, fan 1 and fan 2 enabled
  22-26  heater: StartTemp 50, DeltTemp 50, MaxCurrent 150, MinCurrent 20, enabled
  27     address (the --address value)
  28-29  temperature alarm: HighTemp 550, LowTemp -50
  30     debug temperature 1100
  31-38  zero (calibration offsets, external input disabled, NO)
  39-40  voltage alarm: HighValue 580, LowValue 420
  41-43  compressor: StartTemp 300, DeltTemp 50, MaxRPM 4500
  44-46  heat exchanger: StartTemp 250, DeltTemp 50, Min Delt-T 50

)";

// After the console's commands, so that the options come last (and help2man's OPTIONS section
// holds only them).
constexpr std::string_view Options = R"(
Options:
  --link PATH        create a pseudo-terminal in raw mode and publish its slave device as a
                     symbolic link at PATH (an existing link is replaced; any other file there
                     is an error). This or --tcp is required.
  --tcp [HOST:]PORT  listen on TCP instead, as a serial device server or a Modbus TCP gateway
                     does: HOST is a numeric IPv4 address or a bracketed IPv6 literal (default
                     127.0.0.1), PORT 0 picks a free port. One client is served at a time; a
                     second connection is accepted, logged and closed at once.
  --framing F        with --tcp: rtu (default) passes RTU frames, CRC included, as they are
                     (the tool's rtu+tcp://HOST:PORT); mbap speaks Modbus TCP
                     (tcp://HOST:PORT).
  --address N        slave address to answer, 1..255 (default 1). Requests for other
                     addresses are ignored, broadcasts (address 0) too.
  --baud B           line speed set on the pseudo-terminal: 1200, 2400, 4800, 9600, 19200,
                     38400, 57600 or 115200 (default 9600). A pseudo-terminal has no real
                     timing.
  -h, --help         print this text and exit.
  -v, --version      print the version and exit.
)";

std::optional<int> parseInt(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

bool isKnownBaud(int baud) {
    for (const int known : {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200}) {
        if (baud == known) {
            return true;
        }
    }
    return false;
}

int usageError(const std::string& message) {
    std::fprintf(stderr, "climate-sim: %s\nTry climate-sim --help.\n", message.c_str());
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    // Descriptors 0-2 must not be handed out to the simulator's own pipes and terminals.
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) == -1) {
            ::open("/dev/null", O_RDWR);
        }
    }

    sim::Simulator::Options options;
    bool framingGiven = false;
    for (int i = 1; i < argc; ++i) {
        std::string_view argument = argv[i];
        std::string_view value;
        bool hasValue = false;
        if (const auto equals = argument.find('='); equals != std::string_view::npos) {
            value = argument.substr(equals + 1);
            argument = argument.substr(0, equals);
            hasValue = true;
        }
        if (argument == "--help" || argument == "-h") {
            std::fputs(Usage.data(), stdout);
            std::fputs(sim::CommandInterpreter::reference().data(), stdout);
            std::fputs(Options.data(), stdout);
            return 0;
        }
        if (argument == "--version" || argument == "-v") {
            std::printf("climate-sim %s\n", CLIMATE_VERSION);
            return 0;
        }
        if (argument != "--link" && argument != "--address" && argument != "--baud" &&
            argument != "--tcp" && argument != "--framing") {
            return usageError("unknown option " + std::string(argv[i]));
        }
        if (!hasValue) {
            if (i + 1 >= argc) {
                return usageError(std::string(argument) + " needs a value");
            }
            value = argv[++i];
        }
        if (argument == "--link") {
            if (value.empty()) {
                return usageError("--link needs a path");
            }
            options.link = std::string(value);
        } else if (argument == "--tcp") {
            options.tcp = sim::TcpLink::parseEndpoint(value);
            if (!options.tcp) {
                return usageError("--tcp must be [HOST:]PORT (HOST numeric, IPv6 in brackets, "
                                  "PORT 0..65535)");
            }
        } else if (argument == "--framing") {
            if (value == "rtu") {
                options.framing = sim::Simulator::Framing::Rtu;
            } else if (value == "mbap") {
                options.framing = sim::Simulator::Framing::Mbap;
            } else {
                return usageError("--framing must be rtu or mbap");
            }
            framingGiven = true;
        } else if (argument == "--address") {
            const auto address = parseInt(value);
            if (!address || *address < 1 || *address > 255) {
                return usageError("--address must be 1..255");
            }
            options.address = *address;
        } else {
            const auto baud = parseInt(value);
            if (!baud || !isKnownBaud(*baud)) {
                return usageError("--baud must be one of 1200 2400 4800 9600 19200 38400 57600 "
                                  "115200");
            }
            options.baud = *baud;
        }
    }
    if (options.link.empty() == !options.tcp.has_value()) {
        return usageError("one of --link PATH and --tcp [HOST:]PORT is required");
    }
    if (framingGiven && !options.tcp) {
        return usageError("--framing goes with --tcp");
    }

    try {
        sim::Simulator simulator(options);
        return simulator.run();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "climate-sim: %s\n", error.what());
        return 1;
    }
}
