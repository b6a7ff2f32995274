// The controller search on the fake port: late replies attributed by address, exception replies
// count, the firmware read, the engine paused and resumed, Cancel and a closing port end it at
// once, and nothing but reads goes on the bus.
#include "monitor/ControllerSearch.h"
#include "FakeMonitorHost.h"
#include "support/FrameHex.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <functional>

using namespace climate::link;

namespace {

using climate::monitor::ControllerSearch;
using Bytes = std::vector<std::uint8_t>;

class ControllerSearchTest : public ::testing::Test {
protected:
    ControllerSearchTest()
        : search(host.fakePort, {[this] { host.pauseEngine(); }, [this] { host.resumeEngine(); },
                                 [this](std::span<const std::uint8_t> bytes) {
                                     return host.firmwareText(bytes);
                                 }}) {}

    // Runs the event loop until the search ends (or 10 s pass); `onWrite` sees each new request.
    void runSearch(const std::function<void(const Bytes&)>& onWrite) {
        std::size_t seen = 0;
        QElapsedTimer clock;
        clock.start();
        while (search.isRunning() && clock.elapsed() < 10000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            while (seen < host.fakePort.writes().size()) {
                onWrite(host.fakePort.writes()[seen++].bytes);
            }
        }
        ASSERT_FALSE(search.isRunning());
    }

    // A probe's address when `request` is one, else 0.
    static int probed(const Bytes& request) {
        return request.size() == 8 && request[1] == 4 && request[3] == 0 && request[5] == 1
                   ? request[0]
                   : 0;
    }

    FakeMonitorHost host;
    ControllerSearch search;
};

TEST_F(ControllerSearchTest, FindsLateAndExceptionAnswersWithFirmwareAndWritesOnlyReads) {
    QSignalSpy finished(&search, &ControllerSearch::finished);
    ASSERT_TRUE(search.start(1, 6));
    EXPECT_EQ(host.pauses, 1);

    runSearch([this](const Bytes& request) {
        switch (probed(request)) {
        case 4: { // address 3 answers only while 4 is asked, split in two chunks, behind noise
            host.fakePort.feed(fromHex("FF 00"));
            const Bytes reply = replyFrom("03 04 02 00 07");
            host.fakePort.feed(std::span(reply).first(3));
            host.fakePort.feed(std::span(reply).subspan(3));
            break;
        }
        case 5:
            host.fakePort.feed(replyFrom("05 84 02"));
            break;
        default:
            break;
        }
        if (request == withCrc(fromHex("03 04 00 0F 00 0C"))) {
            Bytes reply = fromHex("03 04 18");
            const Bytes text{'V', '2', '.', '1', '7'};
            reply.insert(reply.end(), text.begin(), text.end());
            reply.resize(27, 0);
            host.fakePort.feed(withCrc(reply));
        }
    });

    const auto found = search.found();
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].address, 3);
    EXPECT_FALSE(found[0].exception);
    EXPECT_EQ(found[0].firmware, QStringLiteral("V2.17"));
    EXPECT_EQ(found[1].address, 5);
    EXPECT_TRUE(found[1].exception);
    EXPECT_EQ(found[1].exceptionCode, 2);
    EXPECT_TRUE(found[1].firmwareDone);
    EXPECT_TRUE(found[1].firmware.isEmpty());
    EXPECT_EQ(found[1].firmwareNote, QStringLiteral("no reply"));

    ASSERT_EQ(finished.size(), 1);
    EXPECT_EQ(finished[0][0].value<ControllerSearch::End>(), ControllerSearch::End::Completed);
    EXPECT_EQ(search.probed(), 6);
    EXPECT_EQ(host.resumes, 1);
    // One probe per address in order, then the firmware reads; every request a function 4 read.
    const auto& writes = host.fakePort.writes();
    ASSERT_EQ(writes.size(), 8u);
    for (int address = 1; address <= 6; ++address) {
        EXPECT_EQ(probed(writes[address - 1].bytes), address);
    }
    for (const auto& write : writes) {
        EXPECT_EQ(write.bytes[1], 4) << toHex(write.bytes);
    }
    // The input is purged when the engine gets the port back.
    ASSERT_FALSE(host.fakePort.purges().empty());
    EXPECT_EQ(host.fakePort.operations().back().kind, FakeSerialPort::Operation::Kind::Purge);
}

TEST_F(ControllerSearchTest, CancelEndsAtOnceAndGivesThePortBack) {
    ASSERT_TRUE(search.start());
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    search.cancel();
    EXPECT_FALSE(search.isRunning());
    EXPECT_EQ(host.resumes, 1);
    const std::size_t written = host.fakePort.writes().size();
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 200) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    EXPECT_EQ(host.fakePort.writes().size(), written);
}

TEST_F(ControllerSearchTest, AClosingPortEndsItWithoutRestartingTheEngine) {
    QSignalSpy finished(&search, &ControllerSearch::finished);
    ASSERT_TRUE(search.start());
    host.fakePort.setOpen(false);
    runSearch([](const Bytes&) {});
    ASSERT_EQ(finished.size(), 1);
    EXPECT_EQ(finished[0][0].value<ControllerSearch::End>(), ControllerSearch::End::PortClosed);
    EXPECT_EQ(host.resumes, 0);
}

TEST_F(ControllerSearchTest, DoesNotStartOnAClosedPortOrTwice) {
    host.fakePort.setOpen(false);
    EXPECT_FALSE(search.start());
    EXPECT_EQ(host.pauses, 0);
    host.fakePort.setOpen(true);
    ASSERT_TRUE(search.start());
    EXPECT_FALSE(search.start());
    EXPECT_EQ(host.pauses, 1);
    search.cancel();
}

} // namespace
