#pragma once

#include <QComboBox>
#include <QList>
#include <QStringList>

#include <optional>

class QSerialPortInfo;

namespace climate::app {

// The port list. It offers the serial devices the system has (/dev/ttyUSB*, /dev/ttyACM*,
// /dev/ttyS*, sorted, then the names under /dev/serial/by-id, which survive a re-plug) followed by
// the port paths given on the command line, and lists them again each time it drops down, so an
// adapter plugged in after start-up appears. A port that is not listed can be typed. Each entry's
// tooltip and accessible description tell its full path and what the system knows of the adapter.
class PortComboBox : public QComboBox {
    Q_OBJECT

public:
    // What the system reports of one serial adapter.
    struct Adapter {
        QString systemLocation;
        QString portName;
        QString description;
        QString manufacturer;
        QString serialNumber;
        std::optional<quint16> vendorId;
        std::optional<quint16> productId;

        [[nodiscard]] static Adapter from(const QSerialPortInfo& info);
    };

    // The text the box shows until a port is chosen or typed.
    static constexpr const char* StartText = "COM";

    explicit PortComboBox(QStringList extraPorts, QWidget* parent = nullptr);

    // Re-reads the system's devices; the selected entry stays selected when it is still there.
    void refresh();
    // Position of the selected entry, or -1 when none is selected (also when the text typed into
    // the box no longer matches the entry).
    [[nodiscard]] int selectedPosition() const;
    // The port at the selected position; empty when nothing is selected.
    [[nodiscard]] QString selectedPort() const;
    // The port "Open" opens: the selected entry, or else the text typed into the box, trimmed and,
    // on Windows only, in upper case ("com12" opens COM12; paths elsewhere are case-sensitive).
    // Empty while the box is empty or still shows its start text.
    [[nodiscard]] QString portToOpen() const;

    [[nodiscard]] static QStringList
    systemPorts(const QString& deviceFolder = QStringLiteral("/dev"));
    // The entry's description: its path, then what `adapters` know of the device behind it
    // (matched by system location, also through a symbolic link such as /dev/serial/by-id/...).
    [[nodiscard]] static QStringList describe(const QString& path, const QList<Adapter>& adapters);

    void showPopup() override;

private:
    void describeEntries();
    void fitListWidth();
    void showChoiceAsToolTip();

    QStringList m_extraPorts;
};

} // namespace climate::app
