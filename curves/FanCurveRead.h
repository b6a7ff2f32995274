#pragma once

#include "FanCurveRecords.h"

#include "link/Transaction.h"

namespace climate::curves {

// The Declaration page's read of one fan group (function 3, eleven holding registers). A good
// reply replaces the group's record, which draws its curve; a rejected or unanswered read ends
// silently and leaves the record as the Draw button left it (cleared).
class FanCurveRead : public link::CommandTransaction {
public:
    static constexpr int FirstWaitMs = 200;

    FanCurveRead(const link::RequestShape& shape, FanCurveRecords& records,
                 FanCurveRecords::Group group);

    void onGood(link::TransactionContext& context, std::span<const std::uint8_t> reply) override;
    void onWrongHeader(link::TransactionContext& context) override;
    void onTimeout(link::TransactionContext& context) override;

    [[nodiscard]] FanCurveRecords::Group group() const { return m_group; }

private:
    FanCurveRecords& m_records;
    FanCurveRecords::Group m_group;
};

} // namespace climate::curves
