#include "MbapCodec.h"

#include "ModbusCrc.h"

#include <algorithm>
#include <cstring>

namespace climate::link {

namespace {

constexpr std::size_t CrcSize = 2;

void putWord(std::vector<std::uint8_t>& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value >> 8));
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
}

} // namespace

MbapCodec::Header MbapCodec::parseHeader(std::span<const std::uint8_t, HeaderSize> bytes) {
    const auto word = [&bytes](std::size_t at) {
        return static_cast<std::uint16_t>(bytes[at] << 8 | bytes[at + 1]);
    };
    return Header{word(0), word(2), word(4), bytes[6]};
}

std::vector<std::uint8_t> MbapCodec::encodeRequest(std::span<const std::uint8_t> rtu) {
    if (rtu.size() < 2 + CrcSize || rtu.size() - CrcSize > MaxLength) {
        return {};
    }
    const std::uint16_t id = m_nextId++;
    m_awaited = id;
    const std::size_t length = rtu.size() - CrcSize; // unit id (the RTU address) + PDU
    std::vector<std::uint8_t> frame;
    frame.reserve(HeaderSize - 1 + length);
    putWord(frame, id);
    putWord(frame, 0);
    putWord(frame, static_cast<std::uint16_t>(length));
    frame.insert(frame.end(), rtu.begin(), rtu.begin() + static_cast<std::ptrdiff_t>(length));
    return frame;
}

void MbapCodec::receive(std::span<const std::uint8_t> bytes) {
    m_stream.insert(m_stream.end(), bytes.begin(), bytes.end());
    unpack();
}

void MbapCodec::unpack() {
    while (m_stream.size() >= HeaderSize) {
        const Header header =
            parseHeader(std::span<const std::uint8_t, HeaderSize>(m_stream.data(), HeaderSize));
        if (header.protocolId != 0 || header.length < 1 || header.length > MaxLength) {
            m_discardedBytes += m_stream.size();
            m_stream.clear();
            return;
        }
        const std::size_t frameSize = HeaderSize - 1 + header.length;
        if (m_stream.size() < frameSize) {
            return;
        }
        if (m_awaited && header.transactionId == *m_awaited) {
            m_awaited.reset();
            m_lastReply = header;
            std::copy_n(m_stream.begin(), HeaderSize, m_lastReplyBytes.begin());
            const auto unitAndPdu = m_stream.begin() + static_cast<std::ptrdiff_t>(HeaderSize - 1);
            const auto end = m_stream.begin() + static_cast<std::ptrdiff_t>(frameSize);
            const std::size_t start = m_ready.size();
            m_ready.insert(m_ready.end(), unitAndPdu, end);
            const std::uint16_t crc = ModbusCrc16(std::span(m_ready).subspan(start));
            putWord(m_ready, crc);
        } else {
            ++m_droppedFrames;
        }
        m_stream.erase(m_stream.begin(), m_stream.begin() + static_cast<std::ptrdiff_t>(frameSize));
    }
}

std::size_t MbapCodec::read(std::uint8_t* destination, std::size_t count) {
    const std::size_t taken = std::min(count, m_ready.size());
    if (destination == nullptr || taken == 0) {
        return 0;
    }
    std::memcpy(destination, m_ready.data(), taken);
    m_ready.erase(m_ready.begin(), m_ready.begin() + static_cast<std::ptrdiff_t>(taken));
    return taken;
}

void MbapCodec::discardInput() {
    m_stream.clear();
    m_ready.clear();
}

void MbapCodec::reset() {
    discardInput();
    m_awaited.reset();
    m_lastReply.reset();
}

} // namespace climate::link
