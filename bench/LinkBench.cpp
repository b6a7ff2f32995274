// The serial link's hot paths: the CRC, the reply check and one engine tick against the fake
// port. The engine ticks every 10 ms, so anything in the microseconds leaves the window idle.
#include "link/CheckReply.h"
#include "link/CommEngine.h"
#include "link/ModbusCrc.h"
#include "link/Transaction.h"
#include "support/EngineRig.h"
#include "support/EngineStaging.h"
#include "support/FrameHex.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

using namespace climate::link;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes patternBytes(std::size_t length) {
    Bytes bytes(length);
    for (std::size_t i = 0; i < length; ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * 37 + 11);
    }
    return bytes;
}

// A complete reply to All "Read": 47 registers, 99 bytes, the longest reply the tool takes.
Bytes readAllReply() {
    Bytes body = fromHex("01 03 5E");
    const Bytes words = patternBytes(94);
    body.insert(body.end(), words.begin(), words.end());
    return withCrc(body);
}

void BM_ModbusCrc16(benchmark::State& state) {
    const Bytes bytes = patternBytes(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(ModbusCrc16(bytes));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_ModbusCrc16)->Arg(8)->Arg(31)->Arg(99)->Arg(1024);

void BM_CheckReplyGood99(benchmark::State& state) {
    const Bytes reply = readAllReply();
    for (auto _ : state) {
        benchmark::DoNotOptimize(CheckReply(reply, 3, 99, 1));
    }
}
BENCHMARK(BM_CheckReplyGood99);

// All "Read" whose reply is ignored: the engine keeps collecting, so every tick does the same work.
class IgnoringCommand : public CommandTransaction {
public:
    IgnoringCommand() : CommandTransaction(Requests::ReadAll, 100) {}
    void onGood(TransactionContext& /*context*/, std::span<const std::uint8_t> /*reply*/) override {
    }
};

// The fakes record every call; keep their records from growing without bound.
void forgetRecords(EngineRig& rig, std::int64_t iteration) {
    if ((iteration & 1023) == 0) {
        rig.port.clearRecords();
        rig.window.clearRecords();
    }
}

// Receive tick with a whole 99-byte reply waiting: read it, append it, check it (CRC included).
void BM_EngineReceiveTick(benchmark::State& state) {
    EngineRig rig;
    IgnoringCommand command;
    const auto registration =
        rig.engine.registerTransaction(CommEngine::Table::ConfigurationCommand, 9, command);
    rig.engine.postCommand(9);
    rig.engine.tick(rig.window.visiblePage()); // send
    const Bytes reply = readAllReply();
    EngineStaging staging(rig.engine);
    std::int64_t iteration = 0;
    for (auto _ : state) {
        staging.replyProgress(0, 0);
        rig.port.feed(reply);
        rig.engine.tick(rig.window.visiblePage());
        forgetRecords(rig, ++iteration);
    }
    if (rig.engine.state().RxLength != reply.size()) {
        state.SkipWithError("the tick did not collect the reply");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(reply.size()));
}
BENCHMARK(BM_EngineReceiveTick);

// Receive tick with nothing waiting: what the engine costs while it waits for a reply.
void BM_EngineIdleReceiveTick(benchmark::State& state) {
    EngineRig rig;
    IgnoringCommand command;
    const auto registration =
        rig.engine.registerTransaction(CommEngine::Table::ConfigurationCommand, 9, command);
    rig.engine.postCommand(9);
    rig.engine.tick(rig.window.visiblePage()); // send
    EngineStaging staging(rig.engine);
    std::int64_t iteration = 0;
    for (auto _ : state) {
        staging.replyProgress(rig.engine.state().RxLength, 0);
        rig.engine.tick(rig.window.visiblePage());
        forgetRecords(rig, ++iteration);
    }
}
BENCHMARK(BM_EngineIdleReceiveTick);

// Send tick: build the request, write it, purge, switch the timer to the send interval.
void BM_EngineSendTick(benchmark::State& state) {
    EngineRig rig;
    IgnoringCommand command;
    const auto registration =
        rig.engine.registerTransaction(CommEngine::Table::ConfigurationCommand, 9, command);
    rig.engine.postCommand(9);
    EngineStaging staging(rig.engine);
    std::int64_t iteration = 0;
    for (auto _ : state) {
        staging.sendPending(true);
        rig.engine.tick(rig.window.visiblePage());
        forgetRecords(rig, ++iteration);
    }
    if (rig.port.writes().empty() && iteration < 1024) {
        state.SkipWithError("the tick sent nothing");
    }
}
BENCHMARK(BM_EngineSendTick);

} // namespace

BENCHMARK_MAIN();
