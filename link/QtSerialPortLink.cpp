#include "QtSerialPortLink.h"

#include <QCoreApplication>

#include <algorithm>
#include <cerrno>
#include <limits>

namespace climate::link {

namespace {

// QSerialPort reports every refused open of an existing device as PermissionError. Its text tells
// the causes apart: its own lock file held by a live process (another program using the port
// through Qt or any tool that keeps the usual LCK.. files), the exclusive-use flag of a tty held
// by another program (EBUSY), or missing access rights (EACCES / EPERM, e.g. not in the dialout
// group) and an unwritable lock directory.
bool isHeldByAnotherProgram(const QString& errorText) {
    static const QString lockHeld =
        QCoreApplication::translate("QSerialPort", "Permission error while locking the device");
    return errorText == lockHeld || errorText == qt_error_string(EBUSY);
}

// Errors after which the device is gone or unusable for good: reading or writing fails on every
// turn of the event loop from then on.
bool meansDeviceGone(QSerialPort::SerialPortError error) {
    return error == QSerialPort::ReadError || error == QSerialPort::WriteError ||
           error == QSerialPort::ResourceError;
}

} // namespace

QtSerialPortLink::QtSerialPortLink(QObject* parent) : QObject(parent) {
    connect(&m_port, &QSerialPort::errorOccurred, this, &QtSerialPortLink::onErrorOccurred);
    connect(&m_port, &QSerialPort::readyRead, this, &QtSerialPortLink::onReadyRead);
    connect(&m_port, &QSerialPort::bytesWritten, this, &QtSerialPortLink::onBytesWritten);
}

QtSerialPortLink::~QtSerialPortLink() {
    close();
}

SerialPort::OpenError QtSerialPortLink::open(const std::string& name) {
    close();
    m_port.setPortName(QString::fromStdString(name));
    if (!m_port.open(QIODevice::ReadWrite)) {
        m_lastErrorText = m_port.errorString();
        return classifyOpenFailure(m_port.error());
    }
    m_open = true;
    m_lastErrorText.clear();
    return OpenError::None;
}

SerialPort::OpenError
QtSerialPortLink::classifyOpenFailure(QSerialPort::SerialPortError error) const {
    switch (error) {
    case QSerialPort::DeviceNotFoundError:
        return OpenError::NotFound;
    case QSerialPort::PermissionError:
        return isHeldByAnotherProgram(m_lastErrorText) ? OpenError::InUse
                                                       : OpenError::PermissionDenied;
    default:
        // Not a serial device (ENOTTY), settings that the driver refuses at open, and the rest.
        return OpenError::Other;
    }
}

bool QtSerialPortLink::applyLineSettings(std::int32_t baudRate, std::uint8_t dataBits) {
    if (!usable()) {
        return false;
    }
    if (dataBits < 5 || dataBits > 8 || baudRate <= 0) {
        // QSerialPort would quietly turn an unknown data-bit count into 8; a real driver refuses.
        m_lastErrorText = QStringLiteral("unsupported line settings");
        return false;
    }
    const bool applied = m_port.setBaudRate(baudRate) &&
                         m_port.setDataBits(static_cast<QSerialPort::DataBits>(dataBits)) &&
                         m_port.setParity(QSerialPort::NoParity) &&
                         m_port.setStopBits(QSerialPort::OneStop);
    if (!applied) {
        m_lastErrorText = m_port.errorString();
    }
    return applied;
}

void QtSerialPortLink::close() {
    // A release queued by an earlier loss must not touch a port opened later.
    ++m_generation;
    if (m_port.isOpen()) {
        m_port.close();
    }
    m_open = false;
    m_lost = false;
    m_times.reset();
}

std::uint32_t QtSerialPortLink::bytesWaiting() {
    if (!usable()) {
        return 0;
    }
    const qint64 available = m_port.bytesAvailable();
    return static_cast<std::uint32_t>(
        std::clamp<qint64>(available, 0, std::numeric_limits<std::uint32_t>::max()));
}

void QtSerialPortLink::purgeInput() {
    // clear(Input) flushes the driver's queue and QSerialPort's own read buffer.
    if (usable()) {
        m_port.clear(QSerialPort::Input);
        m_times.inputPurged();
    }
}

std::uint32_t QtSerialPortLink::read(std::uint8_t* destination, std::uint32_t count) {
    if (!usable() || destination == nullptr) {
        return 0;
    }
    const qint64 wanted = std::min<qint64>(count, m_port.bytesAvailable());
    if (wanted <= 0) {
        return 0;
    }
    const qint64 got = m_port.read(reinterpret_cast<char*>(destination), wanted);
    m_times.bytesRead(m_port.bytesAvailable() == 0);
    return got > 0 ? static_cast<std::uint32_t>(got) : 0;
}

void QtSerialPortLink::write(const std::uint8_t* data, std::uint32_t count) {
    if (!usable() || data == nullptr || count == 0) {
        return;
    }
    // Queued; the event loop hands it to the driver.
    m_times.requestQueued();
    m_port.write(reinterpret_cast<const char*>(data), count);
}

TransportDetails QtSerialPortLink::lastReadDetails() const {
    return m_times.details();
}

void QtSerialPortLink::onReadyRead() {
    m_times.bytesArrived();
}

void QtSerialPortLink::onBytesWritten() {
    m_times.bytesWritten(m_port.bytesToWrite() == 0);
}

void QtSerialPortLink::onErrorOccurred(QSerialPort::SerialPortError error) {
    if (!m_open || m_lost || !meansDeviceGone(error)) {
        return;
    }
    m_lost = true;
    m_lastErrorText = m_port.errorString();
    // Closing from inside QSerialPort's own notification would delete the notifier that is
    // calling us, and so would a listener of lost() that closes the port: both wait for the next
    // turn of the event loop. A few more errors may come until then; they are ignored.
    const quint64 generation = m_generation;
    QMetaObject::invokeMethod(
        this,
        [this, generation] {
            if (generation == m_generation) {
                releaseLostDevice();
                emit lost();
            }
        },
        Qt::QueuedConnection);
}

void QtSerialPortLink::releaseLostDevice() {
    if (m_lost && m_port.isOpen()) {
        m_port.close();
    }
}

} // namespace climate::link
