// The MBAP codec on a stream of well-formed frames cut anywhere. The frames are read from the
// front of the input (protocol 0, a length a frame can have, the unit and PDU bytes that follow:
// a captured stream reads as itself); the sizes of the pieces the stream arrives in, and which
// frames answer the request, come from its end. The stream is a run of exchanges: a request
// goes out, then come frames of other transactions and the reply. Each exchange hands on exactly
// its reply, as an RTU frame whose CRC is that of the bytes (bit by bit, here), drops the other
// frames, and discards nothing, wherever the stream is cut. A damaged header throws away what is
// buffered, by design, and is left out.
#include "link/MbapCodec.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

using namespace climate::link;

namespace {

using Bytes = std::vector<std::uint8_t>;

void check(bool condition) {
    if (!condition)
        std::abort();
}

// CRC-16/MODBUS one bit at a time.
std::uint16_t referenceCrc(const std::uint8_t* bytes, std::size_t size) {
    std::uint16_t crc = 0xFFFF;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001)
                            : static_cast<std::uint16_t>(crc >> 1);
    }
    return crc;
}

void putWord(Bytes& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value >> 8));
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
}

struct Frame {
    MbapCodec::Header header;
    Bytes bytes; // header and PDU, as on the stream
};

// The next frame from the front of the input, made well-formed; none when too little is left.
bool nextFrame(FuzzedDataProvider& input, Frame& frame) {
    const Bytes head = input.ConsumeBytes<std::uint8_t>(MbapCodec::HeaderSize);
    if (head.size() < MbapCodec::HeaderSize)
        return false;
    MbapCodec::Header header = MbapCodec::parseHeader(
        std::span<const std::uint8_t, MbapCodec::HeaderSize>(head.data(), head.size()));
    header.protocolId = 0;
    header.length = static_cast<std::uint16_t>(1 + (header.length + MbapCodec::MaxLength - 1) %
                                                       MbapCodec::MaxLength);
    Bytes pdu = input.ConsumeBytes<std::uint8_t>(header.length - 1u);
    pdu.resize(header.length - 1u);
    frame.header = header;
    frame.bytes.clear();
    putWord(frame.bytes, header.transactionId);
    putWord(frame.bytes, header.protocolId);
    putWord(frame.bytes, header.length);
    frame.bytes.push_back(header.unitId);
    frame.bytes.insert(frame.bytes.end(), pdu.begin(), pdu.end());
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    MbapCodec codec;
    // Read holding registers 0 ... 46 of unit 1, with its CRC.
    Bytes request{0x01, 0x03, 0x00, 0x00, 0x00, 0x2F};
    const std::uint16_t requestCrc = referenceCrc(request.data(), request.size());
    request.push_back(static_cast<std::uint8_t>(requestCrc & 0xFF));
    request.push_back(static_cast<std::uint8_t>(requestCrc >> 8));

    std::size_t strays = 0;
    bool ended = false;
    while (!ended) {
        const Bytes sent = codec.encodeRequest(request);
        check(codec.awaitedId().has_value());
        const std::uint16_t id = *codec.awaitedId();
        Bytes expected{0, 0, 0, 0, 0, 6};
        expected[0] = static_cast<std::uint8_t>(id >> 8);
        expected[1] = static_cast<std::uint8_t>(id & 0xFF);
        expected.insert(expected.end(), request.begin(), request.end() - 2);
        check(sent == expected);

        // This exchange's frames: other transactions' until the reply.
        Bytes stream;
        Frame frame;
        bool answered = false;
        while (!answered) {
            if (!nextFrame(input, frame)) {
                ended = true;
                break;
            }
            answered = frame.header.transactionId == id || input.ConsumeBool();
            if (answered) {
                frame.header.transactionId = id;
                frame.bytes[0] = static_cast<std::uint8_t>(id >> 8);
                frame.bytes[1] = static_cast<std::uint8_t>(id & 0xFF);
            } else {
                ++strays;
            }
            stream.insert(stream.end(), frame.bytes.begin(), frame.bytes.end());
        }
        for (std::size_t at = 0; at < stream.size();) {
            const std::size_t piece =
                input.ConsumeIntegralInRange<std::size_t>(1, stream.size() - at);
            codec.receive(std::span<const std::uint8_t>(stream.data() + at, piece));
            at += piece;
        }

        check(codec.discardedBytes() == 0);
        check(codec.droppedFrames() == strays);
        if (!answered) {
            check(codec.available() == 0);
            check(codec.awaitedId() == id);
            break;
        }
        Bytes rtu(frame.bytes.begin() + MbapCodec::HeaderSize - 1, frame.bytes.end());
        const std::uint16_t crc = referenceCrc(rtu.data(), rtu.size());
        rtu.push_back(static_cast<std::uint8_t>(crc & 0xFF));
        rtu.push_back(static_cast<std::uint8_t>(crc >> 8));
        Bytes handedOn(codec.available());
        handedOn.resize(codec.read(handedOn.data(), handedOn.size()));
        check(handedOn == rtu);
        check(codec.available() == 0);
        check(!codec.awaitedId().has_value());
        check(codec.lastReplyHeader() == frame.header);
    }
    return 0;
}
