// The monitor attached to the engine on the fake port: a scripted exchange with every kind of
// outcome gives the entries and counters the technician should see, and without an observer the
// engine asks the port for nothing more.
#include "link/CommEngine.h"
#include "link/ModbusException.h"
#include "link/TrafficHistory.h"
#include "link/Transaction.h"
#include "monitor/BusLog.h"
#include "support/EngineRig.h"
#include "support/FrameHex.h"

#include <gtest/gtest.h>

#include <QDateTime>

#include <algorithm>
#include <array>
#include <chrono>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

using namespace climate::link;

namespace {

using climate::monitor::BusEntry;
using climate::monitor::BusLog;
using Bytes = std::vector<std::uint8_t>;
using Direction = BusEntry::Direction;

class QuietPoll : public PollTransaction {
public:
    using PollTransaction::PollTransaction;

protected:
    void decode(std::span<const std::uint8_t> /*reply*/) override {}
};

// The debug-temperature write as a live command.
class QuietLive : public Transaction {
public:
    [[nodiscard]] ModbusFrame request(std::uint8_t deviceAddress) const override {
        return buildWriteSingle(deviceAddress, 6, 30, 250);
    }
    [[nodiscard]] std::uint8_t function() const override { return 6; }
    [[nodiscard]] std::uint32_t replyLength() const override { return 8; }
    [[nodiscard]] int sendIntervalMs() const override { return 300; }
    void onGood(TransactionContext& context, std::span<const std::uint8_t> /*reply*/) override {
        context.restartPolling();
        context.purgeInput();
        context.MarkLinkAlive();
    }
    void onWrongHeader(TransactionContext& context) override { context.restartPolling(); }
    void onTimeout(TransactionContext& context) override { context.restartPolling(); }
};

class EngineTraffic : public ::testing::Test {
protected:
    EngineTraffic() {
        using Table = CommEngine::Table;
        registrations.push_back(rig.engine.registerTransaction(Table::PollStep, 0, coils));
        registrations.push_back(rig.engine.registerTransaction(Table::PollStep, 1, alarms));
        registrations.push_back(rig.engine.registerTransaction(Table::PollStep, 2, compressor));
        registrations.push_back(rig.engine.registerTransaction(Table::PollStep, 3, measurements));
        registrations.push_back(rig.engine.registerTransaction(Table::LiveCommand, 1, live));
    }

    // Ticks until the engine has written one more request; returns it.
    Bytes nextRequest() {
        const std::size_t before = rig.port.writes().size();
        const auto ticks =
            rig.driver.runUntil([&] { return rig.port.writes().size() > before; }, 400);
        EXPECT_TRUE(ticks.has_value());
        return ticks ? rig.port.writes().back().bytes : Bytes{};
    }
    // Ticks until the transaction in flight has ended (the log has one more outcome).
    void runToEnd() {
        const auto outcomes = [&] {
            return std::count_if(log.entries().begin(), log.entries().end(),
                                 [](const auto& e) { return e.direction == Direction::Outcome; });
        };
        const auto before = outcomes();
        EXPECT_TRUE(rig.driver.runUntil([&] { return outcomes() > before; }, 400).has_value());
    }

    // Clocks that follow the fake port's ticks, 10 ms each, the wall clock with them: a log
    // made from the history and one that watched all along read the same times.
    BusLog::Time tickTime() {
        return {.steady = [this] { return tickNow(); },
                .wall =
                    [this] {
                        return QDateTime(QDate(2026, 1, 5), QTime(8, 0))
                            .addMSecs(tickNow().time_since_epoch().count() / 1'000'000);
                    }};
    }
    TrafficHistory::Clock::time_point tickNow() const {
        return TrafficHistory::Clock::time_point(std::chrono::milliseconds(rig.port.tick() * 10));
    }

    EngineRig rig;
    QuietPoll coils{Requests::PollCoils};
    QuietPoll alarms{Requests::PollAlarmInputs, true};
    QuietPoll compressor{Requests::PollCompressorSettings};
    QuietPoll measurements{Requests::PollMeasurements};
    QuietLive live;
    BusLog log{BusLog::DefaultCapacity, tickTime()};
    TrafficHistory history{TrafficHistory::DefaultCapacity, [this] { return tickNow(); }};
    TrafficHistory shortHistory{6, [this] { return tickNow(); }};
    ExceptionWatch exceptions;
    std::vector<CommEngine::Registration> registrations; // go first
};

// What a log shows of its entries: direction, time, bytes, meaning and outcome.
std::vector<std::string> describe(const BusLog& log) {
    std::vector<std::string> lines;
    for (const BusEntry& entry : log.entries()) {
        lines.push_back(climate::monitor::directionText(entry.direction).toStdString() + " " +
                        log.wallClock(entry).toString(Qt::ISODateWithMs).toStdString() + " " +
                        entry.bytes.toHex(' ').toStdString() + " " + entry.meaning.toStdString() +
                        " " + entry.outcome.toStdString() + " " +
                        (entry.replyMs ? std::to_string(*entry.replyMs) : "-"));
    }
    return lines;
}

TEST_F(EngineTraffic, EveryOutcomeOfAScriptedExchange) {
    // Every observer hears every event.
    rig.engine.addObserver(history);
    rig.engine.addObserver(log);
    rig.engine.addObserver(exceptions);
    rig.engine.addObserver(shortHistory);
    rig.driver.showPage(1);

    // Poll 0: a whole good reply.
    EXPECT_EQ(toHex(nextRequest()), toHex(withCrc(fromHex("01 01 00 00 00 10"))));
    rig.port.feed(replyFrom("01 01 02 13 00"));
    runToEnd();
    // Poll 1: the reply split over two ticks.
    nextRequest();
    const Bytes alarmsReply = replyFrom("01 02 03 00 00 00");
    rig.port.feed(std::span(alarmsReply).first(3));
    rig.port.arriveAt(rig.port.tick() + 2, std::span(alarmsReply).subspan(3));
    runToEnd();
    // Poll 2: a bad CRC; the step waits for its time-out, which is how the engine judges it.
    nextRequest();
    Bytes corrupted = replyFrom("01 03 06 01 2C 00 32 11 94");
    corrupted.back() ^= 0xFF;
    rig.port.feed(corrupted);
    runToEnd();
    // Poll 3: a reply from another address.
    nextRequest();
    Bytes other = fromHex("02 04 1C");
    other.resize(31, 0);
    rig.port.feed(withCrc(other));
    runToEnd();
    EXPECT_EQ(exceptions.lastException(), std::nullopt);
    // Poll 0: an exception reply, which the engine only sees end by its time-out.
    nextRequest();
    rig.port.feed(replyFrom("01 81 02"));
    runToEnd();
    EXPECT_EQ(exceptions.lastException(), 2);
    // Poll 1: silence.
    nextRequest();
    runToEnd();
    EXPECT_EQ(exceptions.lastException(), std::nullopt);
    // Poll 2 pre-empted by a live command, which is answered.
    nextRequest();
    rig.engine.postLiveCommand(1);
    EXPECT_EQ(toHex(nextRequest()), toHex(withCrc(fromHex("01 06 00 1E 00 FA"))));
    rig.port.feed(replyFrom("01 06 00 1E 00 FA"));
    runToEnd();
    // Noise: 2000 bytes at once are purged unread, then polling goes on; a page switch abandons
    // the step in flight.
    rig.port.feed(Bytes(2000, 0x55));
    nextRequest();
    rig.driver.showPage(0);

    std::vector<std::string> transcript;
    for (const BusEntry& entry : log.entries()) {
        std::string line = climate::monitor::directionText(entry.direction).toStdString();
        if (!entry.outcome.isEmpty()) {
            line += " " + entry.outcome.toStdString();
        }
        transcript.push_back(line);
    }
    // clang-format off
    const std::vector<std::string> expected{
        "TX", "RX", "end good reply",                                     // poll 0
        "TX", "RX", "RX", "end good reply",                               // poll 1, split
        "TX", "RX bad CRC", "end time-out after a bad CRC",               // poll 2
        "TX", "RX other address", "end wrong header",                     // poll 3
        "TX", "RX exception 2", "end time-out after an exception reply",  // poll 0
        "TX", "end time-out",                                             // poll 1
        "TX", "end abandoned", "TX", "RX", "end good reply",              // poll 2, live command
        "purge purged", "TX", "end abandoned",                            // noise, page switch
    };
    // clang-format on
    EXPECT_EQ(transcript, expected);

    const auto& entries = log.entries();
    EXPECT_EQ(entries[4].meaning.toStdString(), "partial reply (3 of 8 bytes)");
    EXPECT_EQ(entries[5].meaning.toStdString(), "addr 1 fn 2 18 discrete inputs 0–17: all off");
    EXPECT_EQ(entries[18].meaning.toStdString(),
              "poll 2 (compressor settings): addr 1 fn 3 read "
              "holding registers 41–43 (3) (compressor settings)");
    EXPECT_EQ(entries[20].meaning.toStdString(),
              "debug temperature: addr 1 fn 6 write register 30 = 250 (debug temperature)");
    EXPECT_EQ(entries[23].meaning.toStdString(),
              "2000 bytes purged unread (more than the engine takes at once)");

    const auto& c = log.counters();
    EXPECT_EQ(c.requests, 9u);
    EXPECT_EQ(c.goodReplies, 3u);
    EXPECT_EQ(c.badCrc, 1u);
    EXPECT_EQ(c.wrongHeader, 1u);
    EXPECT_EQ(c.timeouts, 3u);
    EXPECT_EQ(c.exceptionReplies, 1u);
    EXPECT_EQ(c.abandoned, 2u);
    EXPECT_EQ(c.bytesPurged, 2000u);
    EXPECT_EQ(c.replyTimes, 6u); // every transaction that received anything

    // A monitor opened now shows from the history what one watching all along showed.
    BusLog opened{BusLog::DefaultCapacity, tickTime()};
    opened.restartFrom(history);
    EXPECT_EQ(describe(opened), describe(log));
    EXPECT_EQ(opened.counters().requests, c.requests);
    EXPECT_EQ(opened.counters().exceptionReplies, c.exceptionReplies);
    EXPECT_EQ(opened.counters().replyMsTotal, c.replyMsTotal);

    // A history kept short holds the last events only.
    ASSERT_EQ(shortHistory.size(), 6u);
    opened.restartFrom(shortHistory);
    const std::vector<std::string> all = describe(log);
    EXPECT_EQ(describe(opened), std::vector<std::string>(all.end() - 6, all.end()));

    // Detached, an observer hears nothing more; the others go on.
    rig.engine.removeObserver(log);
    const std::size_t kept = history.size();
    const std::size_t logged = log.entries().size();
    rig.driver.showPage(1);
    nextRequest();
    EXPECT_EQ(log.entries().size(), logged);
    EXPECT_EQ(history.size(), std::min(kept + 1, history.capacity()));
}

TEST(EngineObservers, AreAddedOnceAndRemovedOnlyWhenThere) {
    EngineRig rig;
    ExceptionWatch watch;
    EXPECT_THROW(rig.engine.removeObserver(watch), std::logic_error);
    rig.engine.addObserver(watch);
    EXPECT_THROW(rig.engine.addObserver(watch), std::logic_error);
    rig.engine.removeObserver(watch);
    EXPECT_THROW(rig.engine.removeObserver(watch), std::logic_error);
}

// Watching changes nothing on the line: the same script with and without the monitor gives the
// port the same operations at the same ticks.
TEST(EngineTrafficWatching, AnObserverChangesNothingThePortSees) {
    const auto run = [](bool watched) {
        EngineRig rig;
        QuietPoll coils{Requests::PollCoils};
        QuietPoll alarms{Requests::PollAlarmInputs, true};
        BusLog log;
        QuietPoll coils2{Requests::PollCoils};
        QuietPoll alarms2{Requests::PollAlarmInputs, true};
        using Table = CommEngine::Table;
        const std::array registrations{rig.engine.registerTransaction(Table::PollStep, 0, coils),
                                       rig.engine.registerTransaction(Table::PollStep, 1, alarms),
                                       rig.engine.registerTransaction(Table::PollStep, 2, coils2),
                                       rig.engine.registerTransaction(Table::PollStep, 3, alarms2)};
        if (watched) {
            rig.engine.addObserver(log);
        }
        rig.driver.showPage(1);
        for (int cycle = 0; cycle < 3; ++cycle) {
            rig.driver.runUntil([&] { return rig.port.writes().size() > 4u * cycle; }, 400);
            rig.port.feed(fromHex("FF"));               // noise before the reply
            rig.port.feed(replyFrom("01 01 02 13 00")); // good for coils, wrong header after
            rig.port.arriveAt(rig.port.tick() + 40, Bytes(1500, 0x55)); // a burst to purge
            rig.driver.run(150);
        }
        rig.driver.showPage(0);
        rig.driver.run(3);
        EXPECT_EQ(log.entries().empty(), !watched);
        return std::pair{rig.port.operations(), rig.port.writes().size()};
    };
    const auto plain = run(false);
    const auto watched = run(true);
    EXPECT_GT(plain.second, 4u);
    EXPECT_EQ(watched.second, plain.second);
    EXPECT_TRUE(watched.first == plain.first);
}

} // namespace
