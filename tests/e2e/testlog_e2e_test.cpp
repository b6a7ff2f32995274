// Polling the simulator writes test-log rows that hold the simulator's values, read back from the
// workbook by a real reader (xlrd).
#include "WindowOnSimulator.h"

#include "realtime/RealTimeMonitor.h"
#include "report/TestLog.h"
#include "support/EventLoopWait.h"
#include "support/HostProgram.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTabWidget>

#include <map>
#include <utility>

using namespace climate::report;

namespace {

class TestLogE2eTest : public WindowOnSimulator {};

TEST_F(TestLogE2eTest, PollingWritesRowsWithTheSimulatorsValues) {
    ASSERT_TRUE(sim.commandOk(QStringLiteral("model off")));
    const std::pair<int, int> inputs[] = {
        {0, 1450},  {1, 1460}, {2, 1700}, {3, 1710}, {4, 65436}, // -10.0 degC
        {5, 253},                                                // 25.3 degC
        {7, 65535}, // a negative compressor speed is recorded as 0
        {10, 12},   // 1.2 A
    };
    for (const auto& [reg, value] : inputs) {
        ASSERT_TRUE(sim.commandOk(QStringLiteral("set ir %1 %2").arg(reg).arg(value)));
    }
    child<QTabWidget>("Data")->setCurrentIndex(1);

    // The test shortens the log's interval: every measurements reply is due for a row.
    TestLog& log = form->testLog();
    ASSERT_TRUE(spinUntil(
        [&] {
            form->realTime().setLogTickCount(100);
            return log.state().LogRow >= 7; // rows 4, 5 and 6 written
        },
        20000))
        << messages->describe();
    ASSERT_TRUE(log.flush());
    EXPECT_TRUE(messages->shown().empty()) << messages->describe();

    const HostRun reader =
        runHostProgram(QStringLiteral(PYTHON_WITH_XLRD),
                       {QStringLiteral(XLS_DUMP_SCRIPT),
                        hostPath(QString::fromStdString(log.state().LogFilePath))});
    ASSERT_TRUE(reader.finished) << reader.errors.toStdString();
    ASSERT_EQ(reader.exitCode, 0) << reader.errors.toStdString();
    const QJsonObject book = QJsonDocument::fromJson(reader.output).object();
    EXPECT_EQ(book.value(QStringLiteral("complaints")).toString(), QString());
    const QJsonArray cells = book.value(QStringLiteral("sheets"))
                                 .toArray()
                                 .first()
                                 .toObject()
                                 .value(QStringLiteral("cells"))
                                 .toArray();
    std::map<std::pair<int, int>, QJsonValue> at;
    for (const QJsonValue& cell : cells) {
        const QJsonArray c = cell.toArray();
        at[{c[0].toInt(), c[1].toInt()}] = c[3];
    }
    const auto cell = [&](int row, int column) { return at[{row, column}]; };

    for (int record = 1; record <= 3; ++record) {
        const int row = 2 + record; // record 1 stands in row 4 (index 3)
        SCOPED_TRACE(record);
        EXPECT_EQ(cell(row, 0).toDouble(), record);
        const QString time = cell(row, 1).toString();
        EXPECT_EQ(time.size(), 14) << time.toStdString();
        EXPECT_TRUE(time.startsWith(QStringLiteral("20"))) << time.toStdString();
        EXPECT_EQ(cell(row, 2).toDouble(), 1450);
        EXPECT_EQ(cell(row, 3).toDouble(), 1460);
        EXPECT_EQ(cell(row, 4).toDouble(), 1700);
        EXPECT_EQ(cell(row, 5).toDouble(), 1710);
        EXPECT_DOUBLE_EQ(cell(row, 6).toDouble(), -10.0);
        EXPECT_DOUBLE_EQ(cell(row, 7).toDouble(), 25.3);
        EXPECT_EQ(cell(row, 8).toDouble(), 0);
        EXPECT_EQ(cell(row, 9).toDouble(), 0);
        EXPECT_DOUBLE_EQ(cell(row, 10).toDouble(), 1.2);
    }
    EXPECT_EQ(cell(2, 0).toString(), QStringLiteral("Number"));
    EXPECT_EQ(cell(0, 1).toString(), QStringLiteral("Test Data"));
}

} // namespace
