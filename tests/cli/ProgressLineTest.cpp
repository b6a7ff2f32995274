// The progress of a long search on a terminal: one line rewritten in place, closed with a newline;
// nothing at all where standard error is a file or a pipe.
#include "cli/ProgressLine.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

using namespace climate::cli;

namespace {

struct ClosesFile {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using TemporaryFile = std::unique_ptr<std::FILE, ClosesFile>;

std::string contentOf(std::FILE* file) {
    std::fflush(file);
    std::rewind(file);
    std::string content;
    for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) {
        content += static_cast<char>(c);
    }
    return content;
}

TEST(ProgressLine, EachTextOverwritesTheLastAndTheLineEndsOnce) {
    const TemporaryFile file(std::tmpfile());
    ASSERT_NE(file, nullptr);
    {
        ProgressLine line(file.get(), true);
        line.show(QStringLiteral("Searching address 9 (9 of 10)..."));
        line.show(QStringLiteral("Searching address 10 (10 of 10)..."));
        line.show(QStringLiteral("Done.")); // shorter: the rest of the last text is blanked
        line.end();
    } // and not again here
    const std::string longest = "Searching address 10 (10 of 10)...";
    EXPECT_EQ(contentOf(file.get()), "\rSearching address 9 (9 of 10)...\r" + longest + "\rDone." +
                                         std::string(longest.size() - 5, ' ') + "\n");
}

TEST(ProgressLine, NothingIsWrittenWhereNoTerminalIs) {
    const TemporaryFile file(std::tmpfile());
    ASSERT_NE(file, nullptr);
    EXPECT_FALSE(isTerminal(file.get()));
    {
        ProgressLine line(file.get()); // a file, as when standard error is redirected
        line.show(QStringLiteral("Searching address 1 (1 of 255)..."));
    }
    EXPECT_EQ(contentOf(file.get()), "");

    ProgressLine unused(file.get(), true);
    unused.end(); // nothing shown: no empty line either
    EXPECT_EQ(contentOf(file.get()), "");
}

} // namespace
