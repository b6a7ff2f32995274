// Set All on the page, over a fake port: the frames of the groups' own Sets one after the other,
// the engine busy throughout, no box per group and one summary at the end.
#include "PageRig.h"

#include "config/SetAllPlan.h"
#include "link/CommEngine.h"

#include <QLabel>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace climate::config;
using namespace climate::link;

namespace {

std::vector<std::uint8_t> echoOf(const std::vector<std::uint8_t>& request) {
    return withCrc({request.begin(), request.begin() + 6});
}

const char* fixtureFrame(ConfigCommand command) {
    for (const GroupFixture& fixture : groupFixtures()) {
        if (fixture.command == command) {
            return fixture.frame;
        }
    }
    return "";
}

class SetAllTest : public ::testing::Test {
protected:
    // Ticks until the next request goes out, noting whether the engine was ever idle meanwhile.
    std::vector<std::uint8_t> nextRequest() {
        const std::size_t before = page.rig.port.writes().size();
        const auto sent = page.rig.driver.runUntil(
            [&] {
                idleBetweenGroups = idleBetweenGroups || !page.state().CommandBusy;
                return page.rig.port.writes().size() > before;
            },
            300);
        return sent ? page.rig.port.writes().back().bytes : std::vector<std::uint8_t>{};
    }
    QString progress() const { return page.view.SetAllProgress->text(); }

    PageRig page;
    bool idleBetweenGroups = false;
};

TEST_F(SetAllTest, SendsEachGroupsOwnFrameInTurnAndEndsWithOneSummary) {
    std::vector<std::pair<std::uint16_t, std::vector<std::uint16_t>>> written;
    page.page->setWriteListener([&](std::uint16_t first, std::span<const std::uint16_t> words) {
        written.emplace_back(first, std::vector<std::uint16_t>(words.begin(), words.end()));
    });
    page.page->Button13Click();
    ASSERT_TRUE(page.state().CommandBusy) << "nothing posted";

    const auto& groups = climate::config::setAllGroups();
    for (std::size_t i = 0; i < groups.size(); ++i) {
        SCOPED_TRACE(i);
        const std::vector<std::uint8_t> request = nextRequest();
        EXPECT_EQ(toHex(request), toHex(fromHex(fixtureFrame(groups[i]->command))));
        EXPECT_EQ(progress(), climate::config::progressText(i));
        page.rig.port.feed(echoOf(request));
    }
    ASSERT_TRUE(page.runUntilIdle());
    EXPECT_FALSE(idleBetweenGroups) << "the engine must stay busy from the first to the last";

    ASSERT_EQ(page.messages().size(), 1u) << "no box per group";
    EXPECT_EQ(page.messages()[0].message.caption, "Set All");
    EXPECT_EQ(page.messages()[0].message.text,
              climate::config::setAllSummary(8, std::nullopt).toStdString());
    EXPECT_EQ(progress(), "Set All: 8 of 8 written");
    // Each accepted write refreshed the link at once; the last, the heat exchanger's, shortens it.
    EXPECT_EQ(page.state().LinkAliveTicks, CommEngine::ShortLinkAlive);
    ASSERT_EQ(written.size(), 8u);
    EXPECT_EQ(written[3],
              (std::pair<std::uint16_t, std::vector<std::uint16_t>>{28, {253, 0xFE70}}));

    // The groups announce their own Set again afterwards.
    page.page->Button11Click();
    page.exchange(echoOf(page.nextRequest()));
    ASSERT_EQ(page.messages().size(), 2u);
    EXPECT_EQ(page.messages()[1].message.caption, "Set Alarm TEMP");
}

TEST_F(SetAllTest, AWrongReplyStopsItThereWithOneSummary) {
    page.page->Button13Click();
    const auto& groups = climate::config::setAllGroups();
    for (std::size_t i = 0; i < 2; ++i) {
        page.rig.port.feed(echoOf(nextRequest()));
    }
    std::vector<std::uint8_t> fromElsewhere = nextRequest();
    ASSERT_EQ(fromElsewhere.at(3), groups[2]->firstRegister);
    fromElsewhere[0] = 2; // another slave answers
    page.rig.port.feed(echoOf(fromElsewhere));
    ASSERT_TRUE(page.runUntilIdle());

    ASSERT_EQ(page.messages().size(), 1u);
    EXPECT_EQ(page.messages()[0].message.text,
              climate::config::setAllSummary(
                  2, climate::config::GroupFailure{climate::config::GroupFailure::Kind::WrongReply})
                  .toStdString());
    EXPECT_EQ(page.messages()[0].message.icon, UserMessage::Icon::Error);
    EXPECT_EQ(progress(), "Set All stopped at 3 of 8: Heater");
    EXPECT_EQ(page.nextRequest(20), std::vector<std::uint8_t>{}) << "nothing more is sent";
}

TEST_F(SetAllTest, ABusyEngineAClosedPortOrAFieldLeftEmptyPostNothing) {
    page.page->Button12Click(); // Read All posted
    page.page->Button13Click();
    page.exchange(std::vector<std::uint8_t>{}); // unanswered: the fields it cleared stay empty
    page.page->Button13Click();
    EXPECT_FALSE(page.state().CommandBusy);
    page.closePort();
    page.page->Button13Click();

    std::vector<std::string> boxes;
    for (const auto& shown : page.messages()) {
        boxes.push_back(shown.message.text + " / " + shown.message.caption);
    }
    EXPECT_EQ(boxes, (std::vector<std::string>{
                         "Systerm Busy,Please Wait / Set Intfan1!",
                         "Nothing was sent. Internal Fan, StepRev: '' is not a valid integer "
                         "value. / Set All",
                         "ComPort Not Open!! / Comm Error"}));
    EXPECT_EQ(page.rig.port.writes().size(), 1u) << "only the Read All went out";
    EXPECT_TRUE(progress().isEmpty());
}

} // namespace
