// The record files of climate-cli: named by time, tag and command, never written over another.
#include "cli/RunRecord.h"

#include "support/FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTimeZone>

#include <gtest/gtest.h>

using namespace climate::cli;

namespace {

TEST(RunRecord, TheNameHoldsTheTimeInUtcAndTheTagMadeSafe) {
    const QDateTime started(QDate(2026, 12, 11), QTime(1, 2, 3, 45), QTimeZone(3600));
    EXPECT_EQ(recordFileName(started, QStringLiteral(" SN 12/34:5*\"x "), QStringLiteral("write")),
              QStringLiteral("20261211T000203.045Z_SN_12_34_5__x_write.json"));
    EXPECT_EQ(recordFileName(started, QString(), QStringLiteral("verify")),
              QStringLiteral("20261211T000203.045Z_verify.json"));
}

TEST(RunRecord, ARecordNeverReplacesAnother) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString inside = QDir(folder.path()).filePath(QStringLiteral("new/records"));
    QString problem;
    const QString first = writeRecordFile(inside, QStringLiteral("a_write.json"),
                                          QJsonObject{{QStringLiteral("n"), 1}}, problem);
    const QString second = writeRecordFile(inside, QStringLiteral("a_write.json"),
                                           QJsonObject{{QStringLiteral("n"), 2}}, problem);
    ASSERT_FALSE(first.isEmpty()) << problem.toStdString();
    ASSERT_FALSE(second.isEmpty()) << problem.toStdString();
    EXPECT_NE(first, second);
    for (const auto& [path, n] : {std::pair{first, 1}, std::pair{second, 2}}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(
            QJsonDocument::fromJson(file.readAll()).object().value(QStringLiteral("n")).toInt(), n);
    }
    EXPECT_FALSE(recordFolderProblem(QStringLiteral("/proc/no/records")).isEmpty());
}

// A record that cannot be written leaves nothing behind: no half file a line's software could
// take for a record.
TEST(RunRecord, ARecordThatCannotBeWrittenLeavesNoFileAndAReason) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QJsonObject record{{QStringLiteral("text"), QString(400, QLatin1Char('x'))}};
    QString problem;
    if (FileSizeLimit::available()) {
        const QString records = folder.filePath(QStringLiteral("full"));
        ASSERT_TRUE(QDir().mkpath(records));
        {
            const FileSizeLimit fullDisk(100);
            EXPECT_TRUE(writeRecordFile(records, QStringLiteral("a_write.json"), record, problem)
                            .isEmpty());
        }
        EXPECT_TRUE(problem.contains(QLatin1String("a_write.json"))) << problem.toStdString();
        EXPECT_EQ(QDir(records).entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    // The folder was replaced by a file: it can be made neither.
    const QString gone = folder.filePath(QStringLiteral("gone"));
    QFile blocker(gone);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    problem.clear();
    EXPECT_TRUE(writeRecordFile(gone, QStringLiteral("a_write.json"), record, problem).isEmpty());
    EXPECT_FALSE(problem.isEmpty());
}

} // namespace
