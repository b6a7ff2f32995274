#include "NamedPort.h"

#include "HostResolver.h"
#include "NetworkPortAddress.h"
#include "QtSerialPortLink.h"
#include "TcpPortLink.h"

namespace climate::link {

NamedPort::NamedPort(std::unique_ptr<HostResolver> resolver, QObject* parent)
    : QObject(parent), m_resolver(std::move(resolver)) {
    if (!m_resolver) {
        m_resolver = std::make_unique<SystemHostResolver>();
    }
    m_serial = std::make_unique<QtSerialPortLink>();
    m_network = std::make_unique<TcpPortLink>(*m_resolver);
    m_network->setOpenFinished([this](OpenError outcome) { reportOpenFinished(outcome); });
}

NamedPort::~NamedPort() {
    close();
}

void NamedPort::useResolver(std::unique_ptr<HostResolver> resolver) {
    if (!resolver) {
        return;
    }
    m_network->setResolver(*resolver);
    m_resolver = std::move(resolver);
}

SerialPort& NamedPort::current() const {
    return m_networkPicked ? static_cast<SerialPort&>(*m_network)
                           : static_cast<SerialPort&>(*m_serial);
}

SerialPort::OpenError NamedPort::open(const std::string& name) {
    close();
    m_networkPicked = NetworkPortAddress::looksLikeNetworkPort(QString::fromStdString(name));
    return current().open(name);
}

bool NamedPort::applyLineSettings(std::int32_t baudRate, std::uint8_t dataBits) {
    return current().applyLineSettings(baudRate, dataBits);
}

void NamedPort::close() {
    m_serial->close();
    m_network->close();
}

bool NamedPort::isOpen() const {
    return current().isOpen();
}

std::uint32_t NamedPort::bytesWaiting() {
    return current().bytesWaiting();
}

void NamedPort::purgeInput() {
    current().purgeInput();
}

std::uint32_t NamedPort::read(std::uint8_t* destination, std::uint32_t count) {
    return current().read(destination, count);
}

void NamedPort::write(const std::uint8_t* data, std::uint32_t count) {
    current().write(data, count);
}

TransportDetails NamedPort::lastReadDetails() const {
    return current().lastReadDetails();
}

bool NamedPort::isLost() const {
    return m_networkPicked ? m_network->isLost() : m_serial->isLost();
}

QString NamedPort::lastErrorText() const {
    return m_networkPicked ? m_network->lastErrorText() : m_serial->lastErrorText();
}

} // namespace climate::link
