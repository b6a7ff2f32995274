#pragma once

#include <QLabel>

namespace climate::widgets {

// A caption drawn straight onto whatever lies behind it (a group box, a picture): no background
// of its own.
class CaptionLabel : public QLabel {
    Q_OBJECT

public:
    explicit CaptionLabel(QWidget* parent = nullptr);
    explicit CaptionLabel(const QString& text, QWidget* parent = nullptr);

    void setTextColor(const QColor& color);
    [[nodiscard]] QColor textColor() const;
};

} // namespace climate::widgets
