// The Trend window's own paths: following the clock, pausing, a log opened and a damaged one
// refused with one message, the exports, and what the readout and the description tell.
#include "trend/TrendWindow.h"
#include "trend/TrendChart.h"
#include "trend/TrendCsv.h"
#include "trend/TrendHistory.h"

#include <QCheckBox>
#include <QDateTime>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <stdexcept>

using namespace climate::trend;

namespace {

class TrendWindowFixture : public ::testing::Test {
protected:
    TrendWindowFixture() {
        window.setClock([this] { return now; });
        addRow(now - 2000, 25.3f);
        addRow(now - 800, 25.4f);
    }
    void addRow(std::int64_t ms, float temperature) {
        TrendRow row = TrendRow::gap(ms);
        row.values[static_cast<std::size_t>(Channel::Temperature1)] = temperature;
        row.values[static_cast<std::size_t>(Channel::SupplyVoltage)] = 48.0f;
        live.append(row);
    }
    int openBoxes() const {
        int count = 0;
        for (QMessageBox* box : window.findChildren<QMessageBox*>()) {
            count += box->isVisible() ? 1 : 0;
        }
        return count;
    }

    std::int64_t now = 1796949822000;
    TrendHistory live;
    TrendWindow window{live};
};

TEST_F(TrendWindowFixture, FollowsTheClockUntilPaused) {
    EXPECT_EQ(window.chart()->toMs(), double(now));
    EXPECT_EQ(window.chart()->toMs() - window.chart()->fromMs(), double(TrendWindow::FiveMinutes));
    now += 60000;
    addRow(now, 26.0f);
    EXPECT_EQ(window.chart()->toMs(), double(now));

    window.setPaused(true);
    const double frozen = window.chart()->toMs();
    now += 60000;
    addRow(now, 27.0f);
    EXPECT_EQ(window.chart()->toMs(), frozen);

    window.setSpan(TrendWindow::TwoHours); // choosing a span follows again
    EXPECT_FALSE(window.paused());
    EXPECT_EQ(window.chart()->toMs(), double(now));
    EXPECT_EQ(window.chart()->toMs() - window.chart()->fromMs(), double(TrendWindow::TwoHours));
}

TEST_F(TrendWindowFixture, ReadoutAndDescriptionTellTheValuesOfTheShownChannels) {
    const QStringList lines = window.readoutText().split(QLatin1Char('\n'));
    EXPECT_TRUE(lines.front().startsWith(QStringLiteral("Latest: ")));
    EXPECT_TRUE(lines.contains(QStringLiteral("Temperature 1: 25.4 °C")));
    EXPECT_TRUE(lines.contains(QStringLiteral("Internal fan 1: —")));
    const QString description = window.chart()->accessibleDescription();
    EXPECT_TRUE(description.startsWith(QStringLiteral("Span: last 5 min. Latest values at ")))
        << description.toStdString();
    EXPECT_TRUE(
        description.contains(QStringLiteral("Temperature 1 25.4 °C, Supply voltage 48.0 V")))
        << description.toStdString();

    // Unchecking a channel takes it off the chart, the readout and the description.
    auto* box = window.findChild<QCheckBox*>(
        QStringLiteral("TrendChannel%1").arg(static_cast<int>(Channel::Temperature1)));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), QStringLiteral("Temperature 1 (°C)"));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTest::mouseClick(box, Qt::LeftButton);
    EXPECT_FALSE(box->isChecked());
    EXPECT_FALSE(window.chart()->channelShown(static_cast<std::size_t>(Channel::Temperature1)));
    EXPECT_FALSE(window.readoutText().contains(QStringLiteral("Temperature 1")));
    EXPECT_FALSE(window.chart()->accessibleDescription().contains(QStringLiteral("Temperature 1")));
}

// An alarm mark near the cursor is read out with it; one farther away is not.
TEST_F(TrendWindowFixture, AlarmMarksNearTheCursorAreReadOut) {
    live.addAlarmRise({now - 1500, 10}); // the heater
    live.addAlarmRise({now - 60000, 0});
    window.resize(1200, 700);
    window.setPaused(true);
    window.chart()->setCursorMs(now - 1400);
    const QStringList lines = window.readoutText().split(QLatin1Char('\n'));
    EXPECT_TRUE(lines.contains(
        QStringLiteral("Alarm: Heater at ") +
        QDateTime::fromMSecsSinceEpoch(now - 1500).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))))
        << window.readoutText().toStdString();
    EXPECT_FALSE(window.readoutText().contains(QStringLiteral("Internal fan 1 at")));
}

TEST_F(TrendWindowFixture, ALogIsShownWholeAndLiveComesBack) {
    window.setLogOpener([](const QString&, TrendHistory& into) {
        TrendRow row = TrendRow::gap(1000000);
        row.values[0] = 20;
        into.append(row);
        row.ms = 4600000;
        into.append(row);
    });
    ASSERT_TRUE(window.openLog(QStringLiteral("/logs/TestData20261211000000.xls")));
    EXPECT_EQ(&window.shownHistory(), &window.shownHistory());
    EXPECT_NE(&window.shownHistory(), &live);
    EXPECT_EQ(window.span(), TrendWindow::Everything);
    EXPECT_EQ(window.chart()->fromMs(), 1000000);
    EXPECT_EQ(window.chart()->toMs(), 4600000);
    now += 5000;
    addRow(now, 30.0f); // live samples go on arriving without moving the log's view
    EXPECT_EQ(window.chart()->toMs(), 4600000);

    window.showLive();
    EXPECT_EQ(&window.shownHistory(), &live);
    EXPECT_EQ(window.chart()->toMs(), double(now));
}

TEST_F(TrendWindowFixture, ADamagedLogGivesOneMessageAndKeepsTheView) {
    window.setLogOpener([](const QString&, TrendHistory& into) {
        TrendRow row;
        into.append(row); // a half-read log must not be shown
        throw std::runtime_error("A record runs past the end of the workbook stream: the file is "
                                 "truncated.");
    });
    EXPECT_FALSE(window.openLog(QStringLiteral("/logs/broken.xls")));
    EXPECT_EQ(window.lastError(),
              QStringLiteral("broken.xls cannot be opened as a test log.\nA record runs past the "
                             "end of the workbook stream: the file is truncated."));
    EXPECT_EQ(openBoxes(), 1);
    EXPECT_EQ(&window.shownHistory(), &live);
}

TEST_F(TrendWindowFixture, ExportsWriteTheChartAndTheSamples) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    window.resize(1000, 600);
    const QString csv = folder.filePath(QStringLiteral("trend.csv"));
    ASSERT_TRUE(window.exportCsv(csv));
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(file.readAll()), trendCsv(live.rows()));

    const QString png = folder.filePath(QStringLiteral("trend.png"));
    ASSERT_TRUE(window.exportPng(png));
    QImage image(png);
    EXPECT_EQ(image.size(), window.chart()->size());

    EXPECT_FALSE(window.exportCsv(folder.filePath(QStringLiteral("missing/trend.csv"))));
    EXPECT_TRUE(window.lastError().startsWith(QStringLiteral("The samples could not be written")));
    EXPECT_EQ(openBoxes(), 1);
}

} // namespace
