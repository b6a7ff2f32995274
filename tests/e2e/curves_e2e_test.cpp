// The Declaration page against the controller simulator: both Draw buttons read their fan group
// over the pseudo-terminal and plot the curve of the registers the simulator holds.
#include "app/PortComboBox.h"
#include "app/TForm1.h"
#include "curves/FanCurveParameters.h"
#include "curves/FanCurvePoints.h"
#include "link/CommEngine.h"
#include "link/UserMessage.h"
#include "support/SimulatorProcess.h"
#include "widgets/XYPlot.h"

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace {

void ensureApplication() {
    static int argc = 1;
    static char name[] = "curves_e2e_test";
    static char* argv[] = {name, nullptr};
    if (QApplication::instance() == nullptr) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        static QApplication application(argc, argv);
    }
}

// Keeps the boxes the window shows instead of opening them.
class MessageLog : public MessagePresenter {
public:
    void show(const UserMessage& message, std::function<void()> /*onClosed*/) override {
        texts.push_back(message.text + " / " + message.caption + " " + message.details);
    }
    std::vector<std::string> texts;
};

std::vector<std::array<double, 2>> exactPoints(const QList<QPointF>& points) {
    std::vector<std::array<double, 2>> exact;
    for (const QPointF& point : points) {
        exact.push_back({point.x(), point.y()});
    }
    return exact;
}

class CurvesE2eTest : public testing::Test {
protected:
    void SetUp() override {
        ensureApplication();
        // The window keeps its test log under the current folder.
        ASSERT_TRUE(workFolder.isValid());
        previousFolder = QDir::currentPath();
        QDir::setCurrent(workFolder.path());
        ASSERT_TRUE(sim.start()) << sim.diagnostics().toStdString();

        auto log = std::make_unique<MessageLog>();
        messages = log.get();
        form = std::make_unique<TForm1>(QStringList{sim.linkPath()}, std::move(log), [](int) {});
        plot = form->findChild<XYPlot*>(QStringLiteral("iXYPlot1"));
        ASSERT_NE(plot, nullptr);

        auto* ports = form->findChild<PortComboBox*>(QStringLiteral("rdCOM"));
        ASSERT_NE(ports, nullptr);
        // The port list folds typed text to upper case (COM names); the simulator's temporary
        // path must keep its case to stay a selection.
        ports->setValidator(nullptr);
        const int index = ports->findText(sim.linkPath());
        ASSERT_GE(index, 0);
        ports->setCurrentIndex(index);
        button("Button1")->click();
        ASSERT_EQ(button("Button1")->text(), QStringLiteral("Close")) << firstMessage();
        form->findChild<QTabWidget*>(QStringLiteral("Data"))->setCurrentIndex(2);
    }

    void TearDown() override {
        form.reset();
        sim.stop();
        QDir::setCurrent(previousFolder);
    }

    QPushButton* button(const char* name) {
        return form->findChild<QPushButton*>(QString::fromLatin1(name));
    }
    [[nodiscard]] std::string firstMessage() const {
        return messages->texts.empty() ? std::string() : messages->texts.front();
    }
    // Clicks a Draw button and waits until the engine has ended the read.
    bool drawAndWait(const char* name) {
        button(name)->click();
        if (form->engine().state().CommandBusy != 1) {
            return false;
        }
        return QTest::qWaitFor([this] { return form->engine().state().CommandBusy == 0; }, 5000);
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

    QTemporaryDir workFolder;
    QString previousFolder;
    SimulatorProcess sim;
    MessageLog* messages = nullptr;
    std::unique_ptr<TForm1> form;
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
    EXPECT_TRUE(messages->texts.empty()) << firstMessage();
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
    EXPECT_TRUE(messages->texts.empty()) << firstMessage();
}

} // namespace
