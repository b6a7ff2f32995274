// The monitor's log: entries and counters for an exchange, the bound, clear against reset, the
// reply time, the table model's batched rows, and the CSV read back by Python's csv module.
#include "monitor/BusLog.h"
#include "monitor/BusLogExport.h"
#include "monitor/BusLogTableModel.h"
#include "support/FrameHex.h"
#include "support/HostProgram.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

using namespace climate::link;

namespace {

using namespace climate::monitor;
using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;
using Id = EngineObserver::TransactionId;
using Outcome = EngineObserver::Outcome;
using Direction = BusEntry::Direction;
using Severity = BusEntry::Severity;

// A log on a clock the test moves.
struct ClockedLog {
    ClockedLog() : log(BusLog::DefaultCapacity, clocks()) {}
    BusLogTime clocks() {
        BusLogTime time;
        time.steady = [this] { return now; };
        time.wall = [this] {
            return QDateTime(QDate(2026, 12, 10), QTime(9, 30))
                .addMSecs(
                    std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch())
                        .count());
        };
        return time;
    }
    TransportDetails::Clock::time_point now{};
    BusLog log;
};

const Id PollStatus{1, Id::Kind::PollStep, 0};
const Id PollCompressor{1, Id::Kind::PollStep, 2};
const Id CalibrationSet{0, Id::Kind::Command, 4};

TEST(BusLog, AnExchangeGivesOneLinePerEventAndOneOutcome) {
    ClockedLog clocked;
    BusLog& log = clocked.log;
    const Bytes request = withCrc(fromHex("01 03 00 29 00 03"));
    const Bytes reply = replyFrom("01 03 06 01 2C 00 32 11 94");

    clocked.now += 1s;
    log.requestSent(PollCompressor, request);
    clocked.now += 300ms;
    log.bytesReceived(PollCompressor, std::span(reply).first(4), {});
    clocked.now += 10ms;
    log.bytesReceived(PollCompressor, std::span(reply).subspan(4), {});
    log.bytesPurged(3, EngineObserver::PurgeReason::AfterReply);
    log.transactionEnded(PollCompressor, Outcome::Good);

    const auto& entries = log.entries();
    ASSERT_EQ(entries.size(), 5u);
    EXPECT_EQ(entries[0].direction, Direction::Sent);
    EXPECT_EQ(entries[0].msSinceStart, 1000);
    EXPECT_EQ(log.wallClock(entries[0]).time(), QTime(9, 30, 1));
    EXPECT_EQ(entries[0].meaning.toStdString(),
              "poll 2 (compressor settings): addr 1 fn 3 read holding registers 41–43 (3) "
              "(compressor settings)");
    EXPECT_EQ(toHex(Bytes(entries[0].bytes.begin(), entries[0].bytes.end())), toHex(request));

    EXPECT_EQ(entries[1].direction, Direction::Received);
    EXPECT_EQ(entries[1].meaning.toStdString(), "partial reply (4 of 11 bytes)");
    ASSERT_TRUE(entries[1].replyMs.has_value());
    EXPECT_DOUBLE_EQ(*entries[1].replyMs, 300.0); // no port stamps: request to the reading tick
    EXPECT_EQ(entries[2].meaning.toStdString(),
              "addr 1 fn 3 3 holding registers 41–43: 300, 50, 4500");
    EXPECT_FALSE(entries[2].replyMs.has_value()); // one reply time per transaction
    EXPECT_EQ(entries[2].severity, Severity::Normal);

    EXPECT_EQ(entries[3].direction, Direction::Purged);
    EXPECT_EQ(entries[3].severity, Severity::Warning);
    EXPECT_EQ(entries[4].direction, Direction::Outcome);
    EXPECT_EQ(entries[4].outcome.toStdString(), "good reply");
    EXPECT_EQ(entries[4].severity, Severity::Normal);

    const BusCounters& c = log.counters();
    EXPECT_EQ(c.requests, 1u);
    EXPECT_EQ(c.goodReplies, 1u);
    EXPECT_EQ(c.bytesPurged, 3u);
    EXPECT_EQ(c.replyTimes, 1u);
    EXPECT_DOUBLE_EQ(c.replyMsMean(), 300.0);
}

TEST(BusLog, ExceptionBytesAreLabelledAndCountedOnceWhileTheEngineTimesOut) {
    ClockedLog clocked;
    BusLog& log = clocked.log;
    log.requestSent(CalibrationSet,
                    withCrc(fromHex("01 10 00 21 00 04 08 00 01 00 02 00 03 00 04")));
    const Bytes exception = replyFrom("01 90 02");
    log.bytesReceived(CalibrationSet, std::span(exception).first(2), {});
    log.bytesReceived(CalibrationSet, std::span(exception).subspan(2), {});
    log.bytesReceived(CalibrationSet, fromHex("00"), {}); // a stray byte after it
    log.transactionEnded(CalibrationSet, Outcome::Timeout);

    const auto& entries = log.entries();
    ASSERT_EQ(entries.size(), 5u);
    EXPECT_EQ(entries[1].meaning.toStdString(), "partial exception reply (2 of 5 bytes)");
    EXPECT_EQ(entries[2].meaning.toStdString(),
              "addr 1 exception 2 (illegal data address) to fn 16");
    EXPECT_EQ(entries[2].outcome.toStdString(), "exception 2");
    EXPECT_EQ(entries[2].severity, Severity::Warning);
    EXPECT_EQ(entries[4].outcome.toStdString(), "time-out after an exception reply");
    EXPECT_EQ(entries[4].severity, Severity::Error);
    EXPECT_EQ(entries[4].meaning.toStdString(), "Calibration Set ended");

    EXPECT_EQ(log.counters().exceptionReplies, 1u);
    EXPECT_EQ(log.counters().timeouts, 1u);
    EXPECT_EQ(log.counters().goodReplies, 0u);
}

TEST(BusLog, ABadCrcCountsOnceWhetherItEndsTheTransactionOrATimeOutDoes) {
    Bytes corrupted = replyFrom("01 01 02 13 00");
    corrupted.back() ^= 0x01;
    for (const Outcome end : {Outcome::BadCrc, Outcome::Timeout}) {
        BusLog log;
        log.requestSent(PollStatus, withCrc(fromHex("01 01 00 00 00 10")));
        log.bytesReceived(PollStatus, corrupted, {});
        log.transactionEnded(PollStatus, end);
        EXPECT_EQ(log.entries()[1].outcome.toStdString(), "bad CRC");
        EXPECT_EQ(log.entries()[1].severity, Severity::Error);
        EXPECT_EQ(log.counters().badCrc, 1u);
        EXPECT_EQ(log.counters().timeouts, end == Outcome::Timeout ? 1u : 0u);
        EXPECT_EQ(log.entries()[2].outcome.toStdString(),
                  end == Outcome::Timeout ? "time-out after a bad CRC" : "bad CRC");
    }
}

TEST(BusLog, ReplyTimeComesFromThePortStampsWhenThePortHasThem) {
    ClockedLog clocked;
    BusLog& log = clocked.log;
    const auto t0 = clocked.now;
    for (const auto& [sent, arrived] : {std::pair{2ms, 14ms}, std::pair{5ms, 45ms}}) {
        log.requestSent(PollStatus, withCrc(fromHex("01 01 00 00 00 10")));
        clocked.now += 300ms; // the engine reads at its own tick, much later
        TransportDetails transport;
        transport.requestDone = t0 + sent;
        transport.firstByte = t0 + arrived;
        log.bytesReceived(PollStatus, replyFrom("01 01 02 00 00"), transport);
        log.transactionEnded(PollStatus, Outcome::Good);
    }
    EXPECT_EQ(log.counters().replyTimes, 2u);
    EXPECT_DOUBLE_EQ(log.counters().replyMsMax, 40.0);
    EXPECT_DOUBLE_EQ(log.counters().replyMsMean(), 26.0);
}

// A network port's own framing (the MBAP header of a Modbus TCP reply) is shown with the chunk
// it came with; a serial line has none and adds nothing.
TEST(BusLog, TransportFramingIsShownWithItsChunk) {
    ClockedLog clocked;
    BusLog& log = clocked.log;
    const std::vector<std::uint8_t> header = fromHex("00 2A 00 00 00 05 01");
    for (const bool framed : {true, false}) {
        log.requestSent(PollStatus, withCrc(fromHex("01 01 00 00 00 10")));
        TransportDetails transport;
        if (framed) {
            transport.framing = header;
        }
        log.bytesReceived(PollStatus, replyFrom("01 01 02 00 00"), transport);
        log.transactionEnded(PollStatus, Outcome::Good);
        const QString meaning = log.entries()[log.entries().size() - 2].meaning;
        EXPECT_EQ(meaning.contains(QStringLiteral("[framing 00 2a 00 00 00 05 01]")), framed)
            << meaning.toStdString();
    }
}

TEST(BusLog, EveryOutcomeHasItsCounterAndErrorsStandOut) {
    struct Case {
        Outcome outcome;
        std::uint64_t BusCounters::*counter;
        const char* text;
        Severity severity;
    };
    const std::vector<Case> cases{
        {Outcome::Good, &BusCounters::goodReplies, "good reply", Severity::Normal},
        {Outcome::WrongHeader, &BusCounters::wrongHeader, "wrong header", Severity::Error},
        {Outcome::BadCrc, &BusCounters::badCrc, "bad CRC", Severity::Error},
        {Outcome::Timeout, &BusCounters::timeouts, "time-out", Severity::Error},
        {Outcome::Abandoned, &BusCounters::abandoned, "abandoned", Severity::Warning},
    };
    for (const Case& c : cases) {
        BusLog log;
        log.requestSent(PollStatus, withCrc(fromHex("01 01 00 00 00 10")));
        log.transactionEnded(PollStatus, c.outcome);
        EXPECT_EQ(log.counters().*c.counter, 1u) << c.text;
        EXPECT_EQ(log.entries().back().outcome.toStdString(), c.text);
        EXPECT_EQ(log.entries().back().severity, c.severity) << c.text;
        const BusCounters& n = log.counters();
        EXPECT_EQ(n.goodReplies + n.wrongHeader + n.badCrc + n.timeouts + n.abandoned, 1u)
            << c.text;
    }
}

TEST(BusLog, KeepsTheLastEntriesAndCountsTheDropped) {
    BusLog log;
    ASSERT_EQ(log.capacity(), 10000u);
    for (int i = 0; i < 10005; ++i) {
        log.addNote(QString::number(i));
    }
    EXPECT_EQ(log.entries().size(), 10000u);
    EXPECT_EQ(log.dropped(), 5u);
    EXPECT_EQ(log.entries().front().meaning, QStringLiteral("5"));
    EXPECT_EQ(log.firstSequence(), 5u);
    EXPECT_EQ(log.endSequence(), 10005u);
}

TEST(BusLog, ClearEmptiesTheListAndResetZeroesTheCountersNeitherTouchesTheOther) {
    BusLog log(3);
    for (int i = 0; i < 2; ++i) {
        log.requestSent(PollStatus, withCrc(fromHex("01 01 00 00 00 10")));
        log.transactionEnded(PollStatus, Outcome::Timeout);
    }
    ASSERT_EQ(log.dropped(), 1u);

    log.clear();
    EXPECT_TRUE(log.entries().empty());
    EXPECT_EQ(log.dropped(), 0u);
    EXPECT_EQ(log.counters().requests, 2u);
    EXPECT_EQ(log.counters().timeouts, 2u);

    log.addNote(QStringLiteral("kept"));
    log.reset();
    EXPECT_EQ(log.counters().requests, 0u);
    EXPECT_EQ(log.counters().timeouts, 0u);
    ASSERT_EQ(log.entries().size(), 1u);
    EXPECT_EQ(log.entries().front().meaning, QStringLiteral("kept"));
}

TEST(BusLogTableModel, RowsFollowTheLogOnlyAtRefreshAndNotWhilePaused) {
    BusLog log(4);
    BusLogTableModel model(log);
    log.addNote(QStringLiteral("a"));
    log.addNote(QStringLiteral("b"));
    EXPECT_EQ(model.rowCount(), 0); // nothing until the batch
    EXPECT_EQ(model.refresh(), 2);
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.index(1, BusLogTableModel::MeaningColumn).data().toString(),
              QStringLiteral("b"));

    // Paused: new entries wait; entries the log drops leave the view anyway.
    for (const char* text : {"c", "d", "e", "f"}) {
        log.addNote(QString::fromLatin1(text));
    }
    EXPECT_EQ(model.refresh(false), 0);
    EXPECT_EQ(model.rowCount(), 0); // a and b were dropped by the log
    EXPECT_EQ(model.pending(), 4u);
    EXPECT_EQ(model.refresh(), 4);
    EXPECT_EQ(model.index(0, BusLogTableModel::MeaningColumn).data().toString(),
              QStringLiteral("c"));

    log.clear();
    // Until the next refresh, rows whose entries are gone show nothing rather than fail.
    EXPECT_FALSE(model.index(0, BusLogTableModel::MeaningColumn).data().isValid());
    model.refresh();
    EXPECT_EQ(model.rowCount(), 0);
}

TEST(BusLogTableModel, ErrorsShowByColourAndByTextAndIcon) {
    BusLog log;
    log.requestSent(PollStatus, withCrc(fromHex("01 01 00 00 00 10")));
    log.transactionEnded(PollStatus, Outcome::Timeout);
    BusLogTableModel model(log);
    model.refresh();
    const QModelIndex outcome = model.index(1, BusLogTableModel::OutcomeColumn);
    EXPECT_EQ(outcome.data().toString(), QStringLiteral("time-out"));
    EXPECT_TRUE(outcome.data(Qt::BackgroundRole).isValid());
    EXPECT_TRUE(outcome.data(Qt::DecorationRole).isValid());
    const QModelIndex sent = model.index(0, BusLogTableModel::OutcomeColumn);
    EXPECT_FALSE(sent.data(Qt::BackgroundRole).isValid());
    EXPECT_FALSE(sent.data(Qt::DecorationRole).isValid());
}

// Python's csv module reads the file back, one line per row, fields joined by a tab.
std::vector<std::string> readCsvWithPython(const QString& path) {
    const HostRun python = runHostProgram(
        QStringLiteral(PYTHON3),
        {QStringLiteral("-c"),
         QStringLiteral("import csv,sys\n"
                        "with open(sys.argv[1], newline='', encoding='utf-8') as f:\n"
                        "    for row in csv.reader(f, strict=True):\n"
                        "        print('\\t'.join(row))\n"),
         hostPath(path)},
        20000);
    if (!python.finished || python.exitCode != 0) {
        ADD_FAILURE() << python.errors.toStdString();
        return {};
    }
    std::vector<std::string> lines;
    for (const QByteArray& line : python.output.split('\n')) {
        if (!line.isEmpty()) {
            lines.push_back(line.toStdString());
        }
    }
    return lines;
}

TEST(BusLogExport, CsvReadsBackWithEveryField) {
    ClockedLog clocked;
    BusLog& log = clocked.log;
    clocked.now += 1234ms;
    log.requestSent(PollCompressor, withCrc(fromHex("01 03 00 29 00 03")));
    clocked.now += 300ms;
    log.bytesReceived(PollCompressor, replyFrom("01 03 06 01 2C 00 32 11 94"), {});
    log.transactionEnded(PollCompressor, Outcome::Good);
    log.addNote(QStringLiteral("a \"quoted\", comma\nand a second line"));

    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("bus.csv"));
    QString error;
    ASSERT_TRUE(saveLog(log, path, ExportFormat::Csv, &error)) << error.toStdString();

    const std::vector<std::string> rows = readCsvWithPython(path);
    ASSERT_EQ(rows.size(), 6u); // the note's field holds a line break: the reader keeps it whole
    EXPECT_EQ(rows[0], "time_ms\twall_clock\tdirection\thex\tmeaning\toutcome");
    const Bytes request = withCrc(fromHex("01 03 00 29 00 03"));
    EXPECT_EQ(rows[1], "1234\t2026-12-10 09:30:01.234\tTX\t" + toHex(request) +
                           "\tpoll 2 (compressor settings): addr 1 fn 3 read holding registers "
                           "41–43 (3) (compressor settings)\t");
    EXPECT_EQ(rows[2].substr(0, 33), "1534\t2026-12-10 09:30:01.534\tRX\t0");
    EXPECT_NE(rows[2].find("\taddr 1 fn 3 3 holding registers 41–43: 300, 50, 4500\t"),
              std::string::npos);
    EXPECT_EQ(rows[3], "1534\t2026-12-10 09:30:01.534\tend\t\tpoll 2 (compressor settings) "
                       "ended\tgood reply");
    EXPECT_EQ(rows[4], "1534\t2026-12-10 09:30:01.534\tnote\t\ta \"quoted\", comma");
    EXPECT_EQ(rows[5], "and a second line\t");
}

TEST(BusLogExport, TextStartsWithTheCounters) {
    BusLog log;
    log.requestSent(PollStatus, withCrc(fromHex("01 01 00 00 00 10")));
    log.transactionEnded(PollStatus, Outcome::Timeout);
    const QString text = toText(log);
    EXPECT_TRUE(text.startsWith(QStringLiteral("Requests 1, good replies 0, time-outs 1,")));
    EXPECT_TRUE(text.contains(QStringLiteral("[time-out]")));
}

} // namespace
