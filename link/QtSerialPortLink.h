#pragma once

#include "SerialPort.h"
#include "TransportClock.h"

#include <QObject>
#include <QSerialPort>
#include <QString>

namespace climate::link {

// The serial port of the tool, over QSerialPort. Qt reads from the device into its own buffer
// whenever the event loop runs; the engine ticks on the same event loop, so bytesWaiting() sees
// what has arrived between two ticks. Nothing here ever blocks: no waitFor* call anywhere.
//
// A device that goes away under an open port (a USB adapter pulled, the far end of a
// pseudo-terminal closed) makes QSerialPort report a read error on every turn of the event loop,
// which holds a whole core. At the first such error the device underneath is closed and the port
// counts as lost: isOpen() stays true until close(), so the window keeps its state, and every
// operation fails without effect, as when no port is open.
class QtSerialPortLink : public QObject, public SerialPort {
    Q_OBJECT

public:
    explicit QtSerialPortLink(QObject* parent = nullptr);
    ~QtSerialPortLink() override;
    QtSerialPortLink(const QtSerialPortLink&) = delete;
    QtSerialPortLink& operator=(const QtSerialPortLink&) = delete;

    // `name` is a device name ("ttyUSB0") or a full path ("/dev/ttyUSB0", a symlink to a pty).
    // An open port is closed first. Causes told apart: NotFound (no such device); InUse (the
    // port's LCK.. lock file is held by a live process, i.e. another program or another
    // QtSerialPortLink has it open under the same name, or the tty's exclusive flag is held:
    // EBUSY); PermissionDenied (no access rights, e.g. not in the dialout group, or no writable
    // lock directory); Other (not a serial device, and the rest). A program that holds the device
    // open without a lock file and without the exclusive flag cannot be seen, and root is never
    // refused by the exclusive flag.
    OpenError open(const std::string& name) override;
    // Data bits 5 ... 8 only; the flow control stays as the port has it.
    bool applyLineSettings(std::int32_t baudRate, std::uint8_t dataBits) override;
    void close() override;
    [[nodiscard]] bool isOpen() const override { return m_open; }

    std::uint32_t bytesWaiting() override;
    void purgeInput() override;
    std::uint32_t read(std::uint8_t* destination, std::uint32_t count) override;
    void write(const std::uint8_t* data, std::uint32_t count) override;
    // Arrival is stamped when Qt takes the bytes from the device (readyRead), on the event loop
    // that also runs the engine: between two ticks, so the stamp is finer than the tick.
    [[nodiscard]] TransportDetails lastReadDetails() const override;

    // True from the loss of the device until close().
    [[nodiscard]] bool isLost() const { return m_lost; }
    // Qt's description of the last failure (open refused, settings refused, device lost).
    [[nodiscard]] QString lastErrorText() const { return m_lastErrorText; }

signals:
    // The device went away under the open port; emitted once per loss, from the event loop after
    // the device underneath has been closed.
    void lost();

private:
    // Open, not lost: the device underneath may be used.
    [[nodiscard]] bool usable() const { return m_open && !m_lost && m_port.isOpen(); }
    void onErrorOccurred(QSerialPort::SerialPortError error);
    void releaseLostDevice();
    void onReadyRead();
    void onBytesWritten();
    [[nodiscard]] OpenError classifyOpenFailure(QSerialPort::SerialPortError error) const;

    QSerialPort m_port;
    bool m_open = false;
    bool m_lost = false;
    quint64 m_generation = 0; // counts closes, so a late release spares a port opened since
    QString m_lastErrorText;
    TransportClock m_times;
};

} // namespace climate::link
