#include "TForm1.h"

#include "TrendLogImport.h"

#include "trend/TrendHistory.h"
#include "trend/TrendWindow.h"

namespace climate::app {

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
