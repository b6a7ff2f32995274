#include "LiveDataModel.h"

#include <algorithm>
#include <exception>

namespace climate::realtime {

LiveDataModel::LiveDataModel(Clock clock) : m_clock(std::move(clock)) {
    if (!m_clock) {
        m_clock = [] { return LiveClock::now(); };
    }
}

void LiveDataModel::subscribe(LiveDataListener& listener) {
    if (std::find(m_listeners.begin(), m_listeners.end(), &listener) == m_listeners.end()) {
        m_listeners.push_back(&listener);
    }
}

void LiveDataModel::unsubscribe(LiveDataListener& listener) {
    std::erase(m_listeners, &listener);
}

template <typename Event> void LiveDataModel::notify(const Event& event) {
    std::exception_ptr first;
    // A copy: a listener may subscribe another one while it is told.
    const std::vector<LiveDataListener*> listeners = m_listeners;
    for (LiveDataListener* listener : listeners) {
        try {
            event(*listener);
        } catch (...) {
            if (!first) {
                first = std::current_exception();
            }
        }
    }
    if (first) {
        std::rethrow_exception(first);
    }
}

void LiveDataModel::groupDecoded(LiveGroup group) {
    const LiveClock::time_point arrived = m_clock();
    m_delivering = true;
    if (m_linkLost) {
        m_linkLost = false;
        notify([&](LiveDataListener& l) { l.linkReturned(arrived); });
    }
    notify([&](LiveDataListener& l) { l.groupDecoded(group, m_record, arrived); });
}

void LiveDataModel::linkLostTick() {
    const LiveClock::time_point at = m_clock();
    const bool first = !m_linkLost;
    m_linkLost = true;
    clearLostLinkRecord(m_record);
    notify([&](LiveDataListener& l) { l.linkLost(m_record, at, first); });
}

void LiveDataModel::pollingStopped() {
    if (!m_delivering) {
        return;
    }
    m_delivering = false;
    const LiveClock::time_point at = m_clock();
    notify([&](LiveDataListener& l) { l.pollingStopped(at); });
}

} // namespace climate::realtime
