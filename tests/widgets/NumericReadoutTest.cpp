#include "widgets/NumericReadout.h"
#include "ImageProbe.h"

#include <QLocale>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace climate::widgets;

namespace {

TEST(NumericReadout, ShowsValueFollowedByUnit) {
    struct Case {
        double value;
        QString unit;
        int decimals;
        QString expected;
    };
    const Case cases[] = {
        {25.3, "℃", 1, "25.3 ℃"}, {-10, "℃", 1, "-10.0 ℃"}, {12.5, "A", 1, "12.5 A"},
        {12.7, "A", 0, "13 A"},   {48.3, "", 1, "48.3"},    {0, "V", 1, "0.0 V"},
    };
    for (const Case& c : cases) {
        NumericReadout readout;
        readout.setUnit(c.unit);
        if (c.decimals != 1) {
            readout.setDecimals(c.decimals);
        }
        readout.setValue(c.value);
        EXPECT_EQ(readout.text(), c.expected);
        EXPECT_EQ(readout.valueText(), c.expected);
    }
}

TEST(NumericReadout, DecimalPointIgnoresTheLocale) {
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    NumericReadout readout;
    readout.setUnit(QStringLiteral("V"));
    readout.setValue(27.5);
    const QString text = readout.text();
    QLocale::setDefault(previous);
    EXPECT_EQ(text, QStringLiteral("27.5 V"));
}

TEST(NumericReadout, NotifiesOnlyOnChange) {
    NumericReadout readout;
    QSignalSpy spy(&readout, &NumericReadout::valueChanged);
    readout.setValue(3.5);
    readout.setValue(3.5);
    readout.setValue(0);
    EXPECT_EQ(spy.size(), 2);
}

TEST(NumericReadout, DisabledReadoutLooksTheSame) {
    NumericReadout readout;
    readout.setUnit(QStringLiteral("A"));
    readout.setValue(12.5);
    const QImage enabled = ImageProbe::grab(readout, QSize(64, 21));
    readout.setEnabled(false);
    const QImage disabled = ImageProbe::grab(readout, QSize(64, 21));
    EXPECT_EQ(enabled, disabled);

    // And a new value shows.
    auto isInk = [](const QColor& c) { return ImageProbe::brightness(c) < 250; };
    EXPECT_GT(ImageProbe::count(enabled, isInk, QRect(4, 4, 56, 13)), 20);
    readout.setValue(88.8);
    EXPECT_NE(ImageProbe::grab(readout, QSize(64, 21)), disabled);
}

} // namespace
