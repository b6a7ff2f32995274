#include "ModbusException.h"

#include "ModbusCrc.h"

#include <algorithm>

namespace climate::link {

QString exceptionName(std::uint8_t code) {
    switch (code) {
    case 1:
        return QStringLiteral("illegal function");
    case 2:
        return QStringLiteral("illegal data address");
    case 3:
        return QStringLiteral("illegal data value");
    case 4:
        return QStringLiteral("server device failure");
    case 5:
        return QStringLiteral("acknowledge");
    case 6:
        return QStringLiteral("server device busy");
    case 8:
        return QStringLiteral("memory parity error");
    case 10:
        return QStringLiteral("gateway path unavailable");
    case 11:
        return QStringLiteral("gateway target device failed to respond");
    default:
        return QStringLiteral("unknown exception");
    }
}

QString refusalText(std::uint8_t code) {
    return QStringLiteral("refused by the controller: exception %1 (%2)")
        .arg(code)
        .arg(exceptionName(code));
}

void ExceptionWatch::requestSent(const TransactionId& /*id*/, std::span<const std::uint8_t> frame) {
    m_address = frame.empty() ? 0 : frame[0];
    m_function = frame.size() > 1 ? frame[1] : 0;
    m_replyLength = 0;
}

void ExceptionWatch::bytesReceived(const TransactionId& /*id*/, std::span<const std::uint8_t> chunk,
                                   const TransportDetails& /*transport*/) {
    const std::size_t taken = std::min(chunk.size(), m_reply.size() - m_replyLength);
    std::copy_n(chunk.begin(), taken, m_reply.begin() + static_cast<std::ptrdiff_t>(m_replyLength));
    m_replyLength += taken;
}

void ExceptionWatch::bytesPurged(std::uint32_t /*count*/, PurgeReason /*reason*/) {}

void ExceptionWatch::transactionEnded(const TransactionId& /*id*/, Outcome /*outcome*/) {}

std::optional<std::uint8_t> ExceptionWatch::lastException() const {
    if (m_replyLength < ExceptionLength || m_reply[0] != m_address ||
        m_reply[1] != (m_function | 0x80) || !crcHolds(m_reply)) {
        return std::nullopt;
    }
    return m_reply[2];
}

} // namespace climate::link
