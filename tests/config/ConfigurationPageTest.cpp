#include "PageRig.h"

#include "link/LinkState.h"
#include "link/NumberText.h"

#include <gtest/gtest.h>

#include <array>
#include <map>

using namespace climate::config;
using namespace climate::link;

namespace {

using Click = void (ConfigurationPage::*)();

// Every command button of the page with what the user sees of it.
struct Button {
    const char* name;
    Click click;
    std::uint8_t code;
    const char* busyText;
    const char* busyCaption;
    const char* successText = nullptr; // null: no box on success
    const char* successCaption = nullptr;
    int linkTicksAfterSuccess = 30;
};

const char* const Busy = "Systerm Busy,Please Wait";

const std::vector<Button>& setButtons() {
    static const std::vector<Button> buttons{
        {"SetClick", &ConfigurationPage::SetClick, 0, Busy, "Set Intfan1!", "Set Successfully!",
         "Set Intfan1", 40},
        {"Button10Click", &ConfigurationPage::Button10Click, 1, Busy, "Set Extfan1!",
         "Set Successfully", "Set Extfan1!", 40},
        {"Button15Click", &ConfigurationPage::Button15Click, 2, "Set Heater!", Busy,
         "Set Successfully", "Set Heater!", 40},
        {"Button11Click", &ConfigurationPage::Button11Click, 3, Busy, "Set Alarm TEMP!",
         "Set Successfully", "Set Alarm TEMP"},
        {"Button3Click", &ConfigurationPage::Button3Click, 4, Busy, "Calibrate Temp!",
         "Set Successfully", "Calibrate Temp"},
        {"Button4Click", &ConfigurationPage::Button4Click, 5, Busy, "Set Intfan1!",
         "Set Successfully", "Extinput Option"},
        {"Button7Click", &ConfigurationPage::Button7Click, 6, Busy, "Set Intfan1!",
         "Set Successfully", "Extinput Option"},
        {"Button9Click", &ConfigurationPage::Button9Click, 7, Busy, "Set Alarm TEMP!",
         "Set Successfully", "Set Alarm Voltage"},
        {"Button14Click", &ConfigurationPage::Button14Click, 8, Busy, "Set Alarm TEMP!",
         "Set Successfully", "Set Compressor"},
        {"Button18Click", &ConfigurationPage::Button18Click, 11, Busy, "Set Alarm TEMP!",
         "Set Successfully", "Set Heat Exchanger"},
    };
    return buttons;
}

std::vector<Button> allButtons() {
    std::vector<Button> buttons = setButtons();
    buttons.push_back(
        {"Button12Click", &ConfigurationPage::Button12Click, 9, Busy, "Set Intfan1!"});
    buttons.push_back({"Button5Click", &ConfigurationPage::Button5Click, 10, Busy, "Set Intfan1!"});
    return buttons;
}

const char* fixtureFrame(std::uint8_t code) {
    for (const GroupFixture& fixture : groupFixtures()) {
        if (codeOf(fixture.command) == code) {
            return fixture.frame;
        }
    }
    return "";
}

// The controller's echo of a write request: its first six bytes and their CRC.
std::vector<std::uint8_t> echoOf(const std::vector<std::uint8_t>& request) {
    return withCrc({request.begin(), request.begin() + 6});
}

} // namespace

TEST(GroupSet, SendsTheGroupsFrameAndReportsSuccessWhenTheEchoComes) {
    for (const Button& button : setButtons()) {
        SCOPED_TRACE(button.name);
        PageRig page;
        (page.page.get()->*button.click)();
        EXPECT_TRUE(page.state().CommandBusy);
        EXPECT_EQ(page.state().PendingCommand, button.code);
        EXPECT_TRUE(page.messages().empty());

        const std::vector<std::uint8_t> request = page.nextRequest();
        EXPECT_EQ(toHex(request), toHex(fromHex(fixtureFrame(button.code))));
        EXPECT_EQ(page.rig.window.engineInterval(), 200) << "first wait after a write";

        page.rig.port.feed(echoOf(request));
        ASSERT_TRUE(page.runUntilIdle());
        EXPECT_EQ(page.state().PendingCommand, EngineState::NoCommand);
        EXPECT_EQ(page.rig.port.purges().back(), page.rig.port.tick()) << "input purged";
        ASSERT_EQ(page.messages().size(), 1u);
        EXPECT_EQ(page.messages()[0].message.text, button.successText);
        EXPECT_EQ(page.messages()[0].message.caption, button.successCaption);

        // The link counts as alive only once the user has closed the box.
        EXPECT_EQ(page.state().LinkAliveTicks, 0);
        EXPECT_EQ(page.rig.link.barPosition(), climate::link::LinkState::StartPosition);
        page.rig.window.closeMessage(0);
        EXPECT_EQ(page.state().LinkAliveTicks, button.linkTicksAfterSuccess);
        EXPECT_EQ(page.rig.link.barPosition(), climate::link::LinkState::StartPosition + 1);
    }
}

// The command has ended before its box is shown: the user may go on while the box is open.
TEST(GroupSet, SuccessBoxLeavesTheEngineFreeForTheNextCommand) {
    PageRig page;
    page.page->Button11Click();
    const std::vector<std::uint8_t> request = page.nextRequest();
    page.rig.port.feed(echoOf(request));
    ASSERT_TRUE(page.runUntilIdle());
    ASSERT_EQ(page.messages().size(), 1u);

    page.page->Button12Click();
    EXPECT_EQ(page.messages().size(), 1u) << "no busy box";
    EXPECT_EQ(toHex(page.nextRequest()), "01 03 00 00 00 2F 04 16");
    EXPECT_FALSE(page.messages()[0].closed);
}

TEST(ButtonChecks, BusyEngineGivesEachGroupsBoxAndConvertsNothing) {
    PageRig page;
    page.page->Button12Click(); // Read All posted: clears its 39 fields, texts now empty
    for (const int number : {4, 30, 31}) {
        page.edit(number)->setText("not a number");
    }
    page.combo(6)->setCurrentIndex(-1);
    for (const Button& button : allButtons()) {
        SCOPED_TRACE(button.name);
        const std::size_t before = page.messages().size();
        EXPECT_NO_THROW((page.page.get()->*button.click)());
        ASSERT_EQ(page.messages().size(), before + 1);
        EXPECT_EQ(page.messages().back().message.text, button.busyText);
        EXPECT_EQ(page.messages().back().message.caption, button.busyCaption);
        EXPECT_EQ(page.state().PendingCommand, 9);
    }
    EXPECT_EQ(toHex(page.nextRequest()), "01 03 00 00 00 2F 04 16");
    page.rig.driver.run(20);
    EXPECT_EQ(page.rig.port.writes().size(), 1u);
}

TEST(ButtonChecks, ClosedPortGivesCommErrorAndNothingIsConvertedClearedOrSent) {
    PageRig page;
    page.closePort();
    page.edit(14)->setText("not a number");
    for (const Button& button : allButtons()) {
        SCOPED_TRACE(button.name);
        const std::size_t before = page.messages().size();
        EXPECT_NO_THROW((page.page.get()->*button.click)());
        ASSERT_EQ(page.messages().size(), before + 1);
        EXPECT_EQ(page.messages().back().message.text, "ComPort Not Open!!");
        EXPECT_EQ(page.messages().back().message.caption, "Comm Error");
        EXPECT_FALSE(page.state().CommandBusy);
    }
    EXPECT_EQ(page.edit(12)->text(), "100") << "Read All cleared nothing";
    EXPECT_EQ(page.combo(1)->currentIndex(), 1);
    page.rig.driver.run(50);
    EXPECT_TRUE(page.rig.port.writes().empty());
}

TEST(ButtonChecks, OutOfRangeValueIsRefusedAndNothingIsSent) {
    struct Case {
        const char* name;
        Click click;
        int editNumber; // 0: the combo box below
        const char* text;
        int comboNumber = 0;
    };
    const Case cases[]{
        {"MaxRev 65536", &ConfigurationPage::SetClick, 5, "65536"},
        {"PluseNo 256", &ConfigurationPage::Button10Click, 40, "256"},
        {"Heater DeltTemp 26", &ConfigurationPage::Button15Click, 53, "26"},
        {"Heater no item", &ConfigurationPage::Button15Click, 0, "", 5},
        {"ExtInput no item", &ConfigurationPage::Button4Click, 0, "", 7},
        {"Intfan2 no item", &ConfigurationPage::SetClick, 0, "", 2},
        {"HighValue 70.1", &ConfigurationPage::Button9Click, 18, "70.1"},
        {"LowValue 23.99", &ConfigurationPage::Button9Click, 28, "23.99"},
        {"Address 0", &ConfigurationPage::Button7Click, 4, "0"},
        {"Address 256", &ConfigurationPage::Button7Click, 4, "256"},
        {"Address -1", &ConfigurationPage::Button7Click, 4, "-1"},
        {"MaxRPM 32768", &ConfigurationPage::Button14Click, 31, "32768"},
        {"HighTemp 3276.8", &ConfigurationPage::Button11Click, 24, "3276.8"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PageRig page;
        if (c.editNumber != 0) {
            page.edit(c.editNumber)->setText(c.text);
        } else {
            page.combo(c.comboNumber)->setCurrentIndex(-1);
        }
        (page.page.get()->*c.click)();
        ASSERT_EQ(page.messages().size(), 1u);
        EXPECT_EQ(page.messages()[0].message.text, "Data out of range!!");
        EXPECT_EQ(page.messages()[0].message.caption, "Set Unsuccessfully");
        EXPECT_FALSE(page.state().CommandBusy);
        page.rig.driver.run(30);
        EXPECT_TRUE(page.rig.port.writes().empty());
    }
}

TEST(ButtonChecks, TextThatIsNotANumberRaisesTheConversionErrorAndPostsNothing) {
    struct Case {
        Click click;
        int editNumber;
        const char* text;
        const char* error;
    };
    const Case cases[]{
        {&ConfigurationPage::SetClick, 14, "", "'' is not a valid floating point value"},
        {&ConfigurationPage::Button7Click, 4, "", "'' is not a valid integer value"},
        {&ConfigurationPage::Button15Click, 53, "2,5", "'2,5' is not a valid floating point value"},
        {&ConfigurationPage::Button9Click, 18, " 7O ", "'7O' is not a valid floating point value"},
        // A conversion error wins over a value out of range in the same group.
        {&ConfigurationPage::Button10Click, 40, "x", "'x' is not a valid integer value"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.error);
        PageRig page;
        page.edit(8)->setText("70000"); // External MaxRev out of range
        page.edit(c.editNumber)->setText(c.text);
        try {
            (page.page.get()->*c.click)();
            ADD_FAILURE() << "no conversion error";
        } catch (const ConversionError& error) {
            EXPECT_STREQ(error.what(), c.error);
        }
        EXPECT_TRUE(page.messages().empty());
        EXPECT_FALSE(page.state().CommandBusy);
    }
}

TEST(GroupSet, RejectedOrUnansweredWriteEndsSilently) {
    for (const Button& button : setButtons()) {
        SCOPED_TRACE(button.name);
        {
            // A reply from another slave: the fan and heater writes take it as a sign of life.
            PageRig page;
            (page.page.get()->*button.click)();
            const std::vector<std::uint8_t> request = page.nextRequest();
            std::vector<std::uint8_t> foreign(request.begin(), request.begin() + 6);
            foreign[0] = 2;
            page.rig.port.feed(withCrc(foreign));
            ASSERT_TRUE(page.runUntilIdle(5));
            EXPECT_TRUE(page.messages().empty());
            EXPECT_EQ(page.state().LinkAliveTicks, button.code <= 2 ? 40 : 0);
        }
        {
            // A bad CRC is not a decision: only the time-out ends the write.
            PageRig page;
            (page.page.get()->*button.click)();
            std::vector<std::uint8_t> echo = echoOf(page.nextRequest());
            echo.back() ^= 0xFF;
            page.rig.port.feed(echo);
            const auto ticks =
                page.rig.driver.runUntil([&] { return !page.state().CommandBusy; }, 200);
            ASSERT_TRUE(ticks.has_value());
            EXPECT_EQ(*ticks, 101);
            EXPECT_TRUE(page.messages().empty());
            EXPECT_EQ(page.state().LinkAliveTicks, 0);
        }
    }
}

TEST(AddressSet, EngineTalksToTheNewAddressOnceTheSuccessBoxIsClosed) {
    PageRig page;
    page.edit(4)->setText("7");
    page.page->Button7Click();
    const std::vector<std::uint8_t> request = page.nextRequest();
    ASSERT_EQ(toHex(request), toHex(withCrc(fromHex("01 10 00 1B 00 01 02 00 07"))));
    page.rig.port.feed(echoOf(request));
    page.rig.driver.run(1);
    ASSERT_EQ(page.messages().size(), 1u) << "the echo was not taken";
    EXPECT_FALSE(page.state().CommandBusy);
    EXPECT_EQ(page.state().DeviceAddress, 1u) << "still the old address while the box is open";

    // A refused click while the box is open must not change what the switch takes.
    page.edit(4)->setText("0");
    page.page->Button7Click();
    ASSERT_EQ(page.messages().size(), 2u);
    EXPECT_EQ(page.messages()[1].message.text, "Data out of range!!");

    page.rig.window.closeMessage(0);
    EXPECT_EQ(page.state().DeviceAddress, 7u);
    EXPECT_EQ(page.state().LinkAliveTicks, 30);
    EXPECT_EQ(page.edit(17)->text(), "1") << "Comm Address keeps its text";

    page.page->Button12Click();
    EXPECT_EQ(page.nextRequest().at(0), 7);
}

TEST(CommAddress, SetsTheAddressOfEveryLaterRequestWithoutTalking) {
    struct Case {
        const char* text;
        std::uint32_t address;
    };
    const Case cases[]{{"7", 7}, {" 12 ", 12}, {"255", 255}, {"300", 1}, {"-1", 1}, {"0", 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        PageRig page;
        page.closePort(); // no port check
        page.stage().deviceAddress(9);
        page.edit(17)->setText(c.text);
        page.page->Button8Click();
        EXPECT_EQ(page.state().DeviceAddress, c.address);
        EXPECT_EQ(page.edit(17)->text(), c.text);
        EXPECT_TRUE(page.messages().empty());
        EXPECT_FALSE(page.state().CommandBusy);
    }

    PageRig page;
    page.edit(17)->setText("1.5");
    EXPECT_THROW(page.page->Button8Click(), ConversionError);
    EXPECT_EQ(page.state().DeviceAddress, 1u);

    page.edit(17)->setText("42");
    page.page->Button8Click();
    page.page->Button11Click();
    EXPECT_EQ(page.nextRequest().at(0), 42);
}

namespace {

// A controller's holding registers and the texts Read All shows for them.
const std::array<std::uint16_t, 47> ReadAllRegisters{
    0xFFFF, 3000,   800,    253,    450, 200,    3,   0xFFC9, 2,   1, 2,      // internal fans
    50,     0x8000, 0,      127,    701, 0xFFFD, 253, 470,    255, 0, 0xFFFF, // external fans
    0xFFC9, 250,    125,    5,      1,                                        // heater
    0xFFFF, 253,    0xFE70,         // address, temperature alarm
    123,    0x1111, 0x2222,         // not shown
    3,      0xFFF1, 25,     0xFFFF, // calibration
    1,      1,                      // external input
    700,    240,                    // voltage alarm
    355,    50,     0x8000,         // compressor
    300,    3,      25,             // heat exchanger
};

const std::map<int, const char*> ReadAllTexts{
    {12, "65535"}, {5, "3000"},  {13, "800"},  {14, "25.3"},   {27, "45"},   {9, "20"},
    {6, "0.3"},    {7, "-5.5"},  {41, "2"},    {34, "50"},     {8, "32768"}, {35, "0"},
    {36, "12.7"},  {37, "70.1"}, {15, "-0.3"}, {38, "25.3"},   {39, "47"},   {40, "255"},
    {52, "-5.5"},  {53, "25"},   {50, "12.5"}, {51, "0.5"},    {4, "-1"},    {24, "25.3"},
    {25, "-40"},   {1, "0.3"},   {2, "-1.5"},  {10, "2.5"},    {16, "-0.1"}, {18, "70"},
    {28, "24"},    {30, "35.5"}, {29, "5"},    {31, "-32768"}, {42, "30"},   {33, "0.3"},
    {43, "2.5"},
};

// Combo box: selected item and text after Read All.
const std::map<int, std::pair<int, const char*>> ReadAllItems{
    {1, {1, "Enable"}}, {2, {-1, ""}},      {3, {0, "Disable"}}, {4, {-1, ""}},
    {5, {1, "Enable"}}, {6, {1, "Enable"}}, {7, {1, "NC"}},
};

const int ClearedEdits[]{12, 13, 14, 27, 9,  41, 15, 16, 5, 6,  7,  8,  10, 34, 35, 36, 37,
                         38, 39, 40, 50, 51, 52, 53, 1,  2, 24, 25, 18, 28, 29, 42, 33, 43};

} // namespace

TEST(ReadAll, FillsEveryFieldFromTheRegisters) {
    PageRig page;
    page.view.SWV->setText("V0");
    page.page->Button12Click();
    EXPECT_TRUE(page.messages().empty());

    for (const int number : ClearedEdits) {
        EXPECT_TRUE(page.edit(number)->text().isEmpty()) << "Edit" << number;
    }
    for (const int number : {1, 2, 3, 4, 5}) {
        EXPECT_EQ(page.combo(number)->currentIndex(), -1) << "ComboBox" << number;
        EXPECT_TRUE(page.combo(number)->currentText().isEmpty()) << "ComboBox" << number;
    }
    EXPECT_EQ(page.edit(4)->text(), "255");
    EXPECT_EQ(page.edit(30)->text(), "35.5");
    EXPECT_EQ(page.edit(31)->text(), "3000");
    EXPECT_EQ(page.edit(17)->text(), "1");
    EXPECT_EQ(page.combo(6)->currentIndex(), 1);
    EXPECT_EQ(page.combo(7)->currentIndex(), 0);

    const std::vector<std::uint8_t> request = page.exchange(readAllReply(ReadAllRegisters));
    EXPECT_EQ(toHex(request), "01 03 00 00 00 2F 04 16");
    EXPECT_EQ(page.rig.window.intervalRestarts().front(), 100) << "first wait of Read All";

    for (const auto& [number, text] : ReadAllTexts) {
        EXPECT_EQ(page.edit(number)->text().toStdString(), text) << "Edit" << number;
    }
    for (const auto& [number, shown] : ReadAllItems) {
        EXPECT_EQ(page.combo(number)->currentIndex(), shown.first) << "ComboBox" << number;
        EXPECT_EQ(page.combo(number)->currentText().toStdString(), shown.second)
            << "ComboBox" << number;
    }
    EXPECT_EQ(page.view.SWV->text(), "V0");
    EXPECT_EQ(page.state().PendingCommand, EngineState::NoCommand);
    EXPECT_EQ(page.state().LinkAliveTicks, 30);
    EXPECT_EQ(page.rig.link.barPosition(), climate::link::LinkState::StartPosition + 1);
    EXPECT_EQ(page.rig.port.purges().back(), page.rig.port.tick());
    EXPECT_TRUE(page.messages().empty());
    EXPECT_EQ(page.page->parameters(), ControllerParameters{}) << "Read All stages nothing";
}

TEST(ReadAll, UnansweredOrRejectedReadLeavesTheClearedFieldsEmpty) {
    for (const bool rejected : {false, true}) {
        SCOPED_TRACE(rejected ? "reply from another slave" : "no reply");
        PageRig page;
        page.page->Button12Click();
        ASSERT_FALSE(page.nextRequest().empty());
        if (rejected) {
            page.rig.port.feed(readAllReply(ReadAllRegisters, 2));
        }
        ASSERT_TRUE(page.runUntilIdle(110));
        for (const int number : ClearedEdits) {
            EXPECT_TRUE(page.edit(number)->text().isEmpty()) << "Edit" << number;
        }
        for (const int number : {1, 2, 3, 4, 5}) {
            EXPECT_EQ(page.combo(number)->currentIndex(), -1) << "ComboBox" << number;
        }
        EXPECT_EQ(page.edit(4)->text(), "255");
        EXPECT_EQ(page.edit(30)->text(), "35.5");
        EXPECT_EQ(page.edit(31)->text(), "3000");
        EXPECT_EQ(page.combo(6)->currentIndex(), 1);
        EXPECT_EQ(page.combo(7)->currentIndex(), 0);
        EXPECT_TRUE(page.messages().empty());
        EXPECT_EQ(page.state().LinkAliveTicks, 0);
    }
}

namespace {

// Just enough of the controller to answer Read All and the group writes from its registers.
struct RegisterController {
    std::array<std::uint16_t, 47> registers{};

    std::vector<std::uint8_t> answer(const std::vector<std::uint8_t>& request) {
        const auto word = [&](std::size_t at) {
            return static_cast<std::uint16_t>(request.at(at) << 8 | request.at(at + 1));
        };
        if (request.at(1) == 0x03) {
            return readAllReply(registers, request[0]);
        }
        const std::uint16_t first = word(2);
        const std::uint16_t count = word(4);
        for (std::uint16_t k = 0; k < count; ++k) {
            registers.at(first + k) = word(7 + 2 * k);
        }
        return echoOf(request);
    }
};

} // namespace

// Read All, then every Set with the texts as Read All left them: the controller's registers do not
// move, not even by a tenth.
TEST(RoundTrip, ReadAllThenEverySetLeavesTheControllerUnchanged) {
    RegisterController controller;
    controller.registers = ReadAllRegisters;
    // Settings a Set can write back: items 0 or 1, the slave's own address, a heater hysteresis
    // with a decimal that its 8 bits hold.
    controller.registers[10] = 0;
    controller.registers[21] = 1;
    controller.registers[23] = 25;
    controller.registers[27] = 1;
    const std::array<std::uint16_t, 47> before = controller.registers;

    PageRig page;
    page.page->Button12Click();
    const std::vector<std::uint8_t> read = page.nextRequest();
    page.rig.port.feed(controller.answer(read));
    ASSERT_TRUE(page.runUntilIdle());

    for (const Button& button : setButtons()) {
        SCOPED_TRACE(button.name);
        (page.page.get()->*button.click)();
        ASSERT_EQ(page.state().PendingCommand, button.code) << "the Set was refused";
        const std::vector<std::uint8_t> request = page.nextRequest();
        page.rig.port.feed(controller.answer(request));
        ASSERT_TRUE(page.runUntilIdle());
        ASSERT_FALSE(page.messages().empty());
        EXPECT_EQ(page.messages().back().message.caption, button.successCaption);
        page.rig.window.closeAll();
    }
    EXPECT_EQ(page.rig.port.writes().size(), 11u);
    for (std::size_t reg = 0; reg < before.size(); ++reg) {
        EXPECT_EQ(controller.registers[reg], before[reg]) << "register " << reg;
    }
}

TEST(FirmwareVersion, ShowsTheTextUpToTheFirstZeroByte) {
    PageRig page;
    page.view.SWV->setText("old");
    page.page->Button5Click();
    EXPECT_EQ(page.state().PendingCommand, 10);

    std::vector<std::uint8_t> reply{0x01, 0x04, 24};
    const std::string text = "\xB0\xE6\xB1\xBE"
                             "V1.02"; // "版本V1.02" in code page 936
    reply.insert(reply.end(), text.begin(), text.end());
    reply.resize(3 + 24, 0);
    reply[3 + 20] = 'Z'; // after the zero byte: not part of the text
    const std::vector<std::uint8_t> request = page.exchange(withCrc(reply));

    EXPECT_EQ(toHex(request), "01 04 00 0F 00 0C C0 0C");
    EXPECT_EQ(page.rig.window.intervalRestarts().front(), 200);
    EXPECT_EQ(page.view.SWV->text(), QString::fromUtf8("版本V1.02"));
    EXPECT_EQ(page.state().LinkAliveTicks, 30);
    EXPECT_TRUE(page.messages().empty());
}

TEST(FirmwareVersion, UnansweredReadKeepsTheOldText) {
    PageRig page;
    page.view.SWV->setText("V0.9");
    page.page->Button5Click();
    ASSERT_FALSE(page.nextRequest().empty());
    ASSERT_TRUE(page.runUntilIdle(110));
    EXPECT_EQ(page.view.SWV->text(), "V0.9");
    EXPECT_TRUE(page.messages().empty());
}
