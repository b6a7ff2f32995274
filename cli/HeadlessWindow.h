#pragma once

#include "link/Page.h"
#include "link/UserMessage.h"

#include <QTimer>

#include <functional>

namespace climate::cli {

// The engine's host for a program without a window. The program chooses the page the engine runs
// (`tick` hands it to the engine); the engine timer is a precise QTimer that calls `tick`, and
// keeps its countdown when the engine asks for the interval it already has. A box has no one to
// dismiss it: it goes to `tell` and counts as closed at once (its close step runs from the event
// loop, never inside the tick that raised it).
class HeadlessWindow : public link::MessagePresenter {
public:
    HeadlessWindow(std::function<void()> tick, std::function<void(const link::UserMessage&)> tell);
    HeadlessWindow(const HeadlessWindow&) = delete;
    HeadlessWindow& operator=(const HeadlessWindow&) = delete;

    void setVisiblePage(link::Page page) { m_page = page; }
    [[nodiscard]] link::Page visiblePage() const { return m_page; }
    // Starts and stops the engine timer (10 ms until the engine sets another interval).
    void startEngine();
    void stopEngine();
    [[nodiscard]] bool engineRunning() const { return m_timer.isActive(); }

    // The interval the engine asks for after a tick.
    void setEngineInterval(int milliseconds);
    void show(const link::UserMessage& message, std::function<void()> onClosed = {}) override;

private:
    QTimer m_timer;
    std::function<void(const link::UserMessage&)> m_tell;
    link::Page m_page = link::ConfigurationPage;
};

} // namespace climate::cli
