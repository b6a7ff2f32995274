// The pseudo-terminal's clients as the simulator tells them: it learns of opens and closes from
// inotify, which merges an event with an identical one not read yet. Opens and closes done here
// before the simulator reads any of them come to it merged, as they do when the simulator is
// slow to be scheduled on a busy machine.
#include "PtyLink.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace sim {
namespace {

class PtyLinkClients : public testing::Test {
protected:
    void SetUp() override {
        std::string folder = (std::filesystem::temp_directory_path() / "pty-link-XXXXXX").string();
        ASSERT_NE(::mkdtemp(folder.data()), nullptr);
        m_folder = folder;
        link = std::make_unique<PtyLink>(m_folder / "link", 9600);
        std::string result;
        ASSERT_TRUE(link->plug(result)) << result;
    }
    void TearDown() override {
        link.reset();
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }

    // Opens the device as a client does; the line at `speed` when given.
    int openClient(speed_t speed = 0) {
        const int fd = ::open(link->linkPath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        EXPECT_GE(fd, 0);
        if (fd >= 0 && speed != 0) {
            termios settings{};
            EXPECT_EQ(::tcgetattr(fd, &settings), 0);
            ::cfsetspeed(&settings, speed);
            EXPECT_EQ(::tcsetattr(fd, TCSANOW, &settings), 0);
        }
        return fd;
    }
    static speed_t speedOf(int fd) {
        termios settings{};
        EXPECT_EQ(::tcgetattr(fd, &settings), 0);
        return ::cfgetospeed(&settings);
    }

    std::unique_ptr<PtyLink> link;

private:
    std::filesystem::path m_folder;
};

// The tool has the port at 2400 baud; something else opens the device, reads its settings and
// closes it again. Whether the simulator reads the opens one by one or merged, the tool is still
// there: its line keeps its speed, and it still gets what the simulator writes.
TEST_F(PtyLinkClients, ASecondOpenerLeavingIsNotTheToolLeaving) {
    for (const bool readBetween : {true, false}) {
        SCOPED_TRACE(readBetween ? "each open read at once" : "the opens read merged");
        const int tool = openClient(B2400);
        if (readBetween) {
            EXPECT_FALSE(link->handleWatchEvents());
        }
        const int look = openClient();
        EXPECT_EQ(speedOf(look), speed_t{B2400});
        ::close(look);

        EXPECT_FALSE(link->handleWatchEvents()) << "the stream starts afresh under the tool";
        EXPECT_TRUE(link->hasClient()) << "replies to the tool would be dropped";
        EXPECT_EQ(speedOf(tool), speed_t{B2400}) << "the line was reset under the tool";

        // When the tool leaves too, the line is set back for the next client.
        ::close(tool);
        EXPECT_TRUE(link->handleWatchEvents());
        EXPECT_FALSE(link->hasClient());
        const int next = openClient();
        EXPECT_EQ(speedOf(next), speed_t{B9600});
        ::close(next);
        EXPECT_TRUE(link->handleWatchEvents());
    }
}

// Two clients that close before the simulator reads either close leave as one merged event;
// the device is left all the same, and the line is set back.
TEST_F(PtyLinkClients, TwoClientsLeavingTogetherLeaveTheDevice) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "every process's descriptors are seen only by root";
    }
    const int first = openClient(B2400);
    EXPECT_FALSE(link->handleWatchEvents());
    const int second = openClient();
    EXPECT_FALSE(link->handleWatchEvents());
    ASSERT_TRUE(link->hasClient());
    ::close(second);
    ::close(first);
    EXPECT_TRUE(link->handleWatchEvents());
    EXPECT_FALSE(link->hasClient()) << "what the simulator writes would wait for nobody";
    const int next = openClient();
    EXPECT_EQ(speedOf(next), speed_t{B9600});
    ::close(next);
}

} // namespace
} // namespace sim
