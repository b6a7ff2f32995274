#pragma once

#include <QAccessibleWidget>

namespace climate::widgets {

class XYPlot;

// A plot reads as a chart whose description lists its channels and how many points each holds.
class AccessibleXYPlot : public QAccessibleWidget {
public:
    explicit AccessibleXYPlot(XYPlot* plot);

    [[nodiscard]] QString text(QAccessible::Text t) const override;

private:
    [[nodiscard]] XYPlot* plot() const;
};

} // namespace climate::widgets
