#pragma once

#include "link/SerialPort.h"

#include <QString>

class QComboBox;
class QPushButton;
class QTimer;

namespace climate::link {
class MessagePresenter;
} // namespace climate::link

namespace climate::app {

class PortComboBox;

// The Open/Close button of the serial port group. Its caption shows the port's state: "Open" while
// the port is closed, "Close" while it is open; the switch and the pages ask the port itself
// (LinkState). A pulled adapter leaves the port open and the caption at "Close". A network port
// takes a while to connect: meanwhile the port is not open and the caption stays "Open" (so
// nothing else starts), further clicks are ignored, and the window goes on as before;
// openFinished() then completes the open.
class PortSwitch final {
public:
    struct Controls {
        PortComboBox* rdCOM = nullptr;
        QComboBox* baudrate = nullptr;
        QComboBox* databits = nullptr;
        QComboBox* parity = nullptr;
        QComboBox* stopbits = nullptr;
        QPushButton* Button1 = nullptr;
        QTimer* Timer1 = nullptr;
        QTimer* Timer2 = nullptr;
    };

    PortSwitch(link::SerialPort& port, link::MessagePresenter& messages, const Controls& controls);

    // Opens or closes the port; raises ConversionError when the baud rate or data bits text is
    // not a number (the port is then closed again, so nothing stays half-open).
    void Button1Click();
    // The outcome of an open that the port finishes later (see SerialPort::open).
    void openFinished(link::SerialPort::OpenError outcome);
    // A network port is connecting.
    [[nodiscard]] bool isOpening() const { return m_opening; }

    // Folder in which the test-log workbooks are kept: "TestReportDate" in the current directory.
    [[nodiscard]] static QString reportFolder();
    static void applyButtonFace(QPushButton* button, const QString& caption);

private:
    void open();
    // Shows why opening `name` failed, or sets the port up and starts the timers.
    void completeOpen(const QString& name, link::SerialPort::OpenError error);
    void close();
    void setCombosEnabled(bool enabled);

    link::SerialPort& m_port;
    link::MessagePresenter& m_messages;
    Controls m_controls;
    bool m_opening = false;
    QString m_openingName;
};

} // namespace climate::app
