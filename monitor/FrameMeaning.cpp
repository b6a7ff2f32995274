#include "FrameMeaning.h"

#include "link/Commands.h"
#include "link/ModbusCrc.h"
#include "link/ModbusException.h"
#include "link/ModbusFrame.h"

#include <QStringList>

#include <array>

namespace climate::monitor {

using namespace climate::link;

namespace {

constexpr std::uint8_t ExceptionFlag = 0x80;
constexpr std::uint32_t ExceptionLength = 5;
constexpr std::uint32_t EchoLength = 8;

std::uint16_t wordAt(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] << 8 | bytes[at + 1]);
}

// Name of the tool's fixed request of this function, first item and (for reads) quantity, as
// the commands' tables give it.
QString shapeName(std::uint8_t function, std::uint16_t first, std::uint16_t quantity) {
    const bool isRead = function >= 1 && function <= 4;
    for (const std::span<const CommandRow> table : CommandTables) {
        for (const CommandRow& row : table) {
            const RequestShape* shape = row.request;
            if (shape && shape->function == function && shape->first == first &&
                (!isRead || shape->quantity == quantity)) {
                return QStringLiteral(" (%1)").arg(QString::fromLatin1(row.reads));
            }
        }
    }
    return {};
}

QString itemsOf(std::uint8_t function) {
    switch (function) {
    case 1:
        return QStringLiteral("coils");
    case 2:
        return QStringLiteral("discrete inputs");
    case 3:
        return QStringLiteral("holding registers");
    case 4:
        return QStringLiteral("input registers");
    default:
        return QStringLiteral("registers");
    }
}

QString itemOf(std::uint8_t function) {
    switch (function) {
    case 1:
        return QStringLiteral("coil");
    case 2:
        return QStringLiteral("discrete input");
    case 3:
        return QStringLiteral("holding register");
    case 4:
        return QStringLiteral("input register");
    default:
        return QStringLiteral("register");
    }
}

// "16 coils 0–15" or "input register 4".
QString counted(std::uint8_t function, std::uint16_t first, std::uint32_t count) {
    if (count == 1) {
        return QStringLiteral("%1 %2").arg(itemOf(function)).arg(first);
    }
    return QStringLiteral("%1 %2 %3–%4")
        .arg(count)
        .arg(itemsOf(function))
        .arg(first)
        .arg(first + count - 1);
}

QString range(std::uint16_t first, std::uint32_t count) {
    if (count <= 1) {
        return QString::number(first);
    }
    return QStringLiteral("%1–%2").arg(first).arg(first + count - 1);
}

QString head(std::span<const std::uint8_t> frame) {
    return QStringLiteral("addr %1 fn %2").arg(frame[0]).arg(frame[1]);
}

QString coilValue(std::uint16_t value) {
    switch (value) {
    case 0xFF00:
        return QStringLiteral("ON");
    case 0x0000:
        return QStringLiteral("OFF");
    default:
        return QStringLiteral("0x%1 (neither ON nor OFF)").arg(value, 4, 16, QLatin1Char('0'));
    }
}

QString registerValue(std::uint16_t value) {
    const auto signedValue = static_cast<std::int16_t>(value);
    if (signedValue < 0) {
        return QStringLiteral("%1 (%2)").arg(value).arg(signedValue);
    }
    return QString::number(value);
}

// Expected length of a request of `function`, once `frame` has enough bytes to tell.
std::uint32_t requestLength(std::span<const std::uint8_t> frame) {
    if (frame.size() < 2) {
        return 0;
    }
    if (frame[1] == 16) {
        return frame.size() >= 7 ? 9u + frame[6] : 0;
    }
    return EchoLength;
}

// "on: 0, 1, 4" for the bits of a function 1/2 reply, counted from `first`.
QString bitList(std::span<const std::uint8_t> data, std::uint16_t first, std::uint32_t count) {
    QStringList on;
    for (std::uint32_t n = 0; n < count && n / 8 < data.size(); ++n) {
        if ((data[n / 8] >> (n % 8)) & 1) {
            on << QString::number(first + n);
        }
    }
    return on.isEmpty() ? QStringLiteral("all off") : QStringLiteral("on: ") + on.join(", ");
}

QString normalReply(std::span<const std::uint8_t> request, std::span<const std::uint8_t> reply) {
    const std::uint8_t function = reply[1];
    const bool requestKnown = request.size() >= 6;
    const std::uint16_t first = requestKnown ? wordAt(request, 2) : 0;
    const std::uint16_t quantity = requestKnown ? wordAt(request, 4) : 0;
    switch (function) {
    case 1:
    case 2: {
        const auto data = reply.subspan(3, reply[2]);
        const std::uint32_t count = requestKnown ? quantity : reply[2] * 8u;
        return counted(function, first, count) + QStringLiteral(": ") + bitList(data, first, count);
    }
    case 3:
    case 4: {
        QStringList values;
        for (std::size_t at = 3; at + 1 < 3u + reply[2]; at += 2) {
            values << registerValue(wordAt(reply, at));
        }
        const auto count = static_cast<std::uint32_t>(values.size());
        return counted(function, first, count) + QStringLiteral(": ") + values.join(", ");
    }
    case 5:
        return QStringLiteral("coil %1 set %2")
            .arg(wordAt(reply, 2))
            .arg(coilValue(wordAt(reply, 4)));
    case 6:
        return QStringLiteral("register %1 set %2")
            .arg(wordAt(reply, 2))
            .arg(registerValue(wordAt(reply, 4)));
    case 16:
        return QStringLiteral("registers %1 written (%2)")
            .arg(range(wordAt(reply, 2), wordAt(reply, 4)))
            .arg(wordAt(reply, 4));
    default:
        return {};
    }
}

// Length of a normal reply to `function` once the bytes tell it (0: not yet known).
std::uint32_t replyLength(std::uint8_t function, std::span<const std::uint8_t> reply) {
    if (function >= 1 && function <= 4) {
        return reply.size() >= 3 ? 5u + reply[2] : 0;
    }
    return EchoLength;
}

} // namespace

QString describeRequest(std::span<const std::uint8_t> frame) {
    if (frame.size() < 2) {
        return QStringLiteral("too short for a request (%1 bytes)").arg(frame.size());
    }
    const std::uint32_t expected = requestLength(frame);
    if (expected == 0 || frame.size() < expected) {
        return QStringLiteral("%1, cut short (%2 bytes)").arg(head(frame)).arg(frame.size());
    }
    const std::uint8_t function = frame[1];
    const std::uint16_t first = wordAt(frame, 2);
    const std::uint16_t second = wordAt(frame, 4);
    QString text;
    switch (function) {
    case 1:
    case 2:
    case 3:
    case 4:
        text = QStringLiteral("%1 read %2 %3 (%4)%5")
                   .arg(head(frame), itemsOf(function), range(first, second))
                   .arg(second)
                   .arg(shapeName(function, first, second));
        break;
    case 5:
        text = QStringLiteral("%1 write coil %2 = %3%4")
                   .arg(head(frame))
                   .arg(first)
                   .arg(coilValue(second), shapeName(function, first, second));
        break;
    case 6:
        text = QStringLiteral("%1 write register %2 = %3%4")
                   .arg(head(frame))
                   .arg(first)
                   .arg(registerValue(second), shapeName(function, first, second));
        break;
    case 16: {
        QStringList values;
        for (std::size_t at = 7; at + 1 < 7u + frame[6]; at += 2) {
            values << registerValue(wordAt(frame, at));
        }
        text = QStringLiteral("%1 write registers %2 (%3): %4")
                   .arg(head(frame), range(first, second))
                   .arg(second)
                   .arg(values.join(", "));
        break;
    }
    default:
        text = QStringLiteral("%1 (a function the tool does not use)").arg(head(frame));
        break;
    }
    if (!crcHolds(frame.first(expected))) {
        text += QStringLiteral(", bad CRC");
    }
    if (frame.size() > expected) {
        text += QStringLiteral(", %1 bytes more").arg(frame.size() - expected);
    }
    return text;
}

ReplyMeaning describeReply(std::span<const std::uint8_t> request,
                           std::span<const std::uint8_t> reply) {
    ReplyMeaning meaning;
    if (reply.size() < 2) {
        meaning.form = ReplyMeaning::Form::Partial;
        meaning.text = QStringLiteral("partial reply (%1 byte)").arg(reply.size());
        return meaning;
    }
    const std::uint8_t asked = request.size() >= 2 ? request[1] : 0;
    const std::uint8_t askedAddress = request.empty() ? 0 : request[0];
    meaning.otherAddress = reply[0] != askedAddress;
    const QString from =
        reply[0] == askedAddress ? QString() : QStringLiteral(" (asked addr %1)").arg(askedAddress);

    if (reply[1] == (asked | ExceptionFlag)) {
        meaning.expectedLength = ExceptionLength;
        if (reply.size() < ExceptionLength) {
            meaning.form = ReplyMeaning::Form::Partial;
            meaning.text = QStringLiteral("partial exception reply (%1 of %2 bytes)")
                               .arg(reply.size())
                               .arg(ExceptionLength);
            return meaning;
        }
        meaning.form = ReplyMeaning::Form::Exception;
        meaning.exceptionCode = reply[2];
        meaning.crcGood = crcHolds(reply.first(ExceptionLength));
        meaning.text = QStringLiteral("addr %1 exception %2 (%3) to fn %4%5")
                           .arg(reply[0])
                           .arg(reply[2])
                           .arg(exceptionName(reply[2]))
                           .arg(asked)
                           .arg(from);
    } else if (reply[1] == asked) {
        meaning.expectedLength = replyLength(asked, reply);
        if (meaning.expectedLength == 0 || reply.size() < meaning.expectedLength) {
            meaning.form = ReplyMeaning::Form::Partial;
            meaning.text = meaning.expectedLength == 0
                               ? QStringLiteral("partial reply (%1 bytes)").arg(reply.size())
                               : QStringLiteral("partial reply (%1 of %2 bytes)")
                                     .arg(reply.size())
                                     .arg(meaning.expectedLength);
            return meaning;
        }
        const auto frame = reply.first(meaning.expectedLength);
        meaning.form = ReplyMeaning::Form::Reply;
        meaning.crcGood = crcHolds(frame);
        meaning.text =
            QStringLiteral("%1 %2%3").arg(head(frame), normalReply(request, frame), from);
    } else {
        meaning.form = ReplyMeaning::Form::Unrecognised;
        meaning.text =
            QStringLiteral("%1, not a reply to fn %2%3").arg(head(reply)).arg(asked).arg(from);
        return meaning;
    }
    if (!meaning.crcGood) {
        meaning.text += QStringLiteral(", bad CRC");
    }
    if (reply.size() > meaning.expectedLength) {
        meaning.text +=
            QStringLiteral(", %1 bytes more").arg(reply.size() - meaning.expectedLength);
    }
    return meaning;
}

} // namespace climate::monitor
