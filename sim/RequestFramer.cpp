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

RequestFramer::RequestFramer(std::chrono::milliseconds gap) : gap_(gap) {}

void RequestFramer::feed(std::span<const std::uint8_t> bytes, Clock::time_point now) {
    if (bytes.empty())
        return;
    buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
    lastByte_ = now;
    // Whatever cannot belong to one frame any more is old noise.
    if (buffer_.size() > 4 * MaxFrame) {
        const std::size_t excess = buffer_.size() - MaxFrame;
        buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<long>(excess));
        skipped_ += excess;
    }
}

bool RequestFramer::completeFrameLater() const {
    const std::span<const std::uint8_t> bytes(buffer_);
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
    buffer_.erase(buffer_.begin());
    ++skipped_;
}

std::optional<std::vector<std::uint8_t>> RequestFramer::next(Clock::time_point now) {
    while (!buffer_.empty()) {
        const bool quiet = now - lastByte_ >= gap_;
        std::size_t length = 0;
        switch (requestLength(buffer_, length)) {
        case Length::Known:
            if (buffer_.size() < length) {
                if (!quiet && !completeFrameLater())
                    return std::nullopt;
                skipOne();
                continue;
            }
            if (hasValidCrc(std::span(buffer_).first(length))) {
                std::vector<std::uint8_t> frame(buffer_.begin(),
                                                buffer_.begin() + static_cast<long>(length));
                buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<long>(length));
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
            if (buffer_.size() >= 4 && buffer_.size() <= MaxFrame && hasValidCrc(buffer_)) {
                std::vector<std::uint8_t> frame;
                frame.swap(buffer_);
                return frame;
            }
            skipOne();
            continue;
        }
    }
    return std::nullopt;
}

std::optional<RequestFramer::Clock::time_point> RequestFramer::deadline() const {
    if (buffer_.empty())
        return std::nullopt;
    return lastByte_ + gap_;
}

void RequestFramer::reset() {
    buffer_.clear();
}

} // namespace sim
