// The port list: which devices it offers, what it says of each, how wide it drops down, and which
// port a typed name stands for.
#include "app/PortComboBox.h"
#include "app/TForm1.h"
#include "support/RecordingPresenter.h"

#include <QAbstractItemView>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QLineEdit>
#include <QSerialPortInfo>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace climate::app;

namespace {

#ifndef Q_OS_WIN
TEST(PortComboBoxTest, ListsDevicesInNaturalOrderThenTheirStableNames) {
    QTemporaryDir dev;
    ASSERT_TRUE(dev.isValid());
    ASSERT_TRUE(QDir(dev.path()).mkpath(QStringLiteral("serial/by-id")));
    for (const char* name :
         {"ttyS10", "ttyS2", "ttyACM0", "ttyUSB1", "ttyUSB0", "tty0", "console",
          "serial/by-id/usb-FTDI_FT232R_A10K-if00-port0", "serial/by-id/usb-Prolific_2303-port0"}) {
        QFile file(QDir(dev.path()).filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << name;
    }
    const QString root = QDir(dev.path()).absolutePath() + QLatin1Char('/');
    QStringList expected;
    for (const char* name :
         {"ttyUSB0", "ttyUSB1", "ttyACM0", "ttyS2", "ttyS10",
          "serial/by-id/usb-FTDI_FT232R_A10K-if00-port0", "serial/by-id/usb-Prolific_2303-port0"}) {
        expected << root + QString::fromLatin1(name);
    }
    EXPECT_EQ(PortComboBox::systemPorts(dev.path()).join(QLatin1Char('\n')).toStdString(),
              expected.join(QLatin1Char('\n')).toStdString());
}

// Adapters are matched by their system location, directly or through a link such as the names
// under /dev/serial/by-id; paths no adapter reports are described by the path alone.
TEST(PortComboBoxTest, DescribesTheAdapterBehindAnEntry) {
    QTemporaryDir dev;
    ASSERT_TRUE(dev.isValid());
    const QString device = QDir(dev.path()).filePath(QStringLiteral("ttyUSB0"));
    const QString stable = QDir(dev.path()).filePath(QStringLiteral("usb-FTDI_FT232R_A10K"));
    QFile file(device);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(QFile::link(device, stable));

    const QList<PortComboBox::Adapter> adapters{
        {QStringLiteral("/dev/ttyS0"), QStringLiteral("ttyS0"), QString(), QString(), QString(),
         std::nullopt, std::nullopt},
        {device, QStringLiteral("ttyUSB0"), QStringLiteral("FT232R USB UART"),
         QStringLiteral("FTDI"), QStringLiteral("A10K"), quint16{0x0403}, quint16{0x6001}},
    };
    const struct {
        const char* what;
        QString path;
        QStringList lines;
    } cases[] = {
        {"device",
         device,
         {device, QStringLiteral("FT232R USB UART"), QStringLiteral("FTDI"),
          QStringLiteral("USB 0403:6001"), QStringLiteral("Serial number A10K")}},
        {"stable name",
         stable,
         {stable, device, QStringLiteral("FT232R USB UART"), QStringLiteral("FTDI"),
          QStringLiteral("USB 0403:6001"), QStringLiteral("Serial number A10K")}},
        {"on-board port without facts",
         QStringLiteral("/dev/ttyS0"),
         {QStringLiteral("/dev/ttyS0")}},
        {"command-line path", QStringLiteral("/tmp/sim/link"), {QStringLiteral("/tmp/sim/link")}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PortComboBox::describe(c.path, adapters), c.lines) << c.what;
    }
}
#endif

#ifdef Q_OS_WIN
// COM1 ... COM9 always, then every other port the system has now, each once, in number order.
TEST(PortComboBoxTest, OffersComOneToNineThenThePresentPorts) {
    const QStringList ports = PortComboBox::systemPorts();
    ASSERT_GE(ports.size(), 9);
    for (int n = 1; n <= 9; ++n) {
        EXPECT_EQ(ports[n - 1], QStringLiteral("COM%1").arg(n));
    }
    QStringList others = ports.mid(9);
    EXPECT_EQ(others.removeDuplicates(), 0);
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        EXPECT_TRUE(ports.contains(info.portName().toUpper())) << info.portName().toStdString();
    }
    for (qsizetype k = 1; k < others.size(); ++k) {
        if (others[k - 1].startsWith(QStringLiteral("COM")) &&
            others[k].startsWith(QStringLiteral("COM"))) {
            EXPECT_LT(others[k - 1].mid(3).toInt(), others[k].mid(3).toInt());
        }
    }
}

// Typed keys go through the box's validator: a port name is upper case as it is typed.
TEST(PortComboBoxTest, TypedPortNamesBecomeUpperCase) {
    // The box as the window sets it up.
    TForm1 window({}, std::make_unique<RecordingPresenter>(), [](int) {});
    auto* box = window.findChild<PortComboBox*>(QStringLiteral("rdCOM"));
    ASSERT_NE(box, nullptr);
    box->lineEdit()->clear();
    QTest::keyClicks(box->lineEdit(), QStringLiteral("com12"));
    EXPECT_EQ(box->currentText(), QStringLiteral("COM12"));
    EXPECT_EQ(box->portToOpen(), QStringLiteral("COM12"));
}
#endif

TEST(PortComboBoxTest, ATypedNameStandsForThePortToOpen) {
    PortComboBox ports({QStringLiteral("/tmp/sim/link")});
    const QString listed = QStringLiteral("/tmp/sim/link");
    const struct {
        const char* what;
        QString typed;
        QString port;
    } cases[] = {
        {"untouched box", QStringLiteral("COM"), QString()},
        {"empty box", QString(), QString()},
        {"blanks", QStringLiteral("  "), QString()},
        {"listed entry", listed, listed},
        {"listed entry with blanks", QStringLiteral(" ") + listed + QStringLiteral("\t"), listed},
#ifdef Q_OS_WIN
        {"high port number", QStringLiteral("com12"), QStringLiteral("COM12")},
#else
        {"unlisted device", QStringLiteral("/dev/ttyAMA0"), QStringLiteral("/dev/ttyAMA0")},
        {"lower-case path", QStringLiteral("/dev/serial/by-id/usb-ftdi_a10k"),
         QStringLiteral("/dev/serial/by-id/usb-ftdi_a10k")},
        {"port name keeps its case", QStringLiteral("com12"), QStringLiteral("com12")},
#endif
    };
    for (const auto& c : cases) {
        ports.setCurrentIndex(-1);
        ports.setEditText(c.typed);
        EXPECT_EQ(ports.portToOpen(), c.port) << c.what;
    }

    // A selected entry is opened even if the box was typed into before.
    ports.setCurrentIndex(ports.findText(listed));
    EXPECT_EQ(ports.portToOpen(), listed);
}

// Long paths show whole in the drop-down while the box keeps its width.
TEST(PortComboBoxTest, DropsDownAsWideAsItsLongestEntry) {
    const QString longPath = QStringLiteral(
        "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K3B7Z-if00-port0-with-a-long-tail");
    PortComboBox ports({longPath});
    ports.setGeometry(0, 0, 84, 22);
    ports.show();
    ports.showPopup();
    const int needed = QFontMetrics(ports.view()->font()).horizontalAdvance(longPath);
    EXPECT_GE(ports.view()->width(), needed);
    EXPECT_EQ(ports.width(), 84);
    ports.hidePopup();
    const int entry = ports.findText(longPath);
    ASSERT_GE(entry, 0);
    EXPECT_EQ(ports.itemData(entry, Qt::ToolTipRole).toString(), longPath);
    EXPECT_EQ(ports.itemData(entry, Qt::AccessibleDescriptionRole).toString(), longPath);
}

} // namespace
