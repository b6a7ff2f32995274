#pragma once

#include "link/EngineWindow.h"

#include <QTimer>

#include <functional>

namespace climate::cli {

// The engine's window for a program without one. The program chooses the visible page; the
// engine timer is a precise QTimer that calls `tick`, and keeps its countdown when the engine asks
// for the interval it already has; the link bar is a number nobody sees. A box has no one to
// dismiss it: it goes to `tell` and counts as closed at once (its close step runs from the event
// loop, never inside the tick that raised it).
class HeadlessWindow : public link::EngineWindow {
public:
    HeadlessWindow(std::function<void()> tick, std::function<void(const link::UserMessage&)> tell);
    HeadlessWindow(const HeadlessWindow&) = delete;
    HeadlessWindow& operator=(const HeadlessWindow&) = delete;

    void setVisiblePage(Page page) { m_page = page; }
    // Starts and stops the engine timer (10 ms until the engine sets another interval).
    void startEngine();
    void stopEngine();
    [[nodiscard]] bool engineRunning() const { return m_timer.isActive(); }

    [[nodiscard]] int visiblePage() const override { return m_page; }
    void forceWindowSize() override {}
    void setEngineInterval(int milliseconds) override;
    [[nodiscard]] double linkBarPosition() const override { return m_linkBar; }
    void setLinkBarPosition(double position) override { m_linkBar = position; }
    void show(const link::UserMessage& message, std::function<void()> onClosed = {}) override;

private:
    QTimer m_timer;
    std::function<void(const link::UserMessage&)> m_tell;
    Page m_page = ConfigurationPage;
    double m_linkBar = 0;
};

} // namespace climate::cli
