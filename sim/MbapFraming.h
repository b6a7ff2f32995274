#pragma once

#include "FaultPlan.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace sim {

// Modbus TCP as a gateway speaks it: each request arrives with an MBAP header (transaction id,
// protocol 0, length of unit id + PDU, unit id) and leaves the gateway as an RTU frame for the
// unit; the unit's RTU reply goes back under the request's header.

struct MbapRequest {
    std::uint16_t transactionId = 0;
    std::vector<std::uint8_t> rtu; // unit id as the address, the PDU, a fresh CRC
};

// Cuts the stream a client sends into requests. A header that cannot be (protocol other than 0,
// length outside 2..254) leaves no way to find the next frame: the whole buffer is skipped.
class MbapRequestFramer {
public:
    void feed(std::span<const std::uint8_t> bytes);
    [[nodiscard]] std::optional<MbapRequest> next();
    void reset() { m_buffer.clear(); }
    [[nodiscard]] std::size_t skippedBytes() const { return m_skipped; }

private:
    std::vector<std::uint8_t> m_buffer;
    std::size_t m_skipped = 0;
};

// The unit's reply (RTU, as the fault plan shaped it) under the header of the request. A reply
// whose CRC the fault plan spoiled goes out with the wrong transaction id (the next one), the
// nearest thing Modbus TCP has to a corrupted frame. A reply cut into chunks is cut again at the
// same chunk size, with the same delays.
[[nodiscard]] std::vector<ReplyChunk> toMbapReply(const std::vector<ReplyChunk>& chunks,
                                                  std::uint16_t transactionId);

} // namespace sim
