#pragma once

#include "HostResolver.h"
#include "SerialPort.h"

#include <QObject>
#include <QString>

#include <memory>

namespace climate::link {

class QtSerialPortLink;
class TcpPortLink;

// The window's port: each open() picks, by the name, a serial device (QtSerialPortLink) or a
// network port (TcpPortLink, for rtu+tcp:// and tcp:// names), and every other operation goes to
// the one picked. A lost device or connection shows in isLost().
class NamedPort : public QObject, public SerialPort {
    Q_OBJECT

public:
    // `resolver` looks up host names for network ports; the system's name service when null.
    explicit NamedPort(std::unique_ptr<HostResolver> resolver = nullptr, QObject* parent = nullptr);
    ~NamedPort() override;
    NamedPort(const NamedPort&) = delete;
    NamedPort& operator=(const NamedPort&) = delete;

    OpenError open(const std::string& name) override;
    bool applyLineSettings(std::int32_t baudRate, std::uint8_t dataBits) override;
    void close() override;
    [[nodiscard]] bool isOpen() const override;

    std::uint32_t bytesWaiting() override;
    void purgeInput() override;
    std::uint32_t read(std::uint8_t* destination, std::uint32_t count) override;
    void write(const std::uint8_t* data, std::uint32_t count) override;
    [[nodiscard]] TransportDetails lastReadDetails() const override;

    // True from the loss of the device or connection until close().
    [[nodiscard]] bool isLost() const;
    // Why the device or connection was lost (the command line names it).
    [[nodiscard]] QString lastErrorText() const;

    // Looks host names up with `resolver` from now on; the port is closed first.
    void useResolver(std::unique_ptr<HostResolver> resolver);

private:
    [[nodiscard]] SerialPort& current() const;

    std::unique_ptr<HostResolver> m_resolver;
    std::unique_ptr<QtSerialPortLink> m_serial;
    std::unique_ptr<TcpPortLink> m_network;
    bool m_networkPicked = false;
};

} // namespace climate::link
