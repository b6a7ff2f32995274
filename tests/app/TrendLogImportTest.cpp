// A test log of the tool's own opens as a chart: each record at its local time with the channels
// the log keeps (the others stay empty), and a break where polling had stopped for a while.
#include "app/TrendLogImport.h"

#include "report/TestLog.h"
#include "report/WorkbookReader.h"
#include "support/RecordingPresenter.h"
#include "trend/TrendHistory.h"

#include <QDateTime>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace climate;
using namespace climate::trend;

namespace {

TEST(TrendLogImport, ALogOfTheToolOpensAsAChart) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    RecordingPresenter presenter;
    // Records at 09:00:01, :16, :31, then polling stopped; the fourth at 09:05:00.
    const report::LocalDateTime times[] = {{2026, 12, 11, 9, 0, 0},
                                           {2026, 12, 11, 9, 0, 1},
                                           {2026, 12, 11, 9, 0, 16},
                                           {2026, 12, 11, 9, 0, 31},
                                           {2026, 12, 11, 9, 5, 0}};
    int tick = 0;
    report::TestLogOptions options;
    options.baseFolder = folder.path().toStdString();
    options.clock = [&] { return times[tick++]; };
    std::string path;
    {
        report::TestLog log(presenter, options);
        for (int n = 0; n < 4; ++n) {
            log.WriteLogRecord(
                realtime::TestLogRow{double(1200u + n), 1300, 2400, 2500, 25.5, -3.5, 2800, 1.5});
        }
        ASSERT_TRUE(log.flush());
        path = log.state().LogFilePath;
    }

    TrendHistory history;
    app::importTestLog(QString::fromStdString(path), history);
    const auto rows = history.rows();
    ASSERT_EQ(rows.size(), 5u) << "four records and the break before the last";
    const auto msAt = [](int minute, int second) {
        return QDateTime(QDate(2026, 12, 11), QTime(9, minute, second)).toMSecsSinceEpoch();
    };
    EXPECT_EQ(rows[0].ms, msAt(0, 1));
    EXPECT_EQ(rows[2].ms, msAt(0, 31));
    EXPECT_TRUE(rows[3].isGap());
    EXPECT_EQ(rows[4].ms, msAt(5, 0));
    const auto at = [&](std::size_t row, Channel c) {
        return rows[row].values[static_cast<std::size_t>(c)];
    };
    EXPECT_EQ(at(4, Channel::InternalFan1), 1203.0f);
    EXPECT_EQ(at(0, Channel::ExternalFan2), 2500.0f);
    EXPECT_EQ(at(0, Channel::Temperature1), 25.5f);
    EXPECT_EQ(at(0, Channel::Temperature2), -3.5f);
    EXPECT_EQ(at(0, Channel::CompressorSpeed), 2800.0f);
    EXPECT_EQ(at(0, Channel::HeaterCurrent), 1.5f);
    EXPECT_FALSE(rows[0].has(static_cast<std::size_t>(Channel::SupplyVoltage)))
        << "the log does not keep the voltage";
    EXPECT_FALSE(rows[0].has(static_cast<std::size_t>(Channel::Temperature3)));

    history.appendGap(0);
    EXPECT_THROW(app::importTestLog(folder.filePath(QStringLiteral("none.xls")), history),
                 report::WorkbookReadError);
}

} // namespace
