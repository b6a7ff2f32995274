#include "LinearScaleDraw.h"

#include "InstrumentPainting.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPalette>

#include <algorithm>

namespace climate::widgets {

void LinearScaleDraw::setScale(const ScaleMap& heights, const ScaleDiv& div) {
    m_heights = heights;
    m_div = div;
}

void LinearScaleDraw::draw(QPainter* painter, const QPalette& palette, const QFont& font,
                           double deviceScale) const {
    drawTicks(painter, palette);
    drawLabels(painter, palette, font, deviceScale);
    drawUnit(painter, font, deviceScale);
}

void LinearScaleDraw::drawTicks(QPainter* painter, const QPalette& palette) const {
    const QColor ink = palette.color(QPalette::Text);
    const auto tick = [&](double value, double right) {
        painter->drawLine(QPointF(m_layout.tickLeft, m_heights.transform(value)),
                          QPointF(right, m_heights.transform(value)));
    };
    painter->setPen(QPen(ink, 0.9, Qt::SolidLine, Qt::FlatCap));
    for (const double v : m_div.minorTicks()) {
        tick(v, m_layout.minorRight);
    }
    painter->setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::FlatCap));
    for (const double v : m_div.majorTicks()) {
        tick(v, m_layout.majorRight);
    }
    painter->drawLine(QPointF(m_layout.tickLeft, m_heights.transform(m_heights.s1())),
                      QPointF(m_layout.tickLeft, m_heights.transform(m_heights.s2())));
}

void LinearScaleDraw::drawLabels(QPainter* painter, const QPalette& palette, const QFont& font,
                                 double deviceScale) const {
    // Labels as large as the gap allows, but never below a readable size on screen.
    QFont labelFont = InstrumentPainting::logicalFont(font, m_layout.labelPixels, deviceScale, 7.5);
    double widest = 0.0;
    for (const double v : m_div.majorTicks()) {
        widest = std::max(widest, QFontMetricsF(labelFont).horizontalAdvance(m_div.label(v)));
    }
    const double room = m_layout.labelRight - m_layout.majorRight - 1.5;
    if (widest > room) {
        labelFont.setStretch(std::max(70, static_cast<int>(100.0 * room / widest)));
    }
    const QFontMetricsF metrics(labelFont);
    painter->setFont(labelFont);
    painter->setPen(palette.color(QPalette::Text));
    for (const double v : m_div.majorTicks()) {
        const QString text = m_div.label(v);
        const double w = metrics.horizontalAdvance(text);
        painter->drawText(
            QPointF(m_layout.labelRight - w, m_heights.transform(v) + metrics.capHeight() / 2.0),
            text);
    }
}

void LinearScaleDraw::drawUnit(QPainter* painter, const QFont& font, double deviceScale) const {
    if (m_unitText.isEmpty()) {
        return;
    }
    const QFont unitFont = InstrumentPainting::logicalFont(font, 11.0, deviceScale, 7.0);
    painter->setFont(unitFont);
    const QFontMetricsF unitMetrics(unitFont);
    painter->drawText(QPointF(m_layout.labelRight - unitMetrics.horizontalAdvance(m_unitText),
                              m_heights.p2() - m_layout.unitAbove),
                      m_unitText);
}

} // namespace climate::widgets
