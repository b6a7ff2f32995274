#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace climate::link {

// Translation between the RTU frames the engine speaks and Modbus TCP's MBAP framing, for one
// connection. A request loses its CRC and gains a header with a new transaction id; a reply is
// taken only for the id just sent, and handed on as an RTU frame with its CRC computed here, so
// the engine's checks run unchanged. A TCP stream cannot be resynchronised: once the bytes stop
// making sense (protocol other than 0, a length no frame can have) everything buffered is thrown
// away and the engine times out as on a silent line.
//
//   MBAP header: transaction id (2), protocol id 0 (2), length (2) = unit id + PDU, unit id (1)
class MbapCodec {
public:
    static constexpr std::size_t HeaderSize = 7;
    static constexpr std::uint16_t MaxLength = 254; // unit id + the longest PDU of an RTU frame

    struct Header {
        std::uint16_t transactionId = 0;
        std::uint16_t protocolId = 0;
        std::uint16_t length = 0;
        std::uint8_t unitId = 0;
        bool operator==(const Header&) const = default;
    };

    // The request `rtu` (address, PDU, CRC) as MBAP, under a new transaction id; empty when the
    // frame is too short to hold address, function and CRC.
    [[nodiscard]] std::vector<std::uint8_t> encodeRequest(std::span<const std::uint8_t> rtu);

    // Received stream bytes. Complete replies with the expected id become readable RTU frames.
    void receive(std::span<const std::uint8_t> bytes);
    // RTU bytes ready to read.
    [[nodiscard]] std::size_t available() const { return m_ready.size(); }
    std::size_t read(std::uint8_t* destination, std::size_t count);

    // Forgets every received byte (partial frames and readable ones); the id awaited stays.
    void discardInput();
    // A new connection: also forgets the id awaited.
    void reset();

    // The id of the last request, while its reply is awaited.
    [[nodiscard]] std::optional<std::uint16_t> awaitedId() const { return m_awaited; }
    // The header of the last reply handed on, parsed and as it came (empty before the first).
    [[nodiscard]] std::optional<Header> lastReplyHeader() const { return m_lastReply; }
    [[nodiscard]] std::span<const std::uint8_t> lastReplyHeaderBytes() const {
        return m_lastReply ? std::span<const std::uint8_t>(m_lastReplyBytes)
                           : std::span<const std::uint8_t>();
    }
    // Whole frames dropped for a wrong transaction id, and bytes discarded as garbage.
    [[nodiscard]] std::size_t droppedFrames() const { return m_droppedFrames; }
    [[nodiscard]] std::size_t discardedBytes() const { return m_discardedBytes; }

    [[nodiscard]] static Header parseHeader(std::span<const std::uint8_t, HeaderSize> bytes);

private:
    // Takes whole frames off the front of the stream buffer while there are some.
    void unpack();

    std::uint16_t m_nextId = 1;
    std::optional<std::uint16_t> m_awaited;
    std::optional<Header> m_lastReply;
    std::array<std::uint8_t, HeaderSize> m_lastReplyBytes{};
    std::vector<std::uint8_t> m_stream; // received, not yet a whole frame
    std::vector<std::uint8_t> m_ready;  // RTU bytes for the engine
    std::size_t m_droppedFrames = 0;
    std::size_t m_discardedBytes = 0;
};

} // namespace climate::link
