#include "link/NumberText.h"

#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

using namespace climate::link;

namespace {

struct TenthsCase {
    const char* text;
    std::int64_t tenths;
};

class TruncatedTenths : public testing::TestWithParam<TenthsCase> {};

TEST_P(TruncatedTenths, TruncateTowardZeroFromTheTypedDigits) {
    EXPECT_EQ(DecimalNumber::parse(GetParam().text).truncatedTenths(), GetParam().tenths)
        << "'" << GetParam().text << "'";
}

// Binary floating point gets several of these wrong (25.3 * 10 = 252.99999...).
INSTANTIATE_TEST_SUITE_P(Link, TruncatedTenths,
                         testing::Values(TenthsCase{"25.3", 253}, TenthsCase{"0.3", 3},
                                         TenthsCase{"-0.3", -3}, TenthsCase{"12.7", 127},
                                         TenthsCase{"25.36", 253}, TenthsCase{"-5.5", -55},
                                         TenthsCase{"47.05", 470}, TenthsCase{"70.1", 701},
                                         TenthsCase{"2.53e1", 253}, TenthsCase{" 25.3 ", 253},
                                         TenthsCase{"-0.05", 0}, TenthsCase{"+4", 40},
                                         TenthsCase{".5", 5}, TenthsCase{"3.", 30},
                                         TenthsCase{"253E-1", 253}, TenthsCase{"0", 0},
                                         // beyond 2^53 tenths, where doubles skip integers
                                         TenthsCase{"-967081890000010.300060", -9670818900000103}));

TEST(TruncatedTenths, HugeValuesSaturateWithTheirSign) {
    const std::int64_t saturation = std::int64_t{1} << 62;
    EXPECT_EQ(DecimalNumber::parse("1e300").truncatedTenths(), saturation);
    EXPECT_EQ(DecimalNumber::parse("-1e300").truncatedTenths(), -saturation);
    EXPECT_EQ(DecimalNumber::parse("1e-300").truncatedTenths(), 0);
    EXPECT_EQ(DecimalNumber::parse("1e99999999999999999999").integerPart(), saturation);
}

struct DoubleCase {
    std::string text;
    double value;
};

class ToDouble : public testing::TestWithParam<DoubleCase> {};

TEST_P(ToDouble, GivesTheNearestDoubleAndInfinityOrZeroByMagnitude) {
    EXPECT_EQ(DecimalNumber::parse(GetParam().text).toDouble(), GetParam().value)
        << "'" << GetParam().text.substr(0, 40) << "'";
}

// Out of range, the magnitude decides: an exponent of 0 or below can still overflow.
INSTANTIATE_TEST_SUITE_P(
    Link, ToDouble,
    testing::Values(DoubleCase{"25.3", 25.3}, DoubleCase{"-0.5", -0.5}, DoubleCase{"0", 0.0},
                    DoubleCase{"1" + std::string(309, '0'), HUGE_VAL},
                    DoubleCase{"-1" + std::string(309, '0'), -HUGE_VAL},
                    DoubleCase{"1" + std::string(500, '0') + "e-100", HUGE_VAL},
                    DoubleCase{"1e400", HUGE_VAL}, DoubleCase{"1e-400", 0.0},
                    DoubleCase{"0." + std::string(400, '0') + "1", 0.0},
                    DoubleCase{"0." + std::string(400, '0') + "1e800", HUGE_VAL},
                    DoubleCase{"1.7976931348623157e308", 1.7976931348623157e308}));

class FloatRefusals : public testing::TestWithParam<const char*> {};

TEST_P(FloatRefusals, RaiseTheConversionErrorWithTheTrimmedText) {
    const std::string text = GetParam();
    try {
        (void)DecimalNumber::parse(text);
        FAIL() << "'" << text << "' was accepted";
    } catch (const ConversionError& error) {
        const std::string trimmedText(trimmed(text));
        EXPECT_EQ(std::string(error.what()),
                  "'" + trimmedText + "' is not a valid floating point value");
    }
}

INSTANTIATE_TEST_SUITE_P(Link, FloatRefusals,
                         testing::Values("", "   ", "abc", "1,5", "inf", "nan", "0x10", "1e", ".",
                                         "-", "1e+", "2.5.1", "- 5", " 12a "));

TEST(FloatRefusals, MessageQuotesTheTextWithoutItsBlanks) {
    try {
        (void)DecimalNumber::parse("  abc ");
        FAIL() << "accepted";
    } catch (const ConversionError& error) {
        EXPECT_STREQ(error.what(), "'abc' is not a valid floating point value");
    }
}

TEST(DecimalCompare, ExactAgainstWholeNumbers) {
    EXPECT_LT(DecimalNumber::parse("-40.01").compare(-40), 0);
    EXPECT_EQ(DecimalNumber::parse("-40").compare(-40), 0);
    EXPECT_GT(DecimalNumber::parse("-39.99").compare(-40), 0);
    EXPECT_LT(DecimalNumber::parse("99.999999").compare(100), 0);
    EXPECT_EQ(DecimalNumber::parse("100").compare(100), 0);
    EXPECT_EQ(DecimalNumber::parse("100.000").compare(100), 0);
    EXPECT_EQ(DecimalNumber::parse("1e2").compare(100), 0);
    EXPECT_GT(DecimalNumber::parse("100.0000001").compare(100), 0);
    EXPECT_LT(DecimalNumber::parse("-0.5").compare(0), 0);
    EXPECT_GT(DecimalNumber::parse("0.5").compare(0), 0);
}

TEST(ParseInteger, AcceptsSignedDecimalsThatFit32Bits) {
    EXPECT_EQ(parseInteger("255"), 255);
    EXPECT_EQ(parseInteger(" -1 "), -1);
    EXPECT_EQ(parseInteger("2147483647"), 2147483647);
    EXPECT_EQ(parseInteger("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(parseInteger("+7"), 7);
}

class IntegerRefusals : public testing::TestWithParam<const char*> {};

TEST_P(IntegerRefusals, RaiseTheConversionErrorWithTheTrimmedText) {
    const std::string text = GetParam();
    try {
        (void)parseInteger(text);
        FAIL() << "'" << text << "' was accepted";
    } catch (const ConversionError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "'" + std::string(trimmed(text)) + "' is not a valid integer value");
    }
}

INSTANTIATE_TEST_SUITE_P(Link, IntegerRefusals,
                         testing::Values("2147483648", "-2147483649", "99999999999999999999", "2.5",
                                         "", "abc", "-", "1e3", " 12 3 "));

TEST(IntegerRefusals, ExactMessageForAFraction) {
    try {
        (void)parseInteger("2.5");
        FAIL() << "accepted";
    } catch (const ConversionError& error) {
        EXPECT_STREQ(error.what(), "'2.5' is not a valid integer value");
    }
}

TEST(FormatGeneral, ShortestFormWithPoint) {
    EXPECT_EQ(formatGeneral(25.3), "25.3");
    EXPECT_EQ(formatGeneral(-5.5), "-5.5");
    EXPECT_EQ(formatGeneral(25.0), "25");
    EXPECT_EQ(formatGeneral(-3.0), "-3");
    EXPECT_EQ(formatGeneral(0.1 * 253), "25.3");
    EXPECT_EQ(formatGeneral(0.0), "0");
}

// Switches the C library and Qt to German number formatting for one test and back afterwards.
class GermanLocale : public testing::Test {
protected:
    static void SetUpTestSuite() { s_name = findOrBuildGerman(); }
    static void TearDownTestSuite() { s_folder.reset(); }

    void SetUp() override {
        m_previousC = std::setlocale(LC_ALL, nullptr);
        m_previousQt = QLocale();
        if (s_name.empty() || !select(s_name)) {
            GTEST_SKIP() << "no German locale can be set or built here (Debian package 'locales')";
        }
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }
    void TearDown() override {
        std::setlocale(LC_ALL, m_previousC.c_str());
        QLocale::setDefault(m_previousQt);
    }

private:
    static bool select(const std::string& name) {
        if (s_folder) {
            qputenv("LOCPATH", s_folder->path().toLocal8Bit());
        }
        const bool selected = std::setlocale(LC_ALL, name.c_str()) != nullptr;
        qunsetenv("LOCPATH");
        return selected;
    }

    static std::string findOrBuildGerman() {
        const std::string previous = std::setlocale(LC_ALL, nullptr);
        std::string found;
        // The POSIX names, then the Windows C library's.
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "German_Germany.1252"}) {
            if (std::setlocale(LC_ALL, name) != nullptr) {
                found = name;
                break;
            }
        }
        std::setlocale(LC_ALL, previous.c_str());
        if (!found.empty()) {
            return found;
        }
        // Not installed: build the locale's definition into a temporary folder.
        s_folder = std::make_unique<QTemporaryDir>();
        if (!s_folder->isValid()) {
            return {};
        }
        const std::string name = "de_DE.ISO-8859-1";
        const std::string command = "localedef -i de_DE -f ISO-8859-1 '" +
                                    s_folder->path().toStdString() + "/" + name +
                                    "' >/dev/null 2>&1";
        return std::system(command.c_str()) == 0 ? name : std::string();
    }

    static inline std::unique_ptr<QTemporaryDir> s_folder;
    static inline std::string s_name;
    std::string m_previousC;
    QLocale m_previousQt;
};

TEST_F(GermanLocale, FormatGeneralStillWritesAPoint) {
    // The locale really is in force: the C library now writes a comma.
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%g", 25.3);
    ASSERT_STREQ(buffer, "25,3");
    ASSERT_EQ(QLocale().toString(25.3), QStringLiteral("25,3"));

    EXPECT_EQ(formatGeneral(25.3), "25.3");
    EXPECT_EQ(formatGeneral(-5.5), "-5.5");
    EXPECT_EQ(formatGeneral(0.1 * 253), "25.3");
}

TEST_F(GermanLocale, ParsingStillTakesAPointAndRefusesAComma) {
    EXPECT_EQ(DecimalNumber::parse("25.3").truncatedTenths(), 253);
    EXPECT_THROW((void)DecimalNumber::parse("25,3"), ConversionError);
}

} // namespace
