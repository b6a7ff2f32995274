// Set All's plain parts: which groups it writes, that it converts them all by their own Sets'
// rules before anything is sent, and what its boxes say.
#include "PageRig.h"

#include "config/FieldSource.h"
#include "config/SetAllPlan.h"
#include "config/SetAllRun.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

using namespace climate::config;

namespace {

// The fixture's page, with some texts and selections changed.
class TableFields : public FieldSource {
public:
    std::map<int, std::string> edits = fixtureEdits();
    std::map<int, int> combos = fixtureCombos();

    [[nodiscard]] std::string editText(int number) const override { return edits.at(number); }
    [[nodiscard]] int selectedItem(int number) const override { return combos.at(number); }
};

TEST(SetAllPlan, WritesEveryGroupButCalibrationAndAddressInRegisterOrder) {
    QStringList names;
    for (const ParameterGroup* group : setAllGroups()) {
        names << groupName(*group);
    }
    EXPECT_EQ(names, QStringList({"Internal Fan", "External Fan", "Heater", "Temp. Alarm",
                                  "ExtInput", "VoltageAlarm", "Compressor", "Heat Exchanger"}));
    EXPECT_EQ(progressText(2), "Writing 3 of 8: Heater");
    EXPECT_EQ(finishedText(8, false), "Set All: 8 of 8 written");
    EXPECT_EQ(finishedText(3, true), "Set All stopped at 4 of 8: Temp. Alarm");
}

TEST(SetAllPlan, StagesWhatEachGroupsOwnSetWouldSend) {
    TableFields fields;
    fields.edits[1] = "not a number"; // Calibration is not part of Set All
    ControllerParameters parameters;
    ASSERT_FALSE(stageSetAll(fields, parameters).has_value());

    for (const GroupFixture& fixture : groupFixtures()) {
        SCOPED_TRACE(fixture.name);
        const ParameterGroup& group = parameterGroup(fixture.command);
        const bool included = std::ranges::find(setAllGroups(), &group) != setAllGroups().end();
        if (included) {
            EXPECT_EQ(toHex(bytesOf(buildGroupFrame(group, parameters, 1))),
                      toHex(fromHex(fixture.frame)));
        }
    }
    EXPECT_EQ(parameters.Calibration, CalibrationParameters{});
    EXPECT_EQ(parameters.Address, 0);
}

TEST(SetAllPlan, TheFirstRefusalNamesGroupAndFieldAndStagesNothing) {
    struct Refused {
        const char* what;
        std::map<int, std::string> edits;
        std::map<int, int> combos;
        const char* message;
    };
    const std::vector<Refused> cases{
        {"a tenth beyond the heater's 8 bits",
         {{53, "25.6"}},
         {},
         "Nothing was sent. Heater, DeltTemp: data out of range."},
        {"empty",
         {{36, ""}},
         {},
         "Nothing was sent. External Fan, StepTemp: '' is not a valid floating point value."},
        {"voltage limit",
         {{18, "70.2"}},
         {},
         "Nothing was sent. VoltageAlarm, HighValue: data out of range."},
        {"wider than the register",
         {{40, "256"}},
         {},
         "Nothing was sent. External Fan, PlusNo.: data out of range."},
        {"no item", {}, {{6, -1}}, "Nothing was sent. ExtInput, Enable: data out of range."},
        // Within a group a text that does not convert beats an earlier value out of range, and
        // the Heater group converts its currents before StartTemp.
        {"conversion before range",
         {{5, "70000"}, {7, "abc"}},
         {},
         "Nothing was sent. Internal Fan, DeltTemp: 'abc' is not a valid floating point value."},
        {"conversion order",
         {{52, "x"}, {50, "y"}},
         {},
         "Nothing was sent. Heater, MaxCurrent: 'y' is not a valid floating point value."},
        // Groups in register order: Internal Fan's range before Heat Exchanger's text.
        {"first group first",
         {{43, "?"}, {41, "300"}},
         {},
         "Nothing was sent. Internal Fan, PluseNo.: data out of range."},
    };
    for (const Refused& c : cases) {
        SCOPED_TRACE(c.what);
        TableFields fields;
        for (const auto& [number, text] : c.edits) {
            fields.edits[number] = text;
        }
        for (const auto& [number, item] : c.combos) {
            fields.combos[number] = item;
        }
        ControllerParameters parameters;
        parameters.Heater.StartTemp = 7;
        const std::optional<SetAllRefusal> refusal = stageSetAll(fields, parameters);
        ASSERT_TRUE(refusal.has_value());
        EXPECT_EQ(refusalText(*refusal).toStdString(), c.message);
        ControllerParameters untouched;
        untouched.Heater.StartTemp = 7;
        EXPECT_EQ(parameters, untouched);
    }
}

TEST(SetAllPlan, TheSummarySaysWhatWasWrittenWhereItStoppedAndWhatWasLeftOut) {
    EXPECT_EQ(setAllSummary(8, std::nullopt).toStdString(),
              "All 8 groups were written: Internal Fan, External Fan, Heater, Temp. Alarm, "
              "ExtInput, VoltageAlarm, Compressor, Heat Exchanger.\n"
              "Calibration and Address are not part of Set All: set them with their own buttons.");
    EXPECT_EQ(setAllSummary(2, GroupFailure{GroupFailure::Kind::NoReply}).toStdString(),
              "Written: Internal Fan, External Fan.\n"
              "Heater failed: no reply in time.\n"
              "Set All stopped there; not written: Heater, Temp. Alarm, ExtInput, VoltageAlarm, "
              "Compressor, Heat Exchanger.\n"
              "Calibration and Address are not part of Set All: set them with their own buttons.");
    EXPECT_EQ(setAllSummary(0, GroupFailure{GroupFailure::Kind::WrongReply}).toStdString(),
              "Written: none.\n"
              "Internal Fan failed: a wrong reply (another address or function).\n"
              "Set All stopped there; not written: Internal Fan, External Fan, Heater, Temp. "
              "Alarm, ExtInput, VoltageAlarm, Compressor, Heat Exchanger.\n"
              "Calibration and Address are not part of Set All: set them with their own buttons.");
    EXPECT_NE(setAllSummary(7, GroupFailure{GroupFailure::Kind::Abandoned})
                  .indexOf("Heat Exchanger failed: abandoned, the page was left"),
              -1);
    EXPECT_NE(setAllSummary(3, GroupFailure{GroupFailure::Kind::Refused, 3})
                  .indexOf("\nTemp. Alarm failed: refused by the controller: exception 3 "
                           "(illegal data value).\n"),
              -1);
}

// An exception reply ends the write by its time-out (or, when the engine reads it as a header it
// did not ask for, as a wrong header); either way the controller refused.
TEST(SetAllPlan, AnExceptionReplyMakesTheFailureARefusal) {
    using Kind = GroupFailure::Kind;
    using climate::link::TransactionOutcome;
    struct Case {
        TransactionOutcome outcome;
        std::optional<std::uint8_t> exception;
        Kind kind;
    };
    const Case cases[]{
        {TransactionOutcome::Timeout, std::nullopt, Kind::NoReply},
        {TransactionOutcome::Timeout, 2, Kind::Refused},
        {TransactionOutcome::WrongHeader, std::nullopt, Kind::WrongReply},
        {TransactionOutcome::WrongHeader, 6, Kind::Refused},
        {TransactionOutcome::BadCrc, std::nullopt, Kind::WrongReply},
        {TransactionOutcome::Abandoned, 2, Kind::Abandoned},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.outcome));
        const GroupFailure failure = failureOf(c.outcome, c.exception);
        EXPECT_EQ(failure.kind, c.kind);
        if (c.kind == Kind::Refused) {
            EXPECT_EQ(failure.exceptionCode, *c.exception);
        }
    }
}

} // namespace
