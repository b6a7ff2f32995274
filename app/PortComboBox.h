#pragma once

#include <QComboBox>
#include <QStringList>

// The port list. It offers the serial devices the system has (/dev/ttyUSB*, /dev/ttyACM*,
// /dev/ttyS*, sorted) followed by the port paths given on the command line, and lists them again
// each time it drops down, so an adapter plugged in after start-up appears.
class PortComboBox : public QComboBox {
    Q_OBJECT

public:
    explicit PortComboBox(QStringList extraPorts, QWidget* parent = nullptr);

    // Re-reads the system's devices; the selected entry stays selected when it is still there.
    void refresh();
    // Position of the selected entry, or -1 when none is selected (also when the text typed into
    // the box no longer matches the entry).
    [[nodiscard]] int selectedPosition() const;
    // The port at the selected position; empty when nothing is selected.
    [[nodiscard]] QString selectedPort() const;

    [[nodiscard]] static QStringList
    systemPorts(const QString& deviceFolder = QStringLiteral("/dev"));

    void showPopup() override;

private:
    QStringList m_extraPorts;
};
