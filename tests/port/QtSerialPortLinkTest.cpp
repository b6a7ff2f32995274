// The port layer on the simulator's pseudo-terminal: opening, line settings, purging, and the
// causes of a refused open.
#include "link/QtSerialPortLink.h"
#include "support/EventLoopWait.h"
#include "support/SimulatorProcess.h"

#include <QTemporaryFile>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <string>

using namespace climate::link;

namespace {

class PortOnSimulator : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sim.start()) << sim.diagnostics().toStdString();
        ASSERT_EQ(port.open(sim.linkPath().toStdString()), SerialPort::OpenError::None)
            << port.lastErrorText().toStdString();
    }

    // The line settings of the device as the driver holds them.
    termios deviceSettings() const {
        termios settings{};
        const int fd = ::open(sim.linkPath().toLocal8Bit().constData(), O_RDONLY | O_NOCTTY);
        EXPECT_GE(fd, 0);
        if (fd >= 0) {
            ::tcgetattr(fd, &settings);
            ::close(fd);
        }
        return settings;
    }

    SimulatorProcess sim;
    QtSerialPortLink port;
};

TEST_F(PortOnSimulator, LineSettingsBaudAndDataBitsNoParityOneStopBit) {
    ASSERT_TRUE(port.applyLineSettings(19200, 8)) << port.lastErrorText().toStdString();
    const termios settings = deviceSettings();
    EXPECT_EQ(cfgetospeed(&settings), speed_t{B19200});
    EXPECT_EQ(settings.c_cflag & CSIZE, tcflag_t{CS8});
    EXPECT_EQ(settings.c_cflag & PARENB, 0u);
    EXPECT_EQ(settings.c_cflag & CSTOPB, 0u);

    ASSERT_TRUE(port.applyLineSettings(2400, 8));
    const termios slower = deviceSettings();
    EXPECT_EQ(cfgetospeed(&slower), speed_t{B2400});
}

TEST_F(PortOnSimulator, DataBitCountsOutsideFiveToEightAreRefused) {
    EXPECT_FALSE(port.applyLineSettings(9600, 4));
    EXPECT_FALSE(port.applyLineSettings(9600, 9));
    EXPECT_FALSE(port.applyLineSettings(0, 8));
    EXPECT_TRUE(port.isOpen()) << "a refusal leaves closing to the caller";
    EXPECT_TRUE(port.applyLineSettings(9600, 8));
}

TEST_F(PortOnSimulator, PurgeDropsQtsBufferAndTheDriversQueue) {
    ASSERT_TRUE(port.applyLineSettings(9600, 8));
    ASSERT_TRUE(sim.commandOk("noise 2000")) << sim.diagnostics().toStdString();
    ASSERT_TRUE(spinUntil([&] { return port.bytesWaiting() >= 2000; }, 3000))
        << port.bytesWaiting();
    EXPECT_EQ(port.bytesWaiting(), 2000u);
    port.purgeInput();
    EXPECT_EQ(port.bytesWaiting(), 0u);
    spinFor(200);
    EXPECT_EQ(port.bytesWaiting(), 0u) << "nothing of the burst comes back later";
}

TEST_F(PortOnSimulator, ReadTakesOnlyWhatWaits) {
    ASSERT_TRUE(sim.commandOk("noise 300"));
    ASSERT_TRUE(spinUntil([&] { return port.bytesWaiting() >= 300; }, 3000));
    std::array<std::uint8_t, 1024> buffer{};
    EXPECT_EQ(port.read(buffer.data(), 100), 100u);
    EXPECT_EQ(port.bytesWaiting(), 200u);
    EXPECT_EQ(port.read(buffer.data(), 1024), 200u);
    EXPECT_EQ(port.read(buffer.data(), 1024), 0u);
}

TEST_F(PortOnSimulator, SecondOpenOfTheSamePortIsInUse) {
    QtSerialPortLink other;
    EXPECT_EQ(other.open(sim.linkPath().toStdString()), SerialPort::OpenError::InUse)
        << other.lastErrorText().toStdString();
    EXPECT_FALSE(other.isOpen());
    port.close();
    EXPECT_EQ(other.open(sim.linkPath().toStdString()), SerialPort::OpenError::None)
        << "free again once closed: " << other.lastErrorText().toStdString();
}

TEST_F(PortOnSimulator, WithoutAccessRightsThePermissionIsDenied) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to try the port as an unprivileged user";
    }
    port.close();
    const std::string path = sim.linkPath().toStdString();
    // An unprivileged user (nobody) has no rights on the simulator's root-owned device.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) {
            ::_exit(100);
        }
        QtSerialPortLink unprivileged;
        ::_exit(static_cast<int>(unprivileged.open(path)));
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), static_cast<int>(SerialPort::OpenError::PermissionDenied));
}

TEST_F(PortOnSimulator, ListenerMayCloseThePortWhenItIsLost) {
    int losses = 0;
    QObject::connect(&port, &QtSerialPortLink::lost, [&] {
        ++losses;
        port.close();
    });
    ASSERT_TRUE(sim.commandOk("pull"));
    ASSERT_TRUE(spinUntil([&] { return losses > 0; }, 3000));
    spinFor(100);
    EXPECT_EQ(losses, 1);
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(port.isLost());
}

TEST(PortOpen, MissingDeviceIsNotFound) {
    QtSerialPortLink port;
    EXPECT_EQ(port.open("/dev/climate-tool-no-such-port"), SerialPort::OpenError::NotFound);
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(port.lastErrorText().isEmpty());
    EXPECT_EQ(port.open("COM0"), SerialPort::OpenError::NotFound);
}

TEST(PortOpen, SomethingThatIsNotASerialDeviceIsOther) {
    QTemporaryFile file;
    ASSERT_TRUE(file.open());
    QtSerialPortLink port;
    EXPECT_EQ(port.open(file.fileName().toStdString()), SerialPort::OpenError::Other);
    EXPECT_FALSE(port.isOpen());
}

TEST(PortNeverOpened, EveryOperationFailsWithoutEffect) {
    QtSerialPortLink port;
    std::array<std::uint8_t, 8> buffer{};
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.bytesWaiting(), 0u);
    EXPECT_EQ(port.read(buffer.data(), 8), 0u);
    port.write(buffer.data(), 8);
    port.purgeInput();
    EXPECT_FALSE(port.applyLineSettings(9600, 8));
    port.close();
    EXPECT_FALSE(port.isOpen());
}

} // namespace
