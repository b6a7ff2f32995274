// A file is written whole or not at all, and a failure says so, also when the disk fills during
// the last buffered write (where QSaveFile's commit alone reports success over a cut file).
#include "link/SaveWhole.h"
#include "support/FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

using climate::link::saveWhole;

namespace {

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(SaveWhole, WritesEveryByteOrLeavesTheOldFileAlone) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("unit.json"));
    const QByteArray old(100, 'o');
    ASSERT_TRUE(saveWhole(path, old));
    ASSERT_EQ(contentOf(path), old);

    const QByteArray big(64 * 1024, 'n'); // more than Qt buffers before writing
    const QByteArray small(4000, 's');    // all of it still in Qt's buffer at commit
    for (const QByteArray& bytes : {big, small}) {
        SCOPED_TRACE(bytes.size());
        if (!FileSizeLimit::available()) {
            GTEST_SKIP() << "no way to fill the disk here";
        }
        QString error;
        {
            const FileSizeLimit fullDisk(1024);
            EXPECT_FALSE(saveWhole(path, bytes, &error));
        }
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(contentOf(path), old);
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files),
                  QStringList{QStringLiteral("unit.json")})
            << "no temporary file is left behind";
    }

    QString error;
    EXPECT_FALSE(saveWhole(folder.filePath(QStringLiteral("gone/unit.json")), old, &error));
    EXPECT_FALSE(error.isEmpty());

    ASSERT_TRUE(saveWhole(path, small, &error)) << error.toStdString();
    EXPECT_EQ(contentOf(path), small);
}

} // namespace
