#include "WindowStyle.h"

#include "Platform.h"

#include <QApplication>
#include <QFont>
#include <QPalette>
#include <QStyleFactory>

namespace climate::app {

void applyWindowStyle(QApplication& application) {
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));

    QFont font;
    font.setFamilies(platform::fontFamilies());
    font.setPixelSize(12);
    QApplication::setFont(font);

    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Window, QColor(0xdf, 0xe7, 0xf0));
    palette.setColor(QPalette::Button, QColor(0xee, 0xf2, 0xf6));
    palette.setColor(QPalette::Highlight, QColor(0x2f, 0x6d, 0xb5));
    QApplication::setPalette(palette);

    application.setStyleSheet(QStringLiteral(R"(
        QGroupBox {
            border: 1px solid #9fb2c6;
            border-radius: 5px;
            margin-top: 8px;
            background: rgba(255, 255, 255, 70);
        }
        QGroupBox::title {
            subcontrol-origin: margin;
            subcontrol-position: top left;
            left: 8px;
            padding: 0 3px;
            color: #1f3a5a;
            font-weight: bold;
        }
        QLineEdit { background: white; border: 1px solid #a9b8c8; border-radius: 2px; padding: 0 2px; }
        QLineEdit:disabled { background: #eef1f4; color: #30465e; }
        QTabWidget::pane { border: 1px solid #9fb2c6; top: -1px; }
    )"));
}

} // namespace climate::app
