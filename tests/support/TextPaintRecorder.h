#pragma once

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPointF>
#include <QSize>
#include <QString>
#include <QTextItem>

#include <memory>
#include <vector>

// A paint device that draws nothing and keeps every text drawn on it, with where it was drawn:
// what a widget's painting writes, read without telling glyphs apart in pixels.
//
//     TextPaintRecorder recorder(chart.size());
//     QPainter painter(&recorder);
//     chart.paintChart(painter);
//     painter.end();
//     for (const auto& text : recorder.texts()) ...
class TextPaintRecorder : public QPaintDevice {
public:
    struct Text {
        QPointF at; // the baseline's start, in device coordinates
        QString text;
    };

    explicit TextPaintRecorder(QSize size) : m_size(size), m_engine(std::make_unique<Engine>()) {}
    ~TextPaintRecorder() override = default;

    [[nodiscard]] const std::vector<Text>& texts() const { return m_engine->texts; }
    [[nodiscard]] QPaintEngine* paintEngine() const override { return m_engine.get(); }

protected:
    [[nodiscard]] int metric(PaintDeviceMetric metric) const override {
        switch (metric) {
        case PdmWidth:
            return m_size.width();
        case PdmHeight:
            return m_size.height();
        case PdmWidthMM:
            return m_size.width() * 254 / 960;
        case PdmHeightMM:
            return m_size.height() * 254 / 960;
        case PdmNumColors:
            return 0x7fffffff;
        case PdmDepth:
            return 32;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 96;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return static_cast<int>(devicePixelRatioFScale());
        default:
            return 0;
        }
    }

private:
    class Engine : public QPaintEngine {
    public:
        Engine() : QPaintEngine(AllFeatures) {}
        bool begin(QPaintDevice*) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState&) override {}
        [[nodiscard]] Type type() const override { return User; }
        void drawTextItem(const QPointF& at, const QTextItem& item) override {
            texts.push_back({painter()->transform().map(at), item.text()});
        }
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
        void drawImage(const QRectF&, const QImage&, const QRectF&,
                       Qt::ImageConversionFlags) override {}
        void drawPath(const QPainterPath&) override {}
        void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
        void drawPolygon(const QPoint*, int, PolygonDrawMode) override {}
        void drawLines(const QLineF*, int) override {}
        void drawLines(const QLine*, int) override {}
        void drawRects(const QRectF*, int) override {}
        void drawRects(const QRect*, int) override {}
        void drawPoints(const QPointF*, int) override {}
        void drawPoints(const QPoint*, int) override {}
        void drawEllipse(const QRectF&) override {}

        std::vector<Text> texts;
    };

    QSize m_size;
    std::unique_ptr<Engine> m_engine;
};
