#include "MbapFraming.h"

#include "RtuCrc.h"

#include <algorithm>

namespace sim {

namespace {

constexpr std::size_t HeaderSize = 7;
constexpr std::size_t MinLength = 2; // unit id and function
constexpr std::size_t MaxLength = 254;

std::uint16_t wordAt(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] << 8 | bytes[at + 1]);
}

void putWord(std::vector<std::uint8_t>& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value >> 8));
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
}

} // namespace

void MbapRequestFramer::feed(std::span<const std::uint8_t> bytes) {
    m_buffer.insert(m_buffer.end(), bytes.begin(), bytes.end());
}

std::optional<MbapRequest> MbapRequestFramer::next() {
    if (m_buffer.size() < HeaderSize) {
        return std::nullopt;
    }
    const std::size_t length = wordAt(m_buffer, 4);
    if (wordAt(m_buffer, 2) != 0 || length < MinLength || length > MaxLength) {
        m_skipped += m_buffer.size();
        m_buffer.clear();
        return std::nullopt;
    }
    const std::size_t frameSize = HeaderSize - 1 + length;
    if (m_buffer.size() < frameSize) {
        return std::nullopt;
    }
    MbapRequest request;
    request.transactionId = wordAt(m_buffer, 0);
    request.rtu.assign(m_buffer.begin() + HeaderSize - 1,
                       m_buffer.begin() + static_cast<std::ptrdiff_t>(frameSize));
    appendCrc(request.rtu);
    m_buffer.erase(m_buffer.begin(), m_buffer.begin() + static_cast<std::ptrdiff_t>(frameSize));
    return request;
}

std::vector<ReplyChunk> toMbapReply(const std::vector<ReplyChunk>& chunks,
                                    std::uint16_t transactionId) {
    std::vector<std::uint8_t> rtu;
    for (const ReplyChunk& chunk : chunks) {
        rtu.insert(rtu.end(), chunk.bytes.begin(), chunk.bytes.end());
    }
    if (rtu.size() < 4) {
        return {};
    }
    const std::uint16_t id =
        hasValidCrc(rtu) ? transactionId : static_cast<std::uint16_t>(transactionId + 1);
    std::vector<std::uint8_t> frame;
    putWord(frame, id);
    putWord(frame, 0);
    putWord(frame, static_cast<std::uint16_t>(rtu.size() - 2));
    frame.insert(frame.end(), rtu.begin(), rtu.end() - 2);

    if (chunks.size() == 1) {
        return {{chunks.front().delay, std::move(frame)}};
    }
    const std::size_t step = std::max<std::size_t>(chunks.front().bytes.size(), 1);
    std::vector<ReplyChunk> out;
    for (std::size_t at = 0; at < frame.size(); at += step) {
        const std::size_t end = std::min(frame.size(), at + step);
        out.push_back(
            {out.empty() ? chunks.front().delay : chunks[1].delay,
             std::vector<std::uint8_t>(frame.begin() + static_cast<std::ptrdiff_t>(at),
                                       frame.begin() + static_cast<std::ptrdiff_t>(end))});
    }
    return out;
}

} // namespace sim
