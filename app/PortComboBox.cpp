#include "PortComboBox.h"

#include <QCollator>
#include <QDir>
#include <QLineEdit>

#include <algorithm>

PortComboBox::PortComboBox(QStringList extraPorts, QWidget* parent)
    : QComboBox(parent), m_extraPorts(std::move(extraPorts)) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    refresh();
    setCurrentIndex(-1);
    setEditText(QStringLiteral("COM"));
}

QStringList PortComboBox::systemPorts(const QString& deviceFolder) {
#ifdef Q_OS_WIN
    // On Windows the list is the fixed COM1 ... COM9, and the position names the port.
    Q_UNUSED(deviceFolder);
    QStringList ports;
    for (int n = 1; n <= 9; ++n) {
        ports << QStringLiteral("COM%1").arg(n);
    }
    return ports;
#else
    const QDir dev(deviceFolder);
    QStringList ports;
    for (const QString& pattern :
         {QStringLiteral("ttyUSB*"), QStringLiteral("ttyACM*"), QStringLiteral("ttyS*")}) {
        QStringList found = dev.entryList({pattern}, QDir::System | QDir::Files | QDir::Readable);
        // Natural order: ttyS2 before ttyS10.
        QCollator collator;
        collator.setNumericMode(true);
        std::sort(found.begin(), found.end(), collator);
        for (const QString& name : found) {
            ports << dev.absoluteFilePath(name);
        }
    }
    return ports;
#endif
}

void PortComboBox::refresh() {
    const QString selected = selectedPort();
    const QString typed = currentText();
    QStringList ports = systemPorts();
    for (const QString& extra : m_extraPorts) {
        if (!ports.contains(extra)) {
            ports << extra;
        }
    }
    QStringList listed;
    for (int i = 0; i < count(); ++i) {
        listed << itemText(i);
    }
    if (ports == listed) {
        return;
    }
    const QSignalBlocker blocker(this);
    clear();
    addItems(ports);
    setCurrentIndex(selected.isEmpty() ? -1 : static_cast<int>(ports.indexOf(selected)));
    if (currentIndex() < 0) {
        setEditText(typed);
    }
}

int PortComboBox::selectedPosition() const {
    const int index = currentIndex();
    if (index < 0 || currentText() != itemText(index)) {
        return -1;
    }
    return index;
}

QString PortComboBox::selectedPort() const {
    const int position = selectedPosition();
    return position < 0 ? QString() : itemText(position);
}

void PortComboBox::showPopup() {
    refresh();
    QComboBox::showPopup();
}
