// The Declaration page against the controller simulator: both Draw buttons read their fan group
// over the pseudo-terminal and plot the curve of the registers the simulator holds.
#include "WindowOnSimulator.h"

#include "curves/FanCurveParameters.h"
#include "curves/FanCurvePoints.h"
#include "link/CommEngine.h"
#include "widgets/XYPlot.h"

#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

using namespace climate::curves;
using namespace climate::widgets;

namespace {

std::vector<std::array<double, 2>> exactPoints(const QList<QPointF>& points) {
    std::vector<std::array<double, 2>> exact;
    for (const QPointF& point : points) {
        exact.push_back({point.x(), point.y()});
    }
    return exact;
}

class CurvesE2eTest : public WindowOnSimulator {
protected:
    void SetUp() override {
        WindowOnSimulator::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        plot = child<XYPlot>("iXYPlot1");
        ASSERT_NE(plot, nullptr);
        child<QTabWidget>("Data")->setCurrentIndex(2);
    }

    // Clicks a Draw button and waits until the engine has ended the read.
    bool drawAndWait(const char* name) {
        child<QPushButton>(name)->click();
        if (!form->engine().state().CommandBusy) {
            return false;
        }
        return QTest::qWaitFor([this] { return !form->engine().state().CommandBusy; }, 5000);
    }
    // The simulator's holding registers of one fan group, offsets 0 ... 7.
    FanCurveParameters simulatorGroup(int base) {
        const QString answer = sim.command(QStringLiteral("get hr %1 8").arg(base));
        const QStringList words = answer.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        std::array<std::uint16_t, FanCurveParameters::RegisterCount> registers{};
        EXPECT_EQ(words.size(), 9) << answer.toStdString();
        for (qsizetype k = 1; k < words.size() && k <= 8; ++k) {
            registers[static_cast<std::size_t>(k - 1)] = words[k].toUShort();
        }
        return FanCurveParameters::fromRegisters(registers);
    }

    XYPlot* plot = nullptr;
};

TEST_F(CurvesE2eTest, DeclarationPageDrawsBothCurvesFromTheSimulatorsFanRegisters) {
    // External fans at an odd minimum speed and a stop temperature below zero.
    ASSERT_TRUE(sim.commandOk(QStringLiteral("set hr 13 1001")));
    ASSERT_TRUE(sim.commandOk(QStringLiteral("set hr 17 -200")));
    const FanCurveParameters internal = simulatorGroup(0);
    const FanCurveParameters external = simulatorGroup(11);
    ASSERT_NE(internal, FanCurveParameters{});
    ASSERT_NE(internal, external);

    ASSERT_TRUE(drawAndWait("Button16"));
    EXPECT_EQ(exactPoints(plot->points(0)), exactPoints(fanCurvePoints(internal)));
    EXPECT_EQ(plot->pointCount(1), 0);

    ASSERT_TRUE(drawAndWait("Button17"));
    const auto drawn = exactPoints(plot->points(1));
    EXPECT_EQ(drawn, exactPoints(fanCurvePoints(external)));
    ASSERT_EQ(drawn.size(), 22u);
    EXPECT_EQ(drawn[0], (std::array<double, 2>{-20.0, 1001}));
    EXPECT_EQ(drawn[2], (std::array<double, 2>{-21.0, 550})) << "arm of the downward arrowhead";
    EXPECT_EQ(exactPoints(plot->points(0)), exactPoints(fanCurvePoints(internal)))
        << "the internal curve stays";
    EXPECT_EQ(plot->channelLayer(1), 101);
    EXPECT_EQ(plot->channelLayer(0), 100);
    EXPECT_TRUE(messages->shown().empty()) << messages->describe();
}

TEST_F(CurvesE2eTest, FailedReadsLeaveTheChannelEmptyAndTheNextOneDraws) {
    // A reply from another slave ends the read at once; an unanswered one at the time-out.
    for (const char* fault : {"wrongaddress", "silent on"}) {
        ASSERT_TRUE(sim.commandOk(QString::fromLatin1(fault))) << fault;
        ASSERT_TRUE(drawAndWait("Button16")) << fault;
        EXPECT_EQ(plot->pointCount(0), 0) << fault;
        ASSERT_TRUE(sim.commandOk(QStringLiteral("clear")));

        ASSERT_TRUE(drawAndWait("Button16")) << fault;
        EXPECT_EQ(exactPoints(plot->points(0)), exactPoints(fanCurvePoints(simulatorGroup(0))))
            << fault;
    }
    EXPECT_TRUE(messages->shown().empty()) << messages->describe();
}

} // namespace
