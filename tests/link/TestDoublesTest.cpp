// The shared test doubles behave like the things they stand for; every area's tests rely on it.
#include "support/EngineDriver.h"
#include "support/FakeEngineWindow.h"
#include "support/FakeSerialPort.h"
#include "support/FrameHex.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace climate::link;

namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(FakeSerialPort, ClosedPortFailsEveryOperationWithoutEffect) {
    FakeSerialPort port;
    std::uint8_t buffer[8]{};
    port.feed(fromHex("01 02"));
    EXPECT_EQ(port.bytesWaiting(), 0u);
    EXPECT_EQ(port.read(buffer, 8), 0u);
    port.write(buffer, 8);
    port.purgeInput();
    EXPECT_FALSE(port.applyLineSettings(9600, 8));
    EXPECT_TRUE(port.operations().empty());
    EXPECT_EQ(port.ignoredCalls(), 4);
    EXPECT_EQ(port.droppedBytes(), 2u);
}

TEST(FakeSerialPort, BytesArriveAtTheirTickAndReadsTakeOnlyWhatWaits) {
    FakeSerialPort port;
    port.setOpen(true);
    port.arriveAt(2, fromHex("01 02 03"));
    port.advanceTick();
    EXPECT_EQ(port.bytesWaiting(), 0u);
    port.advanceTick();
    EXPECT_EQ(port.bytesWaiting(), 3u);
    std::uint8_t buffer[8]{};
    EXPECT_EQ(port.read(buffer, 8), 3u);
    EXPECT_EQ(toHex(Bytes(buffer, buffer + 3)), "01 02 03");
    ASSERT_EQ(port.reads().size(), 1u);
    EXPECT_EQ(port.reads()[0].tick, 2);
}

TEST(FakeSerialPort, PurgeDropsWhatWaitsButNotWhatIsStillToCome) {
    FakeSerialPort port;
    port.setOpen(true);
    port.feed(fromHex("AA BB"));
    port.arriveAt(1, fromHex("CC"));
    port.purgeInput();
    EXPECT_EQ(port.waiting(), 0u);
    port.advanceTick();
    EXPECT_EQ(port.waiting(), 1u);
    EXPECT_EQ(port.purges(), std::vector<int>{0});
}

TEST(FakeSerialPort, ScriptedOpenFailuresRefusalsAndLoss) {
    FakeSerialPort port;
    port.setOpenResult(SerialPort::OpenError::InUse);
    EXPECT_EQ(port.open("ttyUSB0"), SerialPort::OpenError::InUse);
    EXPECT_FALSE(port.isOpen());
    port.setOpenResult(SerialPort::OpenError::None);
    EXPECT_EQ(port.open("ttyUSB1"), SerialPort::OpenError::None);
    EXPECT_EQ(port.openedNames(), (std::vector<std::string>{"ttyUSB0", "ttyUSB1"}));

    EXPECT_FALSE(port.applyLineSettings(9600, 4)) << "a driver refuses 4 data bits";
    EXPECT_TRUE(port.applyLineSettings(9600, 8));
    port.refuseLineSettings(true);
    EXPECT_FALSE(port.applyLineSettings(9600, 8));

    port.loseDevice();
    EXPECT_TRUE(port.isOpen());
    const std::uint8_t byte = 1;
    port.write(&byte, 1);
    EXPECT_TRUE(port.writes().empty());
    port.close();
    EXPECT_FALSE(port.isLost());
}

TEST(FakeEngineWindow, SameIntervalKeepsTheCountdownAnotherRestartsIt) {
    FakeEngineWindow window;
    window.setEngineInterval(10);
    window.setEngineInterval(300);
    window.setEngineInterval(300);
    window.setEngineInterval(10);
    EXPECT_EQ(window.intervalRequests(), (std::vector<int>{10, 300, 300, 10}));
    EXPECT_EQ(window.intervalRestarts(), (std::vector<int>{300, 10}));
    EXPECT_EQ(window.engineInterval(), 10);
}

TEST(FakeEngineWindow, BoxesStayOpenUntilClosedAndRepeatsAreHeldBack) {
    FakeEngineWindow window;
    UserMessage logFailed("log failed", "Excel", UserMessage::Icon::Error);
    logFailed.repeatKey = "log";
    int closed = 0;
    window.show(UserMessage("Set OK", "Info"), [&] {
        ++closed;
        window.show(UserMessage("follow-up", "Info"));
    });
    window.show(logFailed, [&] { ++closed; });
    window.show(logFailed, [&] { ++closed; });
    EXPECT_EQ(window.openMessageCount(), 2);
    EXPECT_EQ(window.suppressedRepeats("log"), 1);
    EXPECT_EQ(closed, 0);

    window.closeMessage(0);
    window.closeMessage(0);
    EXPECT_EQ(closed, 1) << "onClosed runs once";
    window.closeAll();
    EXPECT_EQ(closed, 2);
    EXPECT_EQ(window.messageTexts(),
              (std::vector<std::string>{"Set OK", "log failed", "follow-up"}));
    EXPECT_EQ(window.openMessageCount(), 0);
}

TEST(FrameHex, ParsesWithOrWithoutBlanksAndRefusesJunk) {
    EXPECT_EQ(fromHex("01 0a FF"), (Bytes{0x01, 0x0A, 0xFF}));
    EXPECT_EQ(fromHex("010aFF"), (Bytes{0x01, 0x0A, 0xFF}));
    EXPECT_THROW((void)fromHex("01 0"), std::invalid_argument);
    EXPECT_THROW((void)fromHex("0 10"), std::invalid_argument);
    EXPECT_THROW((void)fromHex("0x10"), std::invalid_argument);
    EXPECT_EQ(toHex(replyFrom("01 03 00 00 00 01")), "01 03 00 00 00 01 84 0A");
}

} // namespace
