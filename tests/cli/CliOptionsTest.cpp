// The command line as climate-cli reads it: every wrong one is a usage error (status 2) that names
// the problem, and the right ones carry their values.
#include "cli/CliOptions.h"

#include <gtest/gtest.h>

using namespace climate::cli;

namespace {

QStringList words(const char* line) {
    return QString::fromLatin1(line).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

TEST(CliOptions, WrongCommandLinesAreUsageErrorsNamingTheProblem) {
    const struct {
        const char* line;
        const char* named;
    } cases[] = {
        {"", "no command"},
        {"--port /dev/ttyS0", "no command"},
        {"erase --port /dev/ttyS0", "unknown command 'erase'"},
        {"write --port /dev/ttyS0", "one parameter FILE"},
        {"write a.json b.json --port /dev/ttyS0", "one parameter FILE"},
        {"read extra --port /dev/ttyS0", "takes no argument"},
        {"firmware", "--port PORT is needed"},
        {"firmware --port", "Missing value"},
        {"firmware --port /dev/ttyS0 --address 0", "--address takes 1 to 255"},
        {"firmware --port /dev/ttyS0 --address 256", "--address takes 1 to 255"},
        {"firmware --port /dev/ttyS0 --address x", "--address takes 1 to 255"},
        {"firmware --port /dev/ttyS0 --baud fast", "--baud"},
        {"write a.json --port /dev/ttyS0 --count 3", "--count does not go with write"},
        {"verify a.json --port /dev/ttyS0 -o out.json", "--output does not go with verify"},
        {"read --port /dev/ttyS0 --first 2", "--first does not go with read"},
        {"live --port /dev/ttyS0 --count 0", "--count takes"},
        {"live --port /dev/ttyS0 --format xml", "--format takes csv or json"},
        {"find --port /dev/ttyS0 --first 10 --last 9", "--first is above --last"},
        {"find --port /dev/ttyS0 --last 300", "--last takes"},
        {"firmware --port /dev/ttyS0 --speed 9600", "Unknown option 'speed'"},
        // A network port without its port number, or with nothing after the scheme: the command
        // line is wrong, not the link.
        {"firmware --port rtu+tcp://127.0.0.1", "--port rtu+tcp://127.0.0.1 is no network port"},
        {"firmware --port tcp://", "--port tcp:// is no network port"},
        {"firmware --port rtu+tcp://[::1]:70000", "is no network port"},
        // Only the window's baud rates.
        {"firmware --port /dev/ttyS0 --baud 57600", "--baud takes one of 2400 4800 9600 19200 "
                                                    "38400 115200"},
        {"firmware --port /dev/ttyS0 --baud 9601", "--baud takes one of"},
        {"firmware --port /dev/ttyS0 --baud 0", "--baud takes one of"},
        {"write a.json --port /dev/ttyS0 --partial", "--partial does not go with write"},
        {"read --port /dev/ttyS0 --ignore-firmware", "--ignore-firmware does not go with read"},
        {"firmware --port /dev/ttyS0 -V", "Unknown option 'V'"},
    };
    for (const auto& [line, named] : cases) {
        SCOPED_TRACE(line);
        const ParsedCommandLine parsed = parseCommandLine(words(line));
        EXPECT_FALSE(parsed.options.has_value());
        EXPECT_EQ(parsed.status, ExitStatus::Usage);
        EXPECT_TRUE(parsed.text.contains(QString::fromLatin1(named))) << parsed.text.toStdString();
    }
}

TEST(CliOptions, HelpAndVersionAnswerWithStatusZero) {
    const ParsedCommandLine help = parseCommandLine(words("--help"));
    EXPECT_EQ(help.status, ExitStatus::Success);
    EXPECT_FALSE(help.options.has_value());
    EXPECT_TRUE(help.text.startsWith(QLatin1String("Usage: climate-cli COMMAND")));
    for (const char* line : {"write x --version", "-v"}) {
        SCOPED_TRACE(line);
        const ParsedCommandLine version = parseCommandLine(words(line));
        EXPECT_EQ(version.status, ExitStatus::Success);
        EXPECT_FALSE(version.options.has_value());
        EXPECT_EQ(version.text, QStringLiteral("climate-cli " CLIMATE_VERSION "\n"));
    }
}

TEST(CliOptions, TheHelpNamesEveryExitStatusAndTheNewOptions) {
    const QString help = QString::fromUtf8(usageText());
    for (const char* text : {"\n  0  ", "\n  1  ", "\n  2  ", "\n  3  ", "\n  4  ", "--partial",
                             "--ignore-firmware", "-v, --version", "record not written"}) {
        EXPECT_TRUE(help.contains(QString::fromLatin1(text))) << text;
    }
}

// A run that failed keeps its status; a lost record outranks differences and success.
TEST(CliOptions, TheMoreSevereStatusWins) {
    using enum ExitStatus;
    const struct {
        ExitStatus first;
        ExitStatus second;
        ExitStatus wins;
    } cases[] = {
        {Success, RecordNotWritten, RecordNotWritten},
        {Differences, RecordNotWritten, RecordNotWritten},
        {LinkFailure, RecordNotWritten, LinkFailure},
        {Usage, RecordNotWritten, Usage},
        {Success, Differences, Differences},
        {Differences, LinkFailure, LinkFailure},
    };
    for (const auto& [first, second, wins] : cases) {
        SCOPED_TRACE(static_cast<int>(first) * 10 + static_cast<int>(second));
        EXPECT_EQ(moreSevere(first, second), wins);
        EXPECT_EQ(moreSevere(second, first), wins);
    }
}

TEST(CliOptions, RightCommandLinesCarryTheirValues) {
    const ParsedCommandLine write = parseCommandLine(
        words("write approved.json -p rtu+tcp://10.0.0.5:4001 -a 7 -b 19200 --json --tag SN12 "
              "--record /srv/records"));
    ASSERT_TRUE(write.options.has_value()) << write.text.toStdString();
    EXPECT_EQ(write.options->command, Command::Write);
    EXPECT_EQ(write.options->file, QStringLiteral("approved.json"));
    EXPECT_EQ(write.options->port, QStringLiteral("rtu+tcp://10.0.0.5:4001"));
    EXPECT_EQ(write.options->address, 7);
    EXPECT_EQ(write.options->baud, 19200);
    EXPECT_TRUE(write.options->json);
    EXPECT_EQ(write.options->tag, QStringLiteral("SN12"));
    EXPECT_EQ(write.options->recordDir, QStringLiteral("/srv/records"));

    const ParsedCommandLine live =
        parseCommandLine(words("live --port COM3 --count 5 --format json"));
    ASSERT_TRUE(live.options.has_value()) << live.text.toStdString();
    EXPECT_EQ(live.options->count, 5);
    EXPECT_EQ(live.options->format, Options::Format::Json);
    EXPECT_EQ(live.options->address, 1) << "the default address";
    EXPECT_EQ(live.options->baud, 9600) << "the default baud rate";

    const ParsedCommandLine verify = parseCommandLine(
        words("verify a.json --port tcp://gateway --baud 115200 --partial --ignore-firmware"));
    ASSERT_TRUE(verify.options.has_value()) << verify.text.toStdString();
    EXPECT_TRUE(verify.options->partial);
    EXPECT_TRUE(verify.options->ignoreFirmware);
    EXPECT_EQ(verify.options->baud, 115200);
    EXPECT_FALSE(write.options->partial);
    EXPECT_FALSE(write.options->ignoreFirmware);

    const ParsedCommandLine find = parseCommandLine(words("find --port /dev/ttyUSB0 --last 20"));
    ASSERT_TRUE(find.options.has_value());
    EXPECT_EQ(find.options->first, 1);
    EXPECT_EQ(find.options->last, 20);
}

} // namespace
