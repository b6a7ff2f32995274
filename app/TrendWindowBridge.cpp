#include "TForm1.h"

#include "TrendLogImport.h"

#include "trend/TrendHistory.h"
#include "trend/TrendWindow.h"

#include <QPushButton>
#include <QShortcut>

namespace climate::app {

void TForm1::addTrendButton() {
    // Beside the bus monitor's button, so it is there whatever page is shown.
    m_trendButton = new QPushButton(QStringLiteral("Trend"), this);
    m_trendButton->setObjectName(QStringLiteral("TrendButton"));
    m_trendButton->setGeometry(726, 0, 56, 22);
    m_trendButton->setFocusPolicy(Qt::TabFocus);
    m_trendButton->setToolTip(QStringLiteral("Every live value over time, and old test logs "
                                             "(Ctrl+T)"));
    m_trendButton->setAccessibleName(QStringLiteral("Trend"));
    connect(m_trendButton, &QPushButton::clicked, this, &TForm1::openTrend);
    auto* shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_T), this);
    shortcut->setContext(Qt::ApplicationShortcut);
    connect(shortcut, &QShortcut::activated, this, &TForm1::openTrend);
}

void TForm1::openTrend() {
    if (m_trend == nullptr) {
        m_trend = std::make_unique<trend::TrendWindow>(*m_trendHistory, this);
        m_trend->setLogOpener(&importTestLog);
    }
    m_trend->show();
    m_trend->raise();
    m_trend->activateWindow();
}

} // namespace climate::app
