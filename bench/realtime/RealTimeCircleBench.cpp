// The RealTimeData polling circle of the whole window against the controller simulator, which
// answers at once. Two figures:
//  - PollCircle: the period of a full circle (coil read to coil read), against its nominal
//    4 x (300 ms first wait + one 10 ms receive tick) = 1240 ms;
//  - ReplyToDisplay: from the moment a reply's last bytes reach the tool's terminal to the end of
//    the engine tick that has put it on the widgets (the poll step's end right after the display).
// A relay between the window and the simulator timestamps the bytes on the line.
#include "PtyRelay.h"

#include "app/PortComboBox.h"
#include "app/TForm1.h"
#include "link/CommEngine.h"
#include "link/EngineObserver.h"
#include "link/UserMessage.h"
#include "support/SimulatorProcess.h"

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

using namespace climate::app;
using namespace climate::link;

namespace {

using Clock = PtyRelay::Clock;
constexpr double NominalCircleMs = 4 * (300 + 10);

double milliseconds(Clock::duration span) {
    return std::chrono::duration<double, std::milli>(span).count();
}

class DiscardBoxes : public MessagePresenter {
public:
    void show(const UserMessage& message, std::function<void()> /*onClosed*/) override {
        texts.push_back(message.text);
    }
    std::vector<std::string> texts;
};

struct Display {
    Clock::time_point at;
    int step = 0; // poll step whose reply was displayed
};

// Stamps the end of every poll step the controller answered.
class PollEnds final : public EngineObserver {
public:
    explicit PollEnds(std::vector<Display>& displays) : m_displays(displays) {}

    void requestSent(const TransactionId&, std::span<const std::uint8_t>) override {}
    void bytesReceived(const TransactionId&, std::span<const std::uint8_t>,
                       const TransportDetails&) override {}
    void bytesPurged(std::uint32_t, PurgeReason) override {}
    void transactionEnded(const TransactionId& id, Outcome outcome) override {
        if (id.kind == TransactionId::Kind::PollStep && outcome == Outcome::Good) {
            m_displays.push_back({Clock::now(), id.code});
        }
    }

private:
    std::vector<Display>& m_displays;
};

// The window polling the simulator through the relay, set up once for all benchmarks.
class Harness {
public:
    static Harness& instance() {
        if (!s_instance) {
            s_instance = std::make_unique<Harness>();
            s_instance->setUp();
        }
        return *s_instance;
    }
    // The window must go before the application object.
    static void release() { s_instance.reset(); }

    [[nodiscard]] bool ready() const { return m_failure.empty(); }
    [[nodiscard]] const std::string& failure() const { return m_failure; }

    // Times at which the coil read (step 0) went out.
    [[nodiscard]] std::vector<Clock::time_point> coilRequests() const {
        std::vector<Clock::time_point> times;
        for (const PtyRelay::Chunk& chunk : m_relay.chunks()) {
            if (chunk.fromTool && chunk.bytes.size() >= 2 && chunk.bytes[1] == 1) {
                times.push_back(chunk.at);
            }
        }
        return times;
    }
    // Arrival of the last reply bytes before `display`.
    [[nodiscard]] Clock::time_point arrivalBefore(Clock::time_point display) const {
        Clock::time_point arrival{};
        for (const PtyRelay::Chunk& chunk : m_relay.chunks()) {
            if (!chunk.fromTool && chunk.at <= display) {
                arrival = chunk.at;
            }
        }
        return arrival;
    }
    [[nodiscard]] const std::vector<Display>& displays() const { return m_displays; }

    // The simulator waits `ms` before every reply from now on.
    bool setReplyDelay(int ms) { return m_simulator.commandOk(QStringLiteral("delay %1").arg(ms)); }

    bool waitFor(const std::function<bool()>& done, int timeoutMs = 5000) {
        return QTest::qWaitFor(done, timeoutMs);
    }

    ~Harness() {
        m_form.reset();
        m_relay.stop();
        m_simulator.stop();
        QDir::setCurrent(m_previousFolder);
    }

private:
    void setUp() {
        // The window writes its test log under the current folder.
        m_previousFolder = QDir::currentPath();
        QDir::setCurrent(m_folder.path());
        if (!m_simulator.start()) {
            m_failure = "simulator: " + m_simulator.diagnostics().toStdString();
            return;
        }
        if (!m_relay.start(m_simulator.linkPath().toStdString())) {
            m_failure = "relay: " + m_relay.error();
            return;
        }
        auto boxes = std::make_unique<DiscardBoxes>();
        m_boxes = boxes.get();
        const QString device = QString::fromStdString(m_relay.toolDevice());
        m_form = std::make_unique<TForm1>(QStringList{device}, std::move(boxes), [](int) {});

        // A poll step ends right after its display, in the same tick.
        m_form->engine().addObserver(m_pollEnds);

        auto* ports = m_form->findChild<PortComboBox*>(QStringLiteral("rdCOM"));
        ports->setCurrentIndex(ports->findText(device));
        m_form->findChild<QPushButton*>(QStringLiteral("Button1"))->click();
        if (m_form->findChild<QPushButton*>(QStringLiteral("Button1"))->text() != "Close") {
            m_failure = "the port did not open: " +
                        (m_boxes->texts.empty() ? std::string() : m_boxes->texts.front());
            return;
        }
        m_form->findChild<QTabWidget*>(QStringLiteral("Data"))->setCurrentIndex(1);
        // One whole circle first, so that every figure comes from a running circle.
        if (!waitFor([this] { return coilRequests().size() >= 2; }, 10000)) {
            m_failure = "no circle completed";
        }
    }

    static inline std::unique_ptr<Harness> s_instance;

    QTemporaryDir m_folder;
    QString m_previousFolder;
    SimulatorProcess m_simulator;
    PtyRelay m_relay;
    DiscardBoxes* m_boxes = nullptr;
    std::unique_ptr<TForm1> m_form;
    std::vector<Display> m_displays;
    PollEnds m_pollEnds{m_displays};
    std::string m_failure;
};

void BM_PollCircle(benchmark::State& state) {
    Harness& harness = Harness::instance();
    if (!harness.ready()) {
        state.SkipWithError(harness.failure().c_str());
        return;
    }
    if (!harness.setReplyDelay(0)) {
        state.SkipWithError("the simulator refused the delay");
        return;
    }
    double longest = 0;
    double total = 0;
    for (auto _ : state) {
        const std::size_t seen = harness.coilRequests().size();
        if (!harness.waitFor([&] { return harness.coilRequests().size() > seen; })) {
            state.SkipWithError("the circle stopped");
            return;
        }
        const std::vector<Clock::time_point> times = harness.coilRequests();
        const double period = milliseconds(times[times.size() - 1] - times[times.size() - 2]);
        longest = std::max(longest, period);
        total += period;
        state.SetIterationTime(period / 1000.0);
    }
    const double mean = total / static_cast<double>(state.iterations());
    state.counters["nominal_ms"] = NominalCircleMs;
    state.counters["mean_ms"] = mean;
    state.counters["max_ms"] = longest;
    state.counters["over_nominal_pct"] = 100.0 * (mean - NominalCircleMs) / NominalCircleMs;
}
BENCHMARK(BM_PollCircle)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

// Argument: how long the simulator waits before it answers. At 0 the reply is complete long
// before the engine's first look 300 ms after the request; at 320 it arrives between two 10 ms
// receive ticks.
void BM_ReplyToDisplay(benchmark::State& state) {
    Harness& harness = Harness::instance();
    if (!harness.ready()) {
        state.SkipWithError(harness.failure().c_str());
        return;
    }
    if (!harness.setReplyDelay(static_cast<int>(state.range(0)))) {
        state.SkipWithError("the simulator refused the delay");
        return;
    }
    // Let the replies of the old delay pass.
    const std::size_t settled = harness.displays().size() + 2;
    harness.waitFor([&] { return harness.displays().size() >= settled; });
    std::vector<double> delays;
    std::size_t next = harness.displays().size();
    for (auto _ : state) {
        if (!harness.waitFor([&] { return harness.displays().size() > next; })) {
            state.SkipWithError("no reply displayed");
            return;
        }
        const Display display = harness.displays()[next++];
        const double delay = milliseconds(display.at - harness.arrivalBefore(display.at));
        delays.push_back(delay);
        state.SetIterationTime(delay / 1000.0);
    }
    std::sort(delays.begin(), delays.end());
    state.counters["median_ms"] = delays[delays.size() / 2];
    state.counters["p90_ms"] = delays[delays.size() * 9 / 10];
    state.counters["max_ms"] = delays.back();
    state.counters["min_ms"] = delays.front();
}
BENCHMARK(BM_ReplyToDisplay)
    ->Arg(0)
    ->Arg(320)
    ->ArgName("reply_delay_ms")
    ->UseManualTime()
    ->Iterations(40)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    Harness::release();
    benchmark::Shutdown();
    return 0;
}
