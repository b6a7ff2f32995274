#pragma once

#include "LiveData.h"
#include "LiveDataDecoding.h"
#include "LiveGroup.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

namespace climate::realtime {

using LiveClock = std::chrono::system_clock;

// What a view of the live values learns from the model. Only groupDecoded must be handled.
class LiveDataListener {
public:
    virtual ~LiveDataListener() = default;
    // `group` has been decoded into `live` from a reply that arrived at `arrived`.
    virtual void groupDecoded(LiveGroup group, const LiveData& live,
                              LiveClock::time_point arrived) = 0;
    // The link counts as lost: called on every Timer1 tick while it does, after the record's
    // cleared values have been zeroed; `first` on the tick that found it lost.
    virtual void linkLost(const LiveData& live, LiveClock::time_point at, bool first) {
        (void)live, (void)at, (void)first;
    }
    // A reply arrived after the link had counted as lost (before that reply's groupDecoded).
    virtual void linkReturned(LiveClock::time_point at) { (void)at; }
    // Polling has stopped (another page is shown, or the port is closed) after it had delivered
    // values; called once per stop.
    virtual void pollingStopped(LiveClock::time_point at) { (void)at; }
};

// The latest decoded live values and the one place that publishes them: the poll steps decode
// into the record and announce the group; the instruments, the test log and the trend listen.
// Listeners are told in the order they subscribed. One that throws does not keep the others from
// hearing the news: the first error is thrown again once all have been told.
class LiveDataModel {
public:
    using Clock = std::function<LiveClock::time_point()>;

    // `clock`: the time stamped on each event (the system clock unless given).
    explicit LiveDataModel(Clock clock = {});
    LiveDataModel(const LiveDataModel&) = delete;
    LiveDataModel& operator=(const LiveDataModel&) = delete;

    // The record the poll steps decode into.
    [[nodiscard]] LiveData& record() { return m_record; }
    [[nodiscard]] const LiveData& record() const { return m_record; }

    // `listener` must stay until it unsubscribes or the model goes.
    void subscribe(LiveDataListener& listener);
    void unsubscribe(LiveDataListener& listener);

    // A group has been decoded into the record from a reply that has just arrived.
    void groupDecoded(LiveGroup group);
    // One Timer1 tick with the link counting as lost: zeroes the values the controller re-sends on
    // every poll (see clearLostLinkRecord) and tells the listeners.
    void linkLostTick();
    // Polling does not run now; only the first call after values arrived tells the listeners.
    void pollingStopped();

    [[nodiscard]] bool linkCountsLost() const { return m_linkLost; }

private:
    template <typename Event> void notify(const Event& event);

    Clock m_clock;
    LiveData m_record;
    std::vector<LiveDataListener*> m_listeners;
    bool m_linkLost = false;
    bool m_delivering = false; // values have arrived since polling last stopped
};

} // namespace climate::realtime
