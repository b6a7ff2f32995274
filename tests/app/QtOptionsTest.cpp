// The command line checked before QApplication exists: Qt's own options with their values pass,
// ports pass, anything else starting with "-" before "--" is the unknown option named.
#include "app/QtOptions.h"

#include <gtest/gtest.h>

#include <vector>

using namespace climate::app;

TEST(QtOptionsTest, NamesTheFirstUnknownOption) {
    const struct {
        std::vector<const char*> arguments;
        std::optional<std::string> unknown;
    } cases[] = {
        {{}, std::nullopt},
        {{"COM3", "rtu+tcp://10.0.0.7:4001"}, std::nullopt},
        {{"-platform", "offscreen", "-style", "Fusion", "-reverse"}, std::nullopt},
        {{"--platform", "offscreen", "--style=Fusion", "-stylesheet=a.qss"}, std::nullopt},
        // A value is taken whatever it looks like.
        {{"-qwindowtitle", "-x", "COM1"}, std::nullopt},
        {{"-qmljsdebugger=port:3768"}, std::nullopt},
        {{"--", "-odd-port", "--help-all"}, std::nullopt},
        {{"-"}, std::nullopt},
        {{"--no-such-option"}, "no-such-option"},
        {{"--link=/tmp/p"}, "link"},
        {{"-style", "Fusion", "-x", "-y"}, "x"},
        {{"COM1", "--help-all"}, "help-all"},
        {{"-platformx", "offscreen"}, "platformx"},
        // A value-taking option at the end has no value; Qt then ignores it.
        {{"-style"}, std::nullopt},
    };
    for (const auto& c : cases) {
        std::vector<const char*> argv{"climate-tool"};
        argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
        std::string line;
        for (const char* argument : c.arguments) {
            line += std::string(argument) + " ";
        }
        EXPECT_EQ(firstUnknownOption(static_cast<int>(argv.size()), argv.data()), c.unknown)
            << line;
    }
}

// Qt's options by name; the window system's own ones only where that system is.
TEST(QtOptionsTest, KnowsQtsOptionsAndTheirValues) {
    EXPECT_TRUE(qtOption("platform").takesValue);
    EXPECT_TRUE(qtOption("style").known);
    EXPECT_FALSE(qtOption("reverse").takesValue);
    EXPECT_TRUE(qtOption("reverse").known);
    EXPECT_FALSE(qtOption("help").known);
    EXPECT_FALSE(qtOption("").known);
#ifdef _WIN32
    EXPECT_FALSE(qtOption("display").known) << "an X11 option";
#else
    EXPECT_TRUE(qtOption("display").takesValue);
#endif
}
