// How long climate-cli's write takes with its read-back, against the window's Set All followed by
// Read All, on the same simulator (answering at once) and the same values. Both sides go through
// the same engine, transactions and waits, so the ratio shows what the command line adds. Also:
// each side's time against the time its bytes take on the wire at 9600 baud (10 bits a byte).
//
//     cli_bench [ROUNDS]     (default 5; prints medians and ratios)
//
// The window side runs first with the port open throughout, then the port is closed and the
// command line's link opens it once; last, the whole program (`climate-cli write FILE`, process
// start and port opening included) for reference.
#include "app/TForm1.h"
#include "cli/ControllerLink.h"
#include "cli/ParameterCheck.h"
#include "config/ParameterFile.h"
#include "config/SetAllPlan.h"
#include "link/CommEngine.h"
#include "link/EngineObserver.h"
#include "link/NamedPort.h"
#include "link/UserMessage.h"
#include "support/SimulatorProcess.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

using namespace climate;
using Clock = std::chrono::steady_clock;

namespace {

constexpr double BitsPerByte = 10; // start bit, 8 data bits, stop bit
constexpr double Baud = 9600;

class DiscardBoxes : public link::MessagePresenter {
public:
    void show(const link::UserMessage& message, std::function<void()> /*onClosed*/) override {
        last = message.text;
    }
    std::string last;
};

// Counts the window's bytes on the line, as the command line's link counts its own.
class ByteCount : public link::EngineObserver {
public:
    void requestSent(const TransactionId&, std::span<const std::uint8_t> frame) override {
        bytes += frame.size();
    }
    void bytesReceived(const TransactionId&, std::span<const std::uint8_t> chunk,
                       const link::TransportDetails&) override {
        bytes += chunk.size();
    }
    void bytesPurged(std::uint32_t count, PurgeReason) override { bytes += count; }
    void transactionEnded(const TransactionId&, Outcome) override {}
    std::uint64_t bytes = 0;
};

double median(std::vector<double> values) {
    std::ranges::sort(values);
    return values[values.size() / 2];
}

double seconds(Clock::duration span) {
    return std::chrono::duration<double>(span).count();
}

void waitUntil(const std::function<bool()>& done) {
    while (!done()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
}

int fail(const char* what, const QString& detail = {}) {
    std::fprintf(stderr, "cli_bench: %s %s\n", what, detail.toUtf8().constData());
    return 1;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    QTemporaryDir folder;
    QDir::setCurrent(folder.path()); // the window keeps its test log here

    SimulatorProcess simulator;
    if (!simulator.start()) {
        return fail("simulator:", simulator.diagnostics());
    }
    const QString device = simulator.linkPath();

    // The values both sides write: the simulator's own, as the command line reads them.
    const QString file = QDir(folder.path()).filePath(QStringLiteral("set.json"));
    {
        QProcess read;
        read.start(QStringLiteral(CLIMATE_CLI_PATH), {QStringLiteral("read"), QStringLiteral("-o"),
                                                      file, QStringLiteral("--port"), device});
        if (!read.waitForFinished(30000) || read.exitCode() != 0) {
            return fail("climate-cli read failed:", QString::fromUtf8(read.readAllStandardError()));
        }
    }

    // The window: Read All once to fill the fields, then Set All and Read All, timed.
    std::vector<double> windowTimes;
    std::uint64_t windowBytes = 0;
    {
        auto boxes = std::make_unique<DiscardBoxes>();
        app::TForm1 form(QStringList{device}, std::move(boxes), [](int) {});
        auto* ports = form.findChild<QComboBox*>(QStringLiteral("rdCOM"));
        ports->setCurrentIndex(ports->findText(device));
        auto* open = form.findChild<QPushButton*>(QStringLiteral("Button1"));
        open->click();
        if (open->text() != QLatin1String("Close")) {
            return fail("the window did not open the port");
        }
        link::CommEngine& engine = form.engine();
        const auto idle = [&engine] { return !engine.state().CommandBusy; };
        form.findChild<QPushButton*>(QStringLiteral("Button12"))->click();
        waitUntil(idle);
        ByteCount count;
        engine.addObserver(count);
        for (int round = 0; round < rounds; ++round) {
            const std::uint64_t before = count.bytes;
            const Clock::time_point start = Clock::now();
            form.findChild<QPushButton*>(QStringLiteral("Button13"))->click();
            waitUntil(idle);
            form.findChild<QPushButton*>(QStringLiteral("Button12"))->click();
            waitUntil(idle);
            windowTimes.push_back(seconds(Clock::now() - start));
            windowBytes = count.bytes - before;
        }
        engine.removeObserver(count);
        open->click();
    }

    // The command line's link, in this process: the port opened once, then write and read-back.
    std::vector<double> cliTimes;
    std::uint64_t cliBytes = 0;
    {
        cli::ParameterSet set;
        if (const auto problem = cli::loadParameterSet(file, set)) {
            return fail("the file:", *problem);
        }
        config::ControllerParameters staged;
        if (const auto refusal = config::stageSetAll(set.texts, staged)) {
            return fail("Set All refused the file:", config::refusalText(*refusal));
        }
        cli::ControllerLink link;
        link.open({device, 9600, 1});
        for (int round = 0; round < rounds; ++round) {
            const std::uint64_t before = link.bytesSent() + link.bytesReceived();
            const Clock::time_point start = Clock::now();
            const cli::ControllerLink::SetAllResult result = link.setAll(staged);
            const cli::ParameterComparison comparison =
                cli::compareWithController(set, link.readAll());
            cliTimes.push_back(seconds(Clock::now() - start));
            cliBytes = link.bytesSent() + link.bytesReceived() - before;
            if (!result.failure.isEmpty() || !comparison.differences.empty()) {
                return fail("write failed:", result.failure);
            }
        }
    }

    // The whole program, for reference.
    std::vector<double> processTimes;
    for (int round = 0; round < rounds; ++round) {
        QProcess write;
        const Clock::time_point start = Clock::now();
        write.start(QStringLiteral(CLIMATE_CLI_PATH),
                    {QStringLiteral("write"), file, QStringLiteral("--port"), device});
        if (!write.waitForFinished(60000) || write.exitCode() != 0) {
            return fail("climate-cli write failed:",
                        QString::fromUtf8(write.readAllStandardError()));
        }
        processTimes.push_back(seconds(Clock::now() - start));
    }

    const double window = median(windowTimes);
    const double cli = median(cliTimes);
    const double process = median(processTimes);
    const double wire = static_cast<double>(cliBytes) * BitsPerByte / Baud;
    std::printf("rounds                                   %d\n", rounds);
    std::printf("window Set All + Read All (median)       %.3f s  (%llu bytes)\n", window,
                static_cast<unsigned long long>(windowBytes));
    std::printf("climate-cli write + read-back (median)   %.3f s  (%llu bytes)\n", cli,
                static_cast<unsigned long long>(cliBytes));
    std::printf("climate-cli write, whole process         %.3f s\n", process);
    std::printf("bytes on the wire at 9600 baud           %.3f s\n", wire);
    std::printf("ratio command line / window              %.3f\n", cli / window);
    std::printf("ratio whole process / window             %.3f\n", process / window);
    std::printf("ratio command line / wire time           %.2f\n", cli / wire);
    std::printf("ratio window / wire time                 %.2f\n",
                window / (static_cast<double>(windowBytes) * BitsPerByte / Baud));
    return 0;
}
