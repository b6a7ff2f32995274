#pragma once

#include "TransportDetails.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace climate::link {

// The baud rates the tool offers, in the window's BaudRate list and on the command line, and the
// one it starts with.
inline constexpr std::array<std::int32_t, 6> OfferedBaudRates{2400,  4800,  9600,
                                                              19200, 38400, 115200};
inline constexpr std::int32_t DefaultBaudRate = 9600;

// The operations the tool needs of a serial port, and nothing more. While no device is usable
// (never opened, open failed, closed, or the device vanished underneath) every operation fails
// without effect: bytesWaiting() and read() return 0, write() and purgeInput() do nothing.
class SerialPort {
public:
    enum class OpenError {
        None,             // opened
        NotFound,         // no such device
        PermissionDenied, // no access rights (e.g. not in the dialout group)
        InUse,            // held by another program (open or locked)
        InvalidName,      // a network port name that does not parse
        Refused,          // the far end refused the connection
        HostNotFound,     // the host name does not resolve
        TimedOut,         // no connection within the connect time
        Other,
        Pending, // not an error: the outcome comes later (see setOpenFinished)
    };
    // Receives the outcome (None or the failure) of an open that returned Pending.
    using OpenFinished = std::function<void(OpenError)>;

    virtual ~SerialPort() = default;

    // Opens the named device for exclusive reading and writing; nothing else is configured yet.
    // A port that needs time (a network connection) returns Pending: isOpen() stays false until
    // the handler given to setOpenFinished() is called with the outcome, once, from the event
    // loop and never from inside open(). close() abandons a pending open without calling it.
    virtual OpenError open(const std::string& name) = 0;
    // Sets baud rate and data bits, no parity and one stop bit; every other setting stays as the
    // driver has it. False when the driver refuses (e.g. 4 data bits).
    virtual bool applyLineSettings(std::int32_t baudRate, std::uint8_t dataBits) = 0;
    virtual void close() = 0;
    // True from a successful open until close(), also after the device was lost.
    [[nodiscard]] virtual bool isOpen() const = 0;

    // Number of received bytes waiting to be read.
    virtual std::uint32_t bytesWaiting() = 0;
    // Discards every received byte not yet read.
    virtual void purgeInput() = 0;
    // Reads up to `count` bytes that are already waiting; never waits.
    virtual std::uint32_t read(std::uint8_t* destination, std::uint32_t count) = 0;
    // Queues the whole request for sending.
    virtual void write(const std::uint8_t* data, std::uint32_t count) = 0;

    // What the port layer saw of the bytes the last read() returned: when they arrived and when
    // the request before them had left. A port that does not watch its input knows nothing.
    [[nodiscard]] virtual TransportDetails lastReadDetails() const { return {}; }

    // Where the outcome of a pending open goes; ports that open at once never call it.
    void setOpenFinished(OpenFinished handler) { m_openFinished = std::move(handler); }

protected:
    void reportOpenFinished(OpenError outcome) {
        if (m_openFinished) {
            m_openFinished(outcome);
        }
    }

private:
    OpenFinished m_openFinished;
};

[[nodiscard]] const char* describe(SerialPort::OpenError error);

} // namespace climate::link
