// Replacing a file all at once: the old content survives a write that fails part-way.
#include "report/AtomicFile.h"
#include "TemporaryFolder.h"
#include "support/FileCreationMask.h"
#include "support/FileSizeLimit.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <iterator>
#include <system_error>

using namespace climate::report;

namespace {

std::vector<std::uint8_t> contentOf(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::uint8_t> pattern(std::size_t size, std::uint8_t seed) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<std::uint8_t>(seed + i * 13);
    }
    return bytes;
}

} // namespace

TEST(AtomicFile, ReplacesTheContentAndLeavesOnlyTheFile) {
    TemporaryFolder folder;
    const auto path = folder.path() / "TestData.xls";
    const FileCreationMask mask(022);
    AtomicFile::write(path, pattern(70000, 1));
    AtomicFile::write(path, pattern(5000, 2));

    EXPECT_EQ(contentOf(path), pattern(5000, 2));
    EXPECT_EQ(TemporaryFolder::entries(folder.path()), std::vector<std::string>{"TestData.xls"});
    if (FileCreationMask::available()) {
        using std::filesystem::perms;
        EXPECT_EQ(std::filesystem::status(path).permissions() & perms::all,
                  perms::owner_read | perms::owner_write | perms::group_read | perms::others_read)
            << "readable by others, like any saved document";
    }
}

TEST(AtomicFile, AWriteThatFailsPartWayKeepsTheOldFile) {
    if (!FileSizeLimit::available()) {
        GTEST_SKIP() << "no way to fill the disk here";
    }
    TemporaryFolder folder;
    const auto path = folder.path() / "TestData.xls";
    AtomicFile::write(path, pattern(3000, 3));
    try {
        const FileSizeLimit fullDisk(8192);
        AtomicFile::write(path, pattern(100000, 4));
        FAIL() << "the write cannot succeed";
    } catch (const std::system_error& error) {
        EXPECT_EQ(error.code().value(), EFBIG);
    }
    EXPECT_EQ(contentOf(path), pattern(3000, 3));
    EXPECT_EQ(TemporaryFolder::entries(folder.path()), std::vector<std::string>{"TestData.xls"})
        << "the partial temporary file is gone";
}

TEST(AtomicFile, AFolderThatIsAFileFailsWithTheReason) {
    TemporaryFolder folder;
    std::ofstream(folder.path() / "TestReportDate") << "a file where the folder should be";
    try {
        AtomicFile::write(folder.path() / "TestReportDate" / "TestData.xls", pattern(10, 5));
        FAIL() << "the write cannot succeed";
    } catch (const std::system_error& error) {
#ifdef _WIN32
        EXPECT_EQ(error.code().value(), ENOENT); // Windows says only that the path is not there
#else
        EXPECT_EQ(error.code().value(), ENOTDIR);
#endif
        EXPECT_NE(std::string(error.what()).find("TestReportDate"), std::string::npos);
    }
}
