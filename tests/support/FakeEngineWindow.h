#pragma once

#include "link/EngineWindow.h"

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <vector>

// The main window as the engine sees it, for tests: a visible page to set, the engine timer's
// interval with the same restart rule as the real timer, the link bar, and message boxes that stay
// "open" until the test closes them.
//
// Message boxes behave like the window's: showing one never blocks; its onClosed runs only when
// the test calls closeMessage()/closeAll(). A box whose repeatKey matches a box still open is not
// shown: it is only counted (suppressedRepeats) and its onClosed is dropped.
class FakeEngineWindow : public climate::link::EngineWindow {
public:
    struct ShownMessage {
        climate::link::UserMessage message;
        std::function<void()> onClosed;
        bool closed = false;
    };

    // `initialIntervalMs`: the engine timer's interval before the engine first sets it.
    explicit FakeEngineWindow(int initialIntervalMs = 10) : m_interval(initialIntervalMs) {}

    // --- EngineWindow -------------------------------------------------------------------------
    [[nodiscard]] int visiblePage() const override { return m_page; }
    void forceWindowSize() override { ++m_forcedSizes; }
    // Every call is recorded; only a value different from the current one restarts the
    // countdown (recorded in intervalRestarts()).
    void setEngineInterval(int milliseconds) override;
    [[nodiscard]] double linkBarPosition() const override { return m_linkBar; }
    void setLinkBarPosition(double position) override;
    void show(const climate::link::UserMessage& message,
              std::function<void()> onClosed = {}) override;

    // --- the page control ---------------------------------------------------------------------
    void setVisiblePage(int page) { m_page = page; }

    // --- records ------------------------------------------------------------------------------
    // How often the window was forced to its fixed size.
    [[nodiscard]] int forcedSizeCount() const { return m_forcedSizes; }
    // The interval in force.
    [[nodiscard]] int engineInterval() const { return m_interval; }
    // Every value passed to setEngineInterval, in order.
    [[nodiscard]] const std::vector<int>& intervalRequests() const { return m_intervalRequests; }
    // The values that changed the interval and so restarted the countdown, in order.
    [[nodiscard]] const std::vector<int>& intervalRestarts() const { return m_intervalRestarts; }
    [[nodiscard]] int linkBarUpdates() const { return m_linkBarUpdates; }

    // Every box shown (suppressed repeats excluded), oldest first.
    [[nodiscard]] const std::vector<ShownMessage>& messages() const { return m_messages; }
    [[nodiscard]] std::vector<std::string> messageTexts() const;
    [[nodiscard]] int openMessageCount() const;
    [[nodiscard]] int suppressedRepeats(const std::string& repeatKey) const;
    // The user dismisses box `index`: it is marked closed and its onClosed runs (once). Closing a
    // closed box does nothing.
    void closeMessage(std::size_t index);
    // Dismisses every open box, oldest first, also those that onClosed callbacks show meanwhile.
    void closeAll();

    // Forgets interval requests and restarts, forced sizes and link bar updates; the interval in
    // force, the bar position and the boxes stay.
    void clearRecords();

private:
    int m_page = ConfigurationPage;
    int m_interval;
    int m_forcedSizes = 0;
    std::vector<int> m_intervalRequests;
    std::vector<int> m_intervalRestarts;
    double m_linkBar = 0;
    int m_linkBarUpdates = 0;
    std::vector<ShownMessage> m_messages;
    std::map<std::string, int> m_suppressed;
};
