#include "PortSwitch.h"

#include "PortComboBox.h"

#include "link/NumberText.h"
#include "link/UserMessage.h"

#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QTimer>

#include <limits>

namespace climate::app {

using namespace climate::link;

namespace {

const QString OpenCaption = QStringLiteral("Open");
const QString CloseCaption = QStringLiteral("Close");

// The integer part of a numeric combo text, kept inside the target type so that an absurd value
// is refused by the driver instead of wrapping into a plausible one.
template <typename T> T integerSetting(const QComboBox* combo) {
    const std::int64_t value =
        DecimalNumber::parse(combo->currentText().toStdString()).integerPart();
    if (value < 0 || value > std::numeric_limits<T>::max()) {
        return 0;
    }
    return static_cast<T>(value);
}

} // namespace

PortSwitch::PortSwitch(SerialPort& port, MessagePresenter& messages, const Controls& controls)
    : m_port(port), m_messages(messages), m_controls(controls) {}

QString PortSwitch::reportFolder() {
    return QDir::current().absoluteFilePath(QStringLiteral("TestReportDate"));
}

void PortSwitch::applyButtonFace(QPushButton* button, const QString& caption) {
    button->setText(caption);
    QFont face = button->font();
    face.setFamilies({QStringLiteral("隶书"), QStringLiteral("LiSu"),
                      QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC")});
    face.setPointSize(14);
    face.setStyleHint(QFont::AnyStyle);
    button->setFont(face);
}

void PortSwitch::Button1Click() {
    // Every click makes sure the test log has its folder; a failure shows up when saving.
    if (!QDir(reportFolder()).exists()) {
        QDir::current().mkdir(QStringLiteral("TestReportDate"));
    }
    if (m_opening) {
        return;
    }
    if (!m_port.isOpen()) {
        open();
    } else {
        close();
    }
}

void PortSwitch::open() {
    const QString name = m_controls.rdCOM->portToOpen();
    const SerialPort::OpenError error =
        name.isEmpty() ? SerialPort::OpenError::NotFound : m_port.open(name.toStdString());
    if (error == SerialPort::OpenError::Pending) {
        m_opening = true;
        m_openingName = name;
        return;
    }
    completeOpen(name, error);
}

void PortSwitch::openFinished(SerialPort::OpenError outcome) {
    if (!m_opening) {
        return;
    }
    m_opening = false;
    completeOpen(m_openingName, outcome);
}

void PortSwitch::completeOpen(const QString& name, SerialPort::OpenError error) {
    if (error != SerialPort::OpenError::None) {
        UserMessage message{"Open Port Error!!", "Comm Error"};
        message.details = (name.isEmpty() ? std::string("No port is selected or typed.")
                                          : name.toStdString() + ": " + describe(error));
        m_messages.show(message);
        return;
    }

    std::int32_t baudRate = 0;
    std::uint8_t dataBits = 0;
    try {
        baudRate = integerSetting<std::int32_t>(m_controls.baudrate);
        dataBits = integerSetting<std::uint8_t>(m_controls.databits);
    } catch (const ConversionError&) {
        m_port.close();
        throw;
    }

    if (!m_port.applyLineSettings(baudRate, dataBits)) {
        m_messages.show(UserMessage{"通信端口设置错误!!!", "Set Error"});
        m_port.close();
        m_controls.Timer1->stop();
        m_controls.Timer2->stop();
        return;
    }

    m_controls.Timer1->start();
    m_controls.Timer2->start();
    setCombosEnabled(false);
    applyButtonFace(m_controls.Button1, CloseCaption);
}

void PortSwitch::close() {
    m_port.close();
    applyButtonFace(m_controls.Button1, OpenCaption);
    m_controls.Timer1->stop();
    m_controls.Timer2->stop();
    setCombosEnabled(true);
}

void PortSwitch::setCombosEnabled(bool enabled) {
    for (QComboBox* combo : {static_cast<QComboBox*>(m_controls.rdCOM), m_controls.baudrate,
                             m_controls.databits, m_controls.parity, m_controls.stopbits}) {
        combo->setEnabled(enabled);
    }
}

} // namespace climate::app
