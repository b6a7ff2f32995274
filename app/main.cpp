#include "ComboBoxAccessible.h"
#include "Platform.h"
#include "QtOptions.h"
#include "TForm1.h"
#include "WindowStyle.h"

#include "widgets/InstrumentAccessibility.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>

#include <cstdio>
#include <cstring>
#include <exception>

using namespace climate::app;
using namespace climate::widgets;

namespace {

constexpr const char* Usage = R"(Usage: climate-tool [OPTION]... [PORT]...

Service and test tool for the controller of an enclosure climate unit: a Modbus RTU master on a
serial port or a network port, with one window whose pages read and write the controller's
configuration, show its real-time values and plot its fan speed curves.

While the RealTimeData page polls, the tool logs the measured values into an Excel 97-2003
workbook in the folder TestReportDate of the current directory.

Arguments:
  PORT                  a port to add to the "Port Num:" list after the system's own serial
                        devices (/dev/ttyUSB*, /dev/ttyACM*, /dev/ttyS* that the user may read):
                        a serial port path, for instance the pseudo-terminal published by
                        climate-sim --link PATH, or a network port, named as in "Port Num:".
  rtu+tcp://HOST:PORT   RTU over TCP, through a serial device server.
  tcp://HOST[:PORT]     Modbus TCP, through a gateway (port 502 by default).

HOST is a host name, an IPv4 address or an IPv6 address in brackets.

Exit status:
  0  the window was closed or "Stop Systerm" pressed.
  1  the window could not be started.
  2  a wrong command line.

Options:
  -h, --help            print this text and exit.
  -v, --version         print the version and exit.

Qt's own options are accepted as well, for instance -platform NAME, -style NAME, -reverse.
)";

// Looks for --help and --version before the QApplication exists, so both answer without a display,
// and so does the refusal of an option neither the tool nor Qt knows.
// Arguments after "--" are port paths, never options.
int answerWithoutDisplay(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        if (std::strcmp(argument, "--") == 0) {
            break;
        }
        if (std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0) {
            platform::attachToParentConsole();
            std::fputs(Usage, stdout);
            return 0;
        }
        if (std::strcmp(argument, "--version") == 0 || std::strcmp(argument, "-v") == 0) {
            platform::attachToParentConsole();
            std::printf("climate-tool %s\n", CLIMATE_VERSION);
            return 0;
        }
    }
    if (const auto unknown = firstUnknownOption(argc, argv)) {
        platform::attachToParentConsole();
        std::fprintf(stderr, "climate-tool: Unknown option '%s'. Try climate-tool --help.\n",
                     unknown->c_str());
        return 2;
    }
    return -1;
}

} // namespace

int main(int argc, char* argv[]) {
    if (const int status = answerWithoutDisplay(argc, argv); status >= 0) {
        return status;
    }

    // QApplication takes its own options (-platform, -style, ...) out of the arguments.
    QApplication application(argc, argv);
    // QSettings keeps the one remembered setting (the parameter files' folder) under these names.
    QApplication::setOrganizationName(QStringLiteral("climate-tool"));
    QApplication::setApplicationName(QStringLiteral("climate-tool"));
    QApplication::setApplicationVersion(QStringLiteral(CLIMATE_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("org.climateunit.ClimateTool"));

    // What is left are ports; any other option is refused (--help and --version were answered
    // above). parse() rather than process(), which would exit with status 1 and a long text.
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("PORT"), QString(), QStringLiteral("[PORT...]"));
    if (!parser.parse(QApplication::arguments())) {
        std::fprintf(stderr, "climate-tool: %s Try climate-tool --help.\n",
                     qPrintable(parser.errorText()));
        return 2;
    }

    try {
        QApplication::setApplicationDisplayName(TForm1::applicationTitle());
        applyWindowStyle(application);
        installInstrumentAccessibility();
        ComboBoxAccessible::install();

        // Ports given on the command line join the port list (the simulator's, for one).
        TForm1 form(parser.positionalArguments());
        form.showMaximized();
        return QApplication::exec();
    } catch (const std::exception& error) {
        // The box says why; the status says that the tool did not run.
        QMessageBox::critical(nullptr, TForm1::applicationTitle(), QString::fromUtf8(error.what()));
        return 1;
    }
}
