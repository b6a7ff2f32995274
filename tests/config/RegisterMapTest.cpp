#include "config/RegisterMap.h"
#include "config/FirmwareVersion.h"
#include "link/NumberText.h"

#include <gtest/gtest.h>

#include <set>

TEST(ReadAllForms, ShowRegistersAsUnsignedSignedAndTenths) {
    struct Case {
        ReadForm form;
        std::uint16_t word;
        const char* text;
    };
    const Case cases[]{
        {ReadForm::Tenths, 253, "25.3"},       {ReadForm::Tenths, 0xFFC9, "-5.5"},
        {ReadForm::Tenths, 250, "25"},         {ReadForm::Tenths, 0, "0"},
        {ReadForm::Tenths, 1, "0.1"},          {ReadForm::Tenths, 0xFFFF, "-0.1"},
        {ReadForm::Tenths, 0x7FFF, "3276.7"},  {ReadForm::Tenths, 0x8000, "-3276.8"},
        {ReadForm::Tenths, 3, "0.3"},          {ReadForm::Tenths, 701, "70.1"},
        {ReadForm::Signed, 0xFFFF, "-1"},      {ReadForm::Signed, 0x7FFF, "32767"},
        {ReadForm::Signed, 0x8000, "-32768"},  {ReadForm::Unsigned, 0xFFFF, "65535"},
        {ReadForm::Unsigned, 0x8000, "32768"}, {ReadForm::Unsigned, 0, "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.word);
        EXPECT_EQ(registerText(c.form, c.word), c.text);
    }
}

// What Read All shows in a tenths field converts back to the very register value, for every value
// a register can hold: a Read All followed by a Set leaves the controller as it was.
TEST(ReadAllForms, TenthsTextConvertsBackToTheSameRegister) {
    for (std::uint32_t word = 0; word <= 0xFFFF; ++word) {
        const std::string text = registerText(ReadForm::Tenths, static_cast<std::uint16_t>(word));
        const std::int64_t tenths = DecimalNumber::parse(text).truncatedTenths();
        ASSERT_EQ(static_cast<std::uint16_t>(tenths), word) << text;
        ASSERT_GE(tenths, -32768);
        ASSERT_LE(tenths, 32767);
    }
}

TEST(ReadAllForms, ComboValueSelectsOnlyAnItemOfTheList) {
    EXPECT_EQ(registerItem(0, 2), 0);
    EXPECT_EQ(registerItem(1, 2), 1);
    EXPECT_EQ(registerItem(2, 2), -1);
    EXPECT_EQ(registerItem(0xFFFF, 2), -1); // -1: no selection
    EXPECT_EQ(registerItem(0x8000, 2), -1);
}

TEST(ReadAllMap, ShowsEveryRegisterExceptTheDebugTemperatureAndTheUnusedOnes) {
    std::set<int> registers;
    std::set<std::pair<int, int>> controls;
    for (const RegisterField& field : readAllFields()) {
        registers.insert(field.reg);
        controls.insert({static_cast<int>(field.control.kind), field.control.number});
    }
    EXPECT_EQ(registers.size(), 44u);
    EXPECT_EQ(controls.size(), 44u) << "one control per register";
    for (const int skipped : {30, 31, 32}) {
        EXPECT_FALSE(registers.contains(skipped)) << skipped;
    }
    EXPECT_EQ(*registers.rbegin(), 46);
}

TEST(FirmwareVersionText, EndsAtTheFirstZeroByteAndDecodesCodePage936) {
    auto bytesOf = [](std::string_view text) {
        std::array<std::uint8_t, 24> bytes{};
        std::copy(text.begin(), text.end(), bytes.begin());
        return bytes;
    };
    EXPECT_EQ(decodeFirmwareVersion(bytesOf("V1.02")), QStringLiteral("V1.02"));
    EXPECT_EQ(decodeFirmwareVersion(bytesOf("")), QString());
    EXPECT_EQ(decodeFirmwareVersion(bytesOf("ABCDEFGHIJKLMNOPQRSTUVWX")),
              QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWX"));
    // Bytes after the first zero are not part of the text.
    auto split = bytesOf("V2");
    split[3] = 'X';
    EXPECT_EQ(decodeFirmwareVersion(split), QStringLiteral("V2"));
    // "版本V3.1" in GBK: two-byte characters, shown the same on any system.
    EXPECT_EQ(decodeFirmwareVersion(bytesOf("\xB0\xE6\xB1\xBE"
                                            "V3.1")),
              QString::fromUtf8("版本V3.1"));
}
