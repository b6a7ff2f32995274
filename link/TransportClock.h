#pragma once

#include "TransportDetails.h"

#include <optional>

namespace climate::link {

// A port layer's record of when received bytes arrived and when the last request left, for
// lastReadDetails(). The port calls it from its own events: the engine only sees its ticks.
class TransportClock {
public:
    using Clock = TransportDetails::Clock;

    // Opened or closed: nothing is known.
    void reset() { *this = {}; }

    // Bytes came in (readyRead): the oldest unread one is stamped once.
    void bytesArrived() {
        if (!m_firstUnread) {
            m_firstUnread = Clock::now();
        }
    }
    // The input was thrown away unread.
    void inputPurged() { m_firstUnread.reset(); }
    // A read took bytes; `inputEmpty` when nothing is left behind them.
    void bytesRead(bool inputEmpty) {
        m_lastReadArrival = m_firstUnread;
        if (inputEmpty) {
            m_firstUnread.reset();
        }
    }

    // A request was queued for sending.
    void requestQueued() {
        m_writeQueued = Clock::now();
        m_writeDone.reset();
    }
    // Bytes were written; `nothingLeft` when the request has gone to the driver in full.
    void bytesWritten(bool nothingLeft) {
        if (m_writeQueued && !m_writeDone && nothingLeft) {
            m_writeDone = Clock::now();
        }
    }

    // The arrival of the last read's bytes, and when the request before them had left (queued,
    // where the port has not yet seen it go).
    [[nodiscard]] TransportDetails details() const {
        TransportDetails details;
        details.firstByte = m_lastReadArrival;
        details.requestDone = m_writeDone ? m_writeDone : m_writeQueued;
        return details;
    }

private:
    std::optional<Clock::time_point> m_firstUnread; // arrival of the oldest byte not yet read
    std::optional<Clock::time_point> m_lastReadArrival;
    std::optional<Clock::time_point> m_writeQueued;
    std::optional<Clock::time_point> m_writeDone;
};

} // namespace climate::link
