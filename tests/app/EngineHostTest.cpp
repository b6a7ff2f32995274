// The window around the engine: the link bar shows the link-state model, the engine runs the page
// the page control shows at each tick of Timer2, and Timer2 takes the engine's interval.
#include "app/TForm1.h"
#include "link/CommEngine.h"
#include "link/LinkState.h"
#include "link/Page.h"
#include "support/RecordingPresenter.h"
#include "widgets/LedBar.h"

#include <QColor>
#include <QTabWidget>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

using namespace climate::app;
using namespace climate::link;
using namespace climate::widgets;

namespace {

// The colour values of the link bar in the platform's 0x00BBGGRR form.
int bgr(const QColor& color) {
    return color.blue() << 16 | color.green() << 8 | color.red();
}

class EngineHost : public ::testing::Test {
protected:
    EngineHost()
        : form(std::make_unique<TForm1>(QStringList{}, std::make_unique<RecordingPresenter>(),
                                        [](int) {})),
          bar(form->findChild<LedBar*>(QStringLiteral("iLedBar1"))),
          pages(form->findChild<QTabWidget*>(QStringLiteral("Data"))),
          timer2(form->findChild<QTimer*>(QStringLiteral("Timer2"))) {}

    void SetUp() override {
        ASSERT_NE(bar, nullptr);
        ASSERT_NE(pages, nullptr);
        ASSERT_NE(timer2, nullptr);
    }

    [[nodiscard]] const EngineState& state() const { return form->engine().state(); }

    std::unique_ptr<TForm1> form;
    LedBar* bar;
    QTabWidget* pages;
    QTimer* timer2;
};

TEST_F(EngineHost, TheLinkBarShowsTheModel) {
    EXPECT_EQ(bar->position(), 5);
    EXPECT_EQ(bgr(bar->sectionColor1()), 4259584);

    // No reply yet: the first Timer1 tick finds the link lost.
    form->Timer1Timer();
    EXPECT_EQ(bar->position(), 100);
    EXPECT_EQ(bgr(bar->sectionColor1()), 255);

    LinkState& link = form->linkState();
    link.replyReceived();
    link.timerTick(true);
    EXPECT_EQ(bar->position(), 3);
    EXPECT_EQ(bgr(bar->sectionColor1()), 4259584);
    link.replyReceived();
    EXPECT_EQ(bar->position(), 4);
}

// The engine runs on the page seen at the tick: a visit to another page and back between two
// ticks leaves the poll in flight alone. Timer2 runs at the engine's wait: 300 ms after a poll
// request, 10 ms while collecting the reply.
TEST_F(EngineHost, EachTickRunsThePageShownAndAppliesTheEnginesInterval) {
    pages->setCurrentIndex(RealTimeDataPage);
    form->Timer2Timer(); // enters the page
    EXPECT_EQ(state().PageMode, RealTimeDataPage);
    EXPECT_TRUE(state().SendPending);
    form->Timer2Timer(); // poll step 0 goes out (nowhere: the port is closed)
    EXPECT_FALSE(state().SendPending);
    EXPECT_EQ(timer2->interval(), 300);

    pages->setCurrentIndex(DeclarationPage);
    pages->setCurrentIndex(RealTimeDataPage);
    form->Timer2Timer();
    EXPECT_EQ(state().PageMode, RealTimeDataPage);
    EXPECT_FALSE(state().SendPending) << "the page was not entered again";
    EXPECT_EQ(state().ReplyWaitTicks, 1);
    EXPECT_EQ(timer2->interval(), 10);

    pages->setCurrentIndex(DeclarationPage);
    form->Timer2Timer();
    EXPECT_EQ(state().PageMode, DeclarationPage);
}

} // namespace
