// Message boxes never stop the engine: they have no owner, are not modal and do not block.
#include "app/QtMessagePresenter.h"
#include "app/TForm1.h"

#include "support/OpenMessageBoxes.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace climate::app;
using namespace climate::link;

namespace {

void dismiss(QMessageBox* box) {
    box->button(QMessageBox::Ok)->click();
}

class MessagePresenter : public ::testing::Test {
protected:
    void TearDown() override {
        for (QMessageBox* box : openMessageBoxes()) {
            dismiss(box);
        }
        QApplication::processEvents();
    }
};

TEST_F(MessagePresenter, ShowsWithoutOwnerAndWithoutBlocking) {
    QtMessagePresenter presenter;
    bool closed = false;
    presenter.show(UserMessage{"ComPort Not Open!!", "Comm Error"}, [&] { closed = true; });

    // show() has returned while the box is still open.
    const QList<QMessageBox*> boxes = openMessageBoxes();
    ASSERT_EQ(boxes.size(), 1);
    QMessageBox* box = boxes.front();
    EXPECT_EQ(box->text(), QStringLiteral("ComPort Not Open!!"));
    EXPECT_EQ(box->windowTitle(), QStringLiteral("Comm Error"));
    EXPECT_EQ(box->parentWidget(), nullptr);
    EXPECT_FALSE(box->isModal());
    EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
    EXPECT_FALSE(closed);

    // The steps that follow the box run once it is dismissed, not before.
    dismiss(box);
    EXPECT_TRUE(closed);
    EXPECT_EQ(presenter.openBoxCount(), 0);
}

TEST_F(MessagePresenter, ErrorBoxesCarryTheErrorIcon) {
    QtMessagePresenter presenter;
    presenter.show(UserMessage{"无法启动Excel", "错误", UserMessage::Icon::Error});
    const QList<QMessageBox*> boxes = openMessageBoxes();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes.front()->icon(), QMessageBox::Critical);
    EXPECT_EQ(boxes.front()->text(), QStringLiteral("无法启动Excel"));
}

TEST_F(MessagePresenter, TimersKeepTickingWhileABoxIsOpen) {
    QtMessagePresenter presenter;
    int ticks = 0;
    QTimer timer;
    timer.setInterval(5);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        // The first tick opens a box from inside the timer's own slot, as the engine does.
        if (ticks++ == 0) {
            presenter.show(UserMessage{"Set Successfully!", "Set Intfan1"});
        }
    });
    timer.start();
    QTest::qWait(200);
    EXPECT_EQ(presenter.openBoxCount(), 1);
    EXPECT_GT(ticks, 5) << "the timer that opened the box stopped while the box was open";
}

TEST_F(MessagePresenter, RepeatedBoxesOfOneKeyShowOnce) {
    QtMessagePresenter presenter;
    UserMessage failure{"报表模板文件不存在,无法打开！", "错误", UserMessage::Icon::Error};
    failure.repeatKey = "test-log";
    for (int i = 0; i < 50; ++i) {
        presenter.show(failure);
    }
    EXPECT_EQ(openMessageBoxes().size(), 1);
    EXPECT_EQ(presenter.suppressedCount("test-log"), 49);

    // Other boxes are not held back by it.
    presenter.show(UserMessage{"Force Fail!", "Force Status"});
    presenter.show(UserMessage{"Force Fail!", "Force Status"});
    EXPECT_EQ(openMessageBoxes().size(), 3);

    // Once the box is closed, the next failure may show one again.
    for (QMessageBox* box : openMessageBoxes()) {
        if (box->windowTitle() == QStringLiteral("错误")) {
            dismiss(box);
        }
    }
    presenter.show(failure);
    EXPECT_EQ(presenter.openBoxCount(), 3);
}

TEST_F(MessagePresenter, WindowStaysUsableAndEngineTicksWhileABoxIsOpen) {
    TForm1 form(QStringList{}, nullptr, [](int) {});
    int engineTicks = 0;
    auto* timer2 = form.findChild<QTimer*>(QStringLiteral("Timer2"));
    ASSERT_NE(timer2, nullptr);
    QObject::connect(timer2, &QTimer::timeout, [&] { ++engineTicks; });

    auto* read = form.findChild<QPushButton*>(QStringLiteral("Button12"));
    read->click(); // port closed: "ComPort Not Open!!"
    ASSERT_EQ(openMessageBoxes().size(), 1);
    QTest::qWait(150);
    EXPECT_GT(engineTicks, 3);

    // A click on the window while the box is open is handled at once.
    read->click();
    EXPECT_EQ(openMessageBoxes().size(), 2);
}

TEST_F(MessagePresenter, HandlerErrorsAreReportedAndTheEventLoopGoesOn) {
    TForm1 form(QStringList{}, nullptr, [](int) {});
    auto* comm = form.findChild<QLineEdit*>(QStringLiteral("Edit17"));
    ASSERT_NE(comm, nullptr);
    comm->setText(QStringLiteral(" 12a "));
    form.findChild<QPushButton*>(QStringLiteral("Button8"))->click();
    const QList<QMessageBox*> boxes = openMessageBoxes();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes.front()->text(), QStringLiteral("'12a' is not a valid integer value"));
    EXPECT_EQ(boxes.front()->windowTitle(), TForm1::applicationTitle());
    EXPECT_EQ(boxes.front()->icon(), QMessageBox::Critical);
}

} // namespace
