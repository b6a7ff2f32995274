#pragma once

#include "link/Page.h"
#include "link/UserMessage.h"

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <vector>

// The main window around the engine, for tests: the visible page the driver hands the engine on
// each tick, the engine timer's interval (the driver applies the engine's after each tick) with
// the same restart rule as the real timer, and message boxes that stay "open" until the test
// closes them.
//
// Message boxes behave like the window's: showing one never blocks; its onClosed runs only when
// the test calls closeMessage()/closeAll(). A box whose repeatKey matches a box still open is not
// shown: it is only counted (suppressedRepeats) and its onClosed is dropped.
class FakeEngineWindow : public climate::link::MessagePresenter {
public:
    struct ShownMessage {
        climate::link::UserMessage message;
        std::function<void()> onClosed;
        bool closed = false;
    };

    // `initialIntervalMs`: the engine timer's interval before the first tick applies the engine's.
    explicit FakeEngineWindow(int initialIntervalMs = 10) : m_interval(initialIntervalMs) {}

    // --- MessagePresenter ---------------------------------------------------------------------
    void show(const climate::link::UserMessage& message,
              std::function<void()> onClosed = {}) override;

    // --- the page control ---------------------------------------------------------------------
    [[nodiscard]] int visiblePage() const { return m_page; }
    void setVisiblePage(int page) { m_page = page; }

    // --- the engine timer ---------------------------------------------------------------------
    // Every call is recorded; only a value different from the current one restarts the
    // countdown (recorded in intervalRestarts()).
    virtual void setEngineInterval(int milliseconds);

    // --- records ------------------------------------------------------------------------------
    // The interval in force.
    [[nodiscard]] int engineInterval() const { return m_interval; }
    // Every value passed to setEngineInterval, in order.
    [[nodiscard]] const std::vector<int>& intervalRequests() const { return m_intervalRequests; }
    // The values that changed the interval and so restarted the countdown, in order.
    [[nodiscard]] const std::vector<int>& intervalRestarts() const { return m_intervalRestarts; }

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

    // Forgets interval requests and restarts; the interval in force and the boxes stay.
    void clearRecords();

private:
    int m_page = climate::link::ConfigurationPage;
    int m_interval;
    std::vector<int> m_intervalRequests;
    std::vector<int> m_intervalRestarts;
    std::vector<ShownMessage> m_messages;
    std::map<std::string, int> m_suppressed;
};
