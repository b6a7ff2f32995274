// The engine's tick with and without the bus monitor attached: the polling circle on the fake
// port, every reply good, so each transaction is one send tick and one receive tick. Compare
// BM_PollingTick/observer:0 (nothing attached) with :1 (the hooks alone), :3 (the traffic
// history that is attached while the monitor is closed) and :2 (the monitor's log, which decodes
// every frame, with the history beside it as in the window).
#include "link/CommEngine.h"
#include "link/TrafficHistory.h"
#include "link/Transaction.h"
#include "monitor/BusLog.h"
#include "support/EngineRig.h"
#include "support/FrameHex.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <vector>

using namespace climate::link;

namespace {

using Bytes = std::vector<std::uint8_t>;

class QuietPoll : public PollTransaction {
public:
    using PollTransaction::PollTransaction;

protected:
    void decode(std::span<const std::uint8_t> /*reply*/) override {}
};

// Sees everything and does nothing: what the hooks themselves cost.
class NullObserver : public EngineObserver {
public:
    void requestSent(const TransactionId&, std::span<const std::uint8_t> frame) override {
        benchmark::DoNotOptimize(frame.data());
    }
    void bytesReceived(const TransactionId&, std::span<const std::uint8_t> chunk,
                       const TransportDetails&) override {
        benchmark::DoNotOptimize(chunk.data());
    }
    void bytesPurged(std::uint32_t count, PurgeReason) override { benchmark::DoNotOptimize(count); }
    void transactionEnded(const TransactionId&, Outcome outcome) override {
        benchmark::DoNotOptimize(outcome);
    }
};

// A good reply of `length` bytes to a read of `function`.
Bytes goodReply(std::uint8_t function, std::size_t length) {
    Bytes body{0x01, function, static_cast<std::uint8_t>(length - 5)};
    for (std::size_t i = 3; i + 2 < length; ++i) {
        body.push_back(static_cast<std::uint8_t>(i * 37));
    }
    return withCrc(body);
}

void BM_PollingTick(benchmark::State& state) {
    EngineRig rig;
    const std::array<RequestShape, 4> shapes{Requests::PollCoils, Requests::PollAlarmInputs,
                                             Requests::PollCompressorSettings,
                                             Requests::PollMeasurements};
    std::array<QuietPoll, 4> steps{QuietPoll{shapes[0]}, QuietPoll{shapes[1], true},
                                   QuietPoll{shapes[2]}, QuietPoll{shapes[3]}};
    std::array<Bytes, 4> replies;
    std::vector<CommEngine::Registration> registrations;
    for (std::size_t n = 0; n < 4; ++n) {
        registrations.push_back(rig.engine.registerTransaction(
            CommEngine::Table::PollStep, static_cast<std::uint8_t>(n), steps[n]));
        replies[n] = goodReply(shapes[n].function, shapes[n].replyLength);
    }
    NullObserver null;
    climate::monitor::BusLog log;
    TrafficHistory history;
    if (state.range(0) == 1) {
        rig.engine.addObserver(null);
    } else if (state.range(0) == 2) {
        rig.engine.addObserver(history);
        rig.engine.addObserver(log);
    } else if (state.range(0) == 3) {
        rig.engine.addObserver(history);
    }
    rig.driver.showPage(1);

    std::size_t step = 0;
    std::int64_t iteration = 0;
    for (auto _ : state) {
        rig.engine.tick(rig.window.visiblePage());
        if (!rig.port.writes().empty()) { // a send tick: the reply waits for the next one
            rig.port.feed(replies[step]);
            step = (step + 1) % 4;
            rig.port.clearRecords();
        }
        if ((++iteration & 1023) == 0) {
            rig.window.clearRecords();
        }
    }
    if (state.range(0) == 2 && state.iterations() > 2 && log.counters().goodReplies == 0) {
        state.SkipWithError("no reply was taken");
    }
    if (state.range(0) == 3 && state.iterations() > 2 && history.empty()) {
        state.SkipWithError("the history kept nothing");
    }
}
BENCHMARK(BM_PollingTick)->ArgName("observer")->Arg(0)->Arg(1)->Arg(3)->Arg(2);

} // namespace

BENCHMARK_MAIN();
