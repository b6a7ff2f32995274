#include "AccessibleXYPlot.h"

#include "XYPlot.h"

namespace climate::widgets {

AccessibleXYPlot::AccessibleXYPlot(XYPlot* plot) : QAccessibleWidget(plot, QAccessible::Chart) {}

XYPlot* AccessibleXYPlot::plot() const {
    return static_cast<XYPlot*>(widget());
}

QString AccessibleXYPlot::text(QAccessible::Text t) const {
    if (t != QAccessible::Description)
        return QAccessibleWidget::text(t);
    QStringList channels;
    for (int i = 0; i < plot()->channelCount(); ++i) {
        const int count = plot()->pointCount(i);
        channels.append(QStringLiteral("%1: %2 %3")
                            .arg(plot()->channelName(i))
                            .arg(count)
                            .arg(count == 1 ? QStringLiteral("point") : QStringLiteral("points")));
    }
    const QString own = QAccessibleWidget::text(t);
    const QString list = channels.join(QStringLiteral("; "));
    return own.isEmpty() ? list : own + QStringLiteral(". ") + list;
}

} // namespace climate::widgets
