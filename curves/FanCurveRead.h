#pragma once

#include "FanCurveParameters.h"

#include "link/Transaction.h"

namespace climate::widgets {
class XYPlot;
} // namespace climate::widgets

namespace climate::curves {

// The Declaration page's read of one fan group (function 3, eleven holding registers). A good
// reply replaces the group's parameters and redraws its curve on the group's plot channel; a
// rejected or unanswered read ends silently and leaves the channel as the Draw button left it
// (empty) and the parameters as they were.
class FanCurveRead : public link::CommandTransaction {
public:
    static constexpr int FirstWaitMs = 200;
    // `plot` is not owned and may be null (nothing is drawn then).
    FanCurveRead(const link::RequestShape& shape, widgets::XYPlot* plot, int channel);

    void onGood(link::TransactionContext& context, std::span<const std::uint8_t> reply) override;
    void onWrongHeader(link::TransactionContext& context) override;
    void onTimeout(link::TransactionContext& context) override;

    [[nodiscard]] const FanCurveParameters& parameters() const { return m_parameters; }
    [[nodiscard]] int channel() const { return m_channel; }

private:
    void draw();

    widgets::XYPlot* m_plot = nullptr;
    int m_channel = 0;
    FanCurveParameters m_parameters;
};

} // namespace climate::curves
