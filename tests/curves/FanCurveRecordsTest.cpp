#include "curves/FanCurveRecords.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <stdexcept>

using namespace climate::curves;

namespace {

FanCurveParameters someParameters(std::uint32_t minRev) {
    FanCurveParameters parameters;
    parameters.MinRev = minRev;
    parameters.StopTemp = 25.5F;
    return parameters;
}

} // namespace

// The records alone, as the reads and the Draw buttons change them and a view hears of it.
TEST(FanCurveRecords, ADrawClearsAndRaisesItsGroupAndAGoodReadDrawsIt) {
    FanCurveRecords records;
    QSignalSpy changed(&records, &FanCurveRecords::curveChanged);
    QSignalSpy raised(&records, &FanCurveRecords::raised);

    records.readReceived(FanCurveRecords::ExternalFans, someParameters(60));
    records.readPosted(FanCurveRecords::InternalFans);
    EXPECT_FALSE(records.isDrawn(FanCurveRecords::InternalFans));
    EXPECT_TRUE(records.isDrawn(FanCurveRecords::ExternalFans)) << "the other curve stays";
    ASSERT_EQ(raised.count(), 1);
    EXPECT_EQ(raised.at(0).at(0).value<FanCurveRecords::Group>(), FanCurveRecords::InternalFans);

    records.readReceived(FanCurveRecords::InternalFans, someParameters(1001));
    EXPECT_TRUE(records.isDrawn(FanCurveRecords::InternalFans));
    EXPECT_EQ(records.parameters(FanCurveRecords::InternalFans), someParameters(1001));
    EXPECT_EQ(records.parameters(FanCurveRecords::ExternalFans), someParameters(60));
    ASSERT_EQ(changed.count(), 3);
    EXPECT_EQ(changed.at(2).at(0).value<FanCurveRecords::Group>(), FanCurveRecords::InternalFans);

    // A second Draw whose read then fails: the curve stays cleared, the parameters as they were.
    records.readPosted(FanCurveRecords::InternalFans);
    EXPECT_FALSE(records.isDrawn(FanCurveRecords::InternalFans));
    EXPECT_EQ(records.parameters(FanCurveRecords::InternalFans), someParameters(1001));
}

TEST(FanCurveRecords, AGroupThatIsNotThereIsAWiringFault) {
    FanCurveRecords records;
    const auto none = static_cast<FanCurveRecords::Group>(2);
    EXPECT_THROW(records.readPosted(none), std::logic_error);
    EXPECT_THROW((void)records.isDrawn(none), std::logic_error);
    EXPECT_EQ(FanCurveRecords::otherGroup(FanCurveRecords::ExternalFans),
              FanCurveRecords::InternalFans);
}
