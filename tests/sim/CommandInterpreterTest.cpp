#include "CommandInterpreter.h"
#include "FaultPlan.h"
#include "FrameHex.h"
#include "LinkControl.h"
#include "RequestStats.h"
#include "UnitModel.h"
#include "UnitRegisters.h"

#include <gtest/gtest.h>

namespace sim {
namespace {

using namespace std::chrono_literals;
using test::frame;

class RecordingLink : public LinkControl {
public:
    void pull() override { ++pulls; }
    bool plug(std::string& result) override {
        result = plugResult;
        return plugSucceeds;
    }
    void sendNoise(std::size_t count) override { noise += count; }
    void quit() override { quitRequested = true; }

    int pulls = 0;
    std::size_t noise = 0;
    bool quitRequested = false;
    bool plugSucceeds = true;
    std::string plugResult = "/dev/pts/42";
};

class CommandInterpreterTest : public testing::Test {
protected:
    std::string run(std::string_view line) { return console.execute(line); }

    UnitModel model;
    FaultPlan faults;
    RequestStats stats;
    RecordingLink link;
    CommandInterpreter console{model, faults, stats, link};
};

TEST_F(CommandInterpreterTest, GetReadsValuesUnsignedOrAsBits) {
    EXPECT_EQ(run("get hr 0 3"), "ok 200 2500 1000");
    EXPECT_EQ(run("get hr 29"), "ok 65486"); // -5.0 degrees as an unsigned word
    EXPECT_EQ(run("get hr 46 1"), "ok 50");
    EXPECT_EQ(run("get coil 0 6"), "ok 1 1 1 1 0 0");
    EXPECT_EQ(run("get di 16 2"), "ok 0 0");
    EXPECT_EQ(run("get ir 15 2"), "ok 17475 16707"); // "DCAC"
    EXPECT_EQ(run("  get   ir 6  "), "ok 480");
}

TEST_F(CommandInterpreterTest, SetStoresAndPinsAgainstTheModel) {
    EXPECT_EQ(run("set ir 4 -100"), "ok");
    EXPECT_EQ(run("set di 14 1"), "ok");
    EXPECT_EQ(run("set ir 6 0x1F4"), "ok");
    EXPECT_EQ(run("step 5"), "ok");
    EXPECT_EQ(run("get ir 4"), "ok 65436");
    EXPECT_EQ(run("get di 14"), "ok 1");
    EXPECT_EQ(run("get ir 6"), "ok 500");
    EXPECT_EQ(run("unpin di 14"), "ok");
    EXPECT_EQ(run("step"), "ok");
    EXPECT_EQ(run("get di 14"), "ok 0");
    EXPECT_EQ(run("get ir 4"), "ok 65436");
    EXPECT_EQ(run("unpin"), "ok");
    EXPECT_EQ(run("step"), "ok");
    EXPECT_NE(run("get ir 4"), "ok 65436");
}

TEST_F(CommandInterpreterTest, SetHasTheControllersSideEffects) {
    EXPECT_EQ(run("set hr 30 250"), "ok");
    EXPECT_EQ(run("get ir 4"), "ok 250");
    EXPECT_EQ(run("set coil 12 1"), "ok");
    EXPECT_EQ(run("get ir 11"), "ok 1");
    EXPECT_EQ(run("set hr 27 9"), "ok");
    EXPECT_EQ(model.address(), 9);
    EXPECT_EQ(run("address 12"), "ok");
    EXPECT_EQ(run("get hr 27"), "ok 12");
}

TEST_F(CommandInterpreterTest, ModelOnOffAndStep) {
    EXPECT_EQ(run("model off"), "ok");
    EXPECT_FALSE(model.isRunning());
    EXPECT_EQ(run("model on"), "ok");
    EXPECT_TRUE(model.isRunning());
    // The controller reacts on the next second only, which step brings while frozen.
    EXPECT_EQ(run("model off"), "ok");
    EXPECT_EQ(run("set ir 4 400"), "ok");
    EXPECT_EQ(run("get coil 4"), "ok 0");
    EXPECT_EQ(run("step"), "ok");
    EXPECT_EQ(run("get coil 4"), "ok 1");
    EXPECT_EQ(run("get ir 0"), "ok 2700");
}

TEST_F(CommandInterpreterTest, FaultCommandsArmThePlan) {
    EXPECT_EQ(run("silent on"), "ok");
    EXPECT_TRUE(faults.isSilent());
    EXPECT_EQ(run("silent off"), "ok");
    EXPECT_FALSE(faults.isSilent());

    EXPECT_EQ(run("badcrc count=2"), "ok");
    EXPECT_EQ(run("wrongaddress 9"), "ok");
    EXPECT_EQ(run("exception 6 count=always"), "ok");
    EXPECT_EQ(run("split 2 15"), "ok");
    EXPECT_EQ(run("delay 30"), "ok");
    EXPECT_EQ(run("debugreply -3"), "ok");
    EXPECT_EQ(run("faults"), "ok silent=off delay=30 debugreply=65533 wrongaddress=9x1 "
                             "badcrc=x2 exception=6xalways split=2/15x1");

    const auto chunks = faults.shape(frame("01 03 02 00 FA"), 1);
    ASSERT_EQ(chunks.size(), 4U);
    EXPECT_EQ(chunks[0].delay, 30ms);
    EXPECT_EQ(chunks[1].delay, 15ms);
    EXPECT_EQ(chunks[0].bytes[0], 9);

    EXPECT_EQ(run("wrongfunction"), "ok");
    EXPECT_EQ(run("clear"), "ok");
    EXPECT_EQ(run("faults"), "ok silent=off delay=0 debugreply=off");
}

TEST_F(CommandInterpreterTest, LineCommandsGoToTheLink) {
    EXPECT_EQ(run("noise 2000"), "ok");
    EXPECT_EQ(link.noise, 2000U);
    EXPECT_EQ(run("pull"), "ok");
    EXPECT_EQ(link.pulls, 1);
    EXPECT_EQ(run("plug"), "ok /dev/pts/42");
    link.plugSucceeds = false;
    link.plugResult = "no more terminals";
    EXPECT_EQ(run("plug"), "error no more terminals");
    EXPECT_EQ(run("quit"), "ok");
    EXPECT_TRUE(link.quitRequested);
}

TEST_F(CommandInterpreterTest, StatsReportAndReset) {
    stats.countRequest(3);
    stats.countRequest(16);
    ++stats.replies;
    EXPECT_EQ(run("stats"), "ok requests=2 fc1=0 fc2=0 fc3=1 fc4=0 fc5=0 fc6=0 fc16=1 other=0 "
                            "ignored=0 silenced=0 exceptions=0 replies=1 skipped=0");
    EXPECT_EQ(run("stats reset"), "ok");
    EXPECT_EQ(stats.requests, 0);
}

TEST_F(CommandInterpreterTest, BlankLinesGetNoAnswer) {
    EXPECT_EQ(run(""), "");
    EXPECT_EQ(run("   \t"), "");
}

TEST_F(CommandInterpreterTest, BadCommandsAreRefusedWithoutEffect) {
    const char* bad[] = {"frobnicate",
                         "get",
                         "get xx 0",
                         "get hr 47",
                         "get hr 40 8",
                         "get hr 0 0",
                         "get hr -1",
                         "get hr 1x",
                         "set coil 0 2",
                         "set hr 1 65536",
                         "set ir 4 -32769",
                         "set hr 27 0",
                         "set hr 27 256",
                         "set hr 47 1",
                         "set hr 1",
                         "unpin hr",
                         "model maybe",
                         "step 0",
                         "address 0",
                         "address 256",
                         "silent",
                         "delay -1",
                         "delay 60001",
                         "exception 0",
                         "exception 12",
                         "exception",
                         "badcrc 3",
                         "badcrc count=0",
                         "badcrc count=x",
                         "split 0 10",
                         "split 3",
                         "wrongaddress 256",
                         "debugreply 70000",
                         "noise 0",
                         "noise",
                         "stats now",
                         "pull now",
                         "clear all",
                         "plug now"};
    for (const char* line : bad) {
        EXPECT_TRUE(run(line).starts_with("error ")) << line << " -> " << run(line);
    }
    EXPECT_EQ(model.address(), 1);
    EXPECT_EQ(run("get hr 1"), "ok 2500");
    EXPECT_EQ(run("faults"), "ok silent=off delay=0 debugreply=off");
    EXPECT_EQ(link.pulls, 0);
    EXPECT_EQ(link.noise, 0U);
}

TEST_F(CommandInterpreterTest, HelpAndReferenceNameEveryCommand) {
    const std::string help = run("help");
    ASSERT_TRUE(help.starts_with("ok "));
    const std::string_view reference = CommandInterpreter::reference();
    for (const char* command :
         {"get",    "set",        "unpin",        "model",         "step",   "address",
          "silent", "delay",      "wrongaddress", "wrongfunction", "badcrc", "exception",
          "split",  "debugreply", "noise",        "clear",         "faults", "pull",
          "plug",   "stats",      "help",         "quit"}) {
        EXPECT_NE(help.find(command), std::string::npos) << command;
        EXPECT_NE(reference.find(std::string("\n  ") + command), std::string::npos) << command;
        // Every listed command is understood (none answers "unknown command").
        EXPECT_EQ(run(command).find("unknown command"), std::string::npos) << command;
    }
}

} // namespace
} // namespace sim
