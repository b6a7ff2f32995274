#include "curves/FanCurves.h"
#include "curves/FanCurveReads.h"
#include "curves/FanCurveParameters.h"
#include "curves/FanCurvePoints.h"

#include "link/LinkState.h"
#include "link/Page.h"
#include "support/EngineRig.h"
#include "support/EngineStaging.h"
#include "support/FakePortGate.h"
#include "support/FrameHex.h"
#include "widgets/XYPlot.h"

#include <QPushButton>

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

using namespace climate::curves;
using namespace climate::link;
using namespace climate::widgets;

namespace {

using GroupRegisters = std::array<std::uint16_t, 11>;

// Internal fans: odd MinRev 1001, StopTemp 25.3 degrees (held as the nearest single).
const GroupRegisters InternalFans{300, 2700, 1001, 50, 450, 300, 253, 50, 2, 1, 1};
// External fans: MinRev 60, StopTemp -20.0 (0xFF38).
const GroupRegisters ExternalFans{500, 3000, 60, 30, 550, 350, 0xFF38, 40, 2, 1, 0};

// A function 3 reply carrying a fan group's eleven registers.
std::vector<std::uint8_t> groupReply(const GroupRegisters& registers, std::uint8_t address = 1,
                                     std::uint8_t function = 3) {
    std::vector<std::uint8_t> bytes{address, function, 22};
    for (const std::uint16_t word : registers) {
        bytes.push_back(static_cast<std::uint8_t>(word >> 8));
        bytes.push_back(static_cast<std::uint8_t>(word & 0xFF));
    }
    return withCrc(bytes);
}

FanCurveParameters curveParameters(const GroupRegisters& registers) {
    return FanCurveParameters::fromRegisters(
        std::span<const std::uint16_t, FanCurveParameters::RegisterCount>(registers.data(), 8));
}

// Exact copies of a channel's points (QPointF compares fuzzily).
std::vector<std::array<double, 2>> exactPoints(const QList<QPointF>& points) {
    std::vector<std::array<double, 2>> exact;
    for (const QPointF& point : points) {
        exact.push_back({point.x(), point.y()});
    }
    return exact;
}

class FanCurvesTest : public testing::Test {
protected:
    FanCurvesTest() {
        plot.setChannel(0, QStringLiteral("Intfan"), QColor(255, 0, 0), 2);
        plot.setChannel(1, QStringLiteral("Extfan"), QColor(255, 255, 0), 2);
        rig.driver.showPage(Page::DeclarationPage);
        rig.port.clearRecords();
        rig.window.clearRecords();
    }

    [[nodiscard]] const EngineState& state() const { return rig.engine.state(); }
    [[nodiscard]] EngineStaging stage() { return EngineStaging(rig.engine); }
    [[nodiscard]] std::vector<std::array<double, 2>> channel(int index) const {
        return exactPoints(plot.points(index));
    }
    [[nodiscard]] std::vector<std::string> messages() const {
        std::vector<std::string> shown;
        for (const auto& box : rig.window.messages()) {
            shown.push_back(box.message.text + " / " + box.message.caption);
        }
        return shown;
    }
    void click(int button) { button == 16 ? curves.Button16Click() : curves.Button17Click(); }
    // Clicks, sends the request and lets the reply arrive for the next tick.
    void drawWithReply(int button, const std::vector<std::uint8_t>& reply) {
        click(button);
        rig.driver.tick();
        rig.port.feed(reply);
        rig.driver.tick();
    }

    EngineRig rig;
    XYPlot plot;
    FakePortGate port;
    FanCurveReads reads{rig.engine};
    FanCurves curves{rig.engine, reads, CurveView{&plot, &port}};
};

struct DrawCase {
    std::string name;
    int button;
    int channel;
    int otherChannel;
    std::uint8_t code;
    GroupRegisters registers;
    const char* request; // as sent to slave 7
    // Expected first points: the stopping edge from MinRev down to the arrowhead's apex.
    double stopTemp;
    double minRev;
    double apex;
};

void PrintTo(const DrawCase& c, std::ostream* out) {
    *out << c.name;
}

const DrawCase DrawCases[] = {
    {"DrawIntfan", 16, 0, 1, 1, InternalFans, "07 03 00 00 00 0B 04 6B", double(25.3f), 1001, 500},
    {"DrawExtfan", 17, 1, 0, 2, ExternalFans, "07 03 00 0B 00 0B 75 A9", -20.0, 60, 30},
};

class DrawButtonTest : public FanCurvesTest, public testing::WithParamInterface<DrawCase> {};

TEST_P(DrawButtonTest, ReadsTheGroupAndDrawsItsCurveOverTheOtherOne) {
    const DrawCase& c = GetParam();
    stage().deviceAddress(7);
    plot.addPoint(c.channel, 10, 10); // a stale curve of this group
    plot.addPoint(c.otherChannel, 1, 2);
    plot.addPoint(c.otherChannel, 3, 4);

    click(c.button);
    EXPECT_EQ(plot.pointCount(c.channel), 0);
    EXPECT_EQ(plot.channelLayer(c.channel), FanCurves::TopLayer);
    EXPECT_EQ(plot.channelLayer(c.otherChannel), FanCurves::LowerLayer);
    EXPECT_EQ(state().PendingCommand, c.code);
    EXPECT_TRUE(state().CommandBusy);
    EXPECT_TRUE(state().SendPending);
    EXPECT_TRUE(rig.port.writes().empty()) << "the button never touches the port";

    rig.driver.tick();
    ASSERT_EQ(rig.port.writes().size(), 1u);
    EXPECT_EQ(toHex(rig.port.writes()[0].bytes), c.request);
    EXPECT_EQ(rig.window.engineInterval(), 200);

    rig.port.feed(groupReply(c.registers, 7));
    rig.driver.tick();

    const FanCurveParameters expected = curveParameters(c.registers);
    EXPECT_EQ(c.button == 16 ? curves.internalFans() : curves.externalFans(), expected);
    EXPECT_EQ(c.button == 16 ? curves.externalFans() : curves.internalFans(), FanCurveParameters{})
        << "the other group's parameters are not touched";
    const auto drawn = channel(c.channel);
    ASSERT_EQ(drawn.size(), 22u);
    EXPECT_EQ(drawn, exactPoints(fanCurvePoints(expected)));
    EXPECT_EQ(drawn[0], (std::array<double, 2>{c.stopTemp, c.minRev}));
    EXPECT_EQ(drawn[1], (std::array<double, 2>{c.stopTemp, c.apex}));
    EXPECT_EQ(channel(c.otherChannel), (std::vector<std::array<double, 2>>{{1, 2}, {3, 4}}));

    EXPECT_FALSE(state().CommandBusy);
    EXPECT_EQ(state().PendingCommand, EngineState::NoCommand);
    EXPECT_TRUE(state().SendPending);
    EXPECT_EQ(state().LinkAliveTicks, 30);
    EXPECT_EQ(rig.link.barPosition(), climate::link::LinkState::StartPosition + 1);
    EXPECT_EQ(rig.port.purgesAt(rig.port.tick()), 1) << "the input is purged after a good read";
    EXPECT_TRUE(messages().empty()) << "a drawn curve is its own report";
}

INSTANTIATE_TEST_SUITE_P(Groups, DrawButtonTest, testing::ValuesIn(DrawCases),
                         [](const auto& testCase) { return testCase.param.name; });

TEST_F(FanCurvesTest, BothCurvesStayAndTheLatestLiesOnTop) {
    drawWithReply(16, groupReply(InternalFans));
    drawWithReply(17, groupReply(ExternalFans));

    EXPECT_EQ(channel(0), exactPoints(fanCurvePoints(curveParameters(InternalFans))));
    EXPECT_EQ(channel(1), exactPoints(fanCurvePoints(curveParameters(ExternalFans))));
    EXPECT_EQ(plot.channelLayer(1), 101);
    EXPECT_EQ(plot.channelLayer(0), 100);

    drawWithReply(16, groupReply(InternalFans));
    EXPECT_EQ(plot.channelLayer(0), 101);
    EXPECT_EQ(plot.channelLayer(1), 100);
    EXPECT_EQ(plot.pointCount(0), 22) << "a redraw replaces the curve, it does not append";
    EXPECT_EQ(plot.pointCount(1), 22);
}

TEST_F(FanCurvesTest, SecondDrawWhileAReadRunsIsRefused) {
    plot.addPoint(1, 5, 5);
    click(16);
    rig.driver.tick(); // the internal read is waiting for its reply

    click(17);
    EXPECT_EQ(messages(), std::vector<std::string>{"Systerm Busy,Please Wait / Set Intfan1!"});
    EXPECT_EQ(state().PendingCommand, 1);
    EXPECT_EQ(plot.pointCount(1), 1) << "the refused button leaves its channel alone";
    EXPECT_EQ(plot.channelLayer(0), 101);
    EXPECT_EQ(plot.channelLayer(1), 100);

    rig.port.feed(groupReply(InternalFans));
    rig.driver.tick();
    EXPECT_EQ(plot.pointCount(0), 22) << "the internal read went on";
    EXPECT_EQ(rig.port.writes().size(), 1u);
}

TEST_F(FanCurvesTest, ConfigurationCommandLeftPendingBlocksBothButtons) {
    rig.driver.showPage(Page::ConfigurationPage);
    rig.engine.postCommand(5); // ExtInput "Set", its reply never came
    rig.driver.showPage(Page::DeclarationPage);
    rig.port.clearRecords();

    click(16);
    click(17);
    rig.driver.run(3);
    EXPECT_EQ(messages(), (std::vector<std::string>{"Systerm Busy,Please Wait / Set Intfan1!",
                                                    "Systerm Busy,Please Wait / Set Intfan1!"}));
    EXPECT_EQ(state().PendingCommand, 5);
    EXPECT_TRUE(rig.port.writes().empty());
}

TEST_F(FanCurvesTest, ClosedPortRefusesBothButtons) {
    port.open = false;
    plot.addPoint(0, 1, 1);
    plot.addPoint(1, 2, 2);
    plot.setChannelLayer(0, 7);
    plot.setChannelLayer(1, 8);

    click(16);
    click(17);
    EXPECT_EQ(messages(), (std::vector<std::string>{"ComPort Not Open!! / Comm Error",
                                                    "ComPort Not Open!! / Comm Error"}));
    EXPECT_FALSE(state().CommandBusy);
    EXPECT_EQ(plot.pointCount(0), 1);
    EXPECT_EQ(plot.pointCount(1), 1);
    EXPECT_EQ(plot.channelLayer(0), 7);
    EXPECT_EQ(plot.channelLayer(1), 8);
}

struct RejectCase {
    std::string name;
    std::vector<std::uint8_t> reply;
};

void PrintTo(const RejectCase& c, std::ostream* out) {
    *out << c.name;
}

class RejectedReadTest : public FanCurvesTest, public testing::WithParamInterface<RejectCase> {};

TEST_P(RejectedReadTest, EndsAtOnceLeavingTheChannelEmpty) {
    drawWithReply(16, groupReply(InternalFans));
    stage().linkAliveTicks(0);
    const double barBefore = rig.link.barPosition();

    drawWithReply(16, GetParam().reply);
    EXPECT_FALSE(state().CommandBusy);
    EXPECT_EQ(state().PendingCommand, EngineState::NoCommand);
    EXPECT_EQ(plot.pointCount(0), 0);
    EXPECT_EQ(curves.internalFans(), curveParameters(InternalFans))
        << "the last good values are kept";
    EXPECT_EQ(state().LinkAliveTicks, 0) << "a rejected reply does not count as a sign of life";
    EXPECT_EQ(rig.link.barPosition(), barBefore);
    EXPECT_TRUE(messages().empty());
}

INSTANTIATE_TEST_SUITE_P(Replies, RejectedReadTest,
                         testing::Values(RejectCase{"OtherAddress", groupReply(ExternalFans, 2)},
                                         RejectCase{"OtherFunction",
                                                    groupReply(ExternalFans, 1, 4)}),
                         [](const auto& testCase) { return testCase.param.name; });

struct UnfinishedCase {
    std::string name;
    std::vector<std::uint8_t> reply;
};

void PrintTo(const UnfinishedCase& c, std::ostream* out) {
    *out << c.name;
}

std::vector<std::uint8_t> withBadCrc(std::vector<std::uint8_t> bytes) {
    bytes.back() ^= 0x01;
    return bytes;
}

class UnfinishedReadTest : public FanCurvesTest,
                           public testing::WithParamInterface<UnfinishedCase> {};

TEST_P(UnfinishedReadTest, EndsOnlyAtTheTimeOutLeavingTheChannelEmpty) {
    plot.addPoint(0, 1, 1);
    click(16);
    rig.driver.tick();
    rig.port.feed(GetParam().reply);

    rig.driver.run(100);
    EXPECT_TRUE(state().CommandBusy) << "still waiting after 100 receive ticks";
    rig.driver.tick();
    EXPECT_FALSE(state().CommandBusy);
    EXPECT_EQ(state().PendingCommand, EngineState::NoCommand);
    EXPECT_TRUE(state().SendPending);
    EXPECT_EQ(plot.pointCount(0), 0);
    EXPECT_EQ(curves.internalFans(), FanCurveParameters{});
    EXPECT_EQ(state().LinkAliveTicks, 0);
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(rig.port.writes().size(), 1u) << "nothing is retried";
}

INSTANTIATE_TEST_SUITE_P(Replies, UnfinishedReadTest,
                         testing::Values(UnfinishedCase{"NoReply", {}},
                                         UnfinishedCase{"BadCrc",
                                                        withBadCrc(groupReply(InternalFans))},
                                         UnfinishedCase{"ExceptionReply", replyFrom("01 83 02")}),
                         [](const auto& testCase) { return testCase.param.name; });

TEST_F(FanCurvesTest, FirstTickAfterSwitchingPagesSendsNothing) {
    rig.driver.showPage(Page::RealTimeDataPage);
    click(16);
    rig.window.setVisiblePage(Page::DeclarationPage);
    rig.port.clearRecords();

    rig.driver.tick();
    EXPECT_TRUE(rig.port.writes().empty());
    EXPECT_EQ(rig.port.purges().size(), 1u);
    EXPECT_TRUE(state().CommandBusy) << "the read stays posted";

    rig.driver.tick();
    ASSERT_EQ(rig.port.writes().size(), 1u);
    EXPECT_EQ(toHex(rig.port.writes()[0].bytes), "01 03 00 00 00 0B 04 0D");
}

} // namespace
