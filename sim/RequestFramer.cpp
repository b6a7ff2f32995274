#include "RequestFramer.h"

#include "RtuCrc.h"

namespace sim {

namespace {

constexpr std::size_t MaxFrame = 256;

enum class Length { Unknown, NeedMore, Known };

// Length of the request at the start of buffer, as far as its first bytes tell.
Length requestLength(std::span<const std::uint8_t> buffer, std::size_t& length) {
    if (buffer.size() < 2)
        return Length::NeedMore;
    const std::uint8_t function = buffer[1];
    if (function >= 1 && function <= 6) {
        length = 8;
        return Length::Known;
    }
    if (function == 15 || function == 16) {
        if (buffer.size() < 7)
            return Length::NeedMore;
        length = 9 + static_cast<std::size_t>(buffer[6]);
        return Length::Known;
    }
    return Length::Unknown;
}

} // namespace

RequestFramer::RequestFramer(std::chrono::milliseconds gap) : m_gap(gap) {}

void RequestFramer::feed(std::span<const std::uint8_t> bytes, Clock::time_point now) {
    if (bytes.empty())
        return;
    m_buffer.insert(m_buffer.end(), bytes.begin(), bytes.end());
    m_lastByte = now;
    // Whatever cannot belong to one frame any more is old noise.
    if (m_buffer.size() > 4 * MaxFrame) {
        const std::size_t excess = m_buffer.size() - MaxFrame;
        m_buffer.erase(m_buffer.begin(), m_buffer.begin() + static_cast<long>(excess));
        m_skipped += excess;
    }
}

bool RequestFramer::completeFrameLater() const {
    const std::span<const std::uint8_t> bytes(m_buffer);
    for (std::size_t start = 1; start + 8 <= bytes.size(); ++start) {
        std::size_t length = 0;
        const auto rest = bytes.subspan(start);
        if (requestLength(rest, length) == Length::Known && rest.size() >= length &&
            hasValidCrc(rest.first(length)))
            return true;
    }
    return false;
}

void RequestFramer::skipOne() {
    m_buffer.erase(m_buffer.begin());
    ++m_skipped;
}

std::optional<std::vector<std::uint8_t>> RequestFramer::next(Clock::time_point now) {
    while (!m_buffer.empty()) {
        const bool quiet = now - m_lastByte >= m_gap;
        std::size_t length = 0;
        switch (requestLength(m_buffer, length)) {
        case Length::Known:
            if (m_buffer.size() < length) {
                if (!quiet && !completeFrameLater())
                    return std::nullopt;
                skipOne();
                continue;
            }
            if (hasValidCrc(std::span(m_buffer).first(length))) {
                std::vector<std::uint8_t> frame(m_buffer.begin(),
                                                m_buffer.begin() + static_cast<long>(length));
                m_buffer.erase(m_buffer.begin(), m_buffer.begin() + static_cast<long>(length));
                return frame;
            }
            skipOne();
            continue;
        case Length::NeedMore:
            if (!quiet)
                return std::nullopt;
            skipOne();
            continue;
        case Length::Unknown:
            if (!quiet) {
                if (!completeFrameLater())
                    return std::nullopt;
                skipOne();
                continue;
            }
            if (m_buffer.size() >= 4 && m_buffer.size() <= MaxFrame && hasValidCrc(m_buffer)) {
                std::vector<std::uint8_t> frame;
                frame.swap(m_buffer);
                return frame;
            }
            skipOne();
            continue;
        }
    }
    return std::nullopt;
}

std::optional<RequestFramer::Clock::time_point> RequestFramer::deadline() const {
    if (m_buffer.empty())
        return std::nullopt;
    return m_lastByte + m_gap;
}

void RequestFramer::reset() {
    m_buffer.clear();
}

} // namespace sim
