// A night alone with a failing test log: the log's failure boxes do not pile up, and polling goes
// on while one is open.
#include "WindowOnSimulator.h"

#include "app/QtMessagePresenter.h"
#include "realtime/RealTimeMonitor.h"
#include "report/TestLog.h"
#include "support/EventLoopWait.h"
#include "support/OpenMessageBoxes.h"
#include "widgets/NumericReadout.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>

using namespace climate::app;
using namespace climate::link;
using climate::realtime::TestLogRow;
using namespace climate::report;
using namespace climate::widgets;

namespace {

const QString FileMissing = QStringLiteral("报表模板文件不存在,无法打开！");

int requestsServed(SimulatorProcess& sim) {
    const QString answer = sim.command(QStringLiteral("stats"));
    const qsizetype at = answer.indexOf(QStringLiteral("requests="));
    return at < 0 ? -1 : answer.mid(at + 9).section(QLatin1Char(' '), 0, 0).toInt();
}

// The port stays open throughout: a night alone is a night of polling.
class UnattendedLog : public WindowOnSimulator {
protected:
    UnattendedLog() { realMessageBoxes = true; }

    void SetUp() override {
        WindowOnSimulator::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        presenter = dynamic_cast<QtMessagePresenter*>(&form->messages());
        ASSERT_NE(presenter, nullptr);
    }
    void TearDown() override {
        for (QMessageBox* box : openMessageBoxes()) {
            box->button(QMessageBox::Ok)->click();
        }
        WindowOnSimulator::TearDown();
    }

    // Writes the first record, so the workbook exists, then deletes it.
    void deleteTheWorkbookAfterOneRecord() {
        form->testLog().WriteLogRecord(TestLogRow{});
        ASSERT_TRUE(form->testLog().flush()); // the save has reached the disk
        const QString path = QString::fromStdString(form->testLog().state().LogFilePath);
        ASSERT_TRUE(QFile::exists(path)) << path.toStdString();
        ASSERT_TRUE(QFile::remove(path));
        ASSERT_TRUE(openMessageBoxes().isEmpty());
    }

    QtMessagePresenter* presenter = nullptr;
};

TEST_F(UnattendedLog, ManyFailedRecordsRaiseOneBox) {
    deleteTheWorkbookAfterOneRecord();
    const int loopLevel = QThread::currentThread()->loopLevel();
    int deepestLoop = loopLevel;
    QObject::connect(presenter, &QtMessagePresenter::boxShown, [&] {
        deepestLoop = std::max(deepestLoop, QThread::currentThread()->loopLevel());
    });

    for (int record = 0; record < 300; ++record) {
        form->testLog().WriteLogRecord(TestLogRow{});
    }
    const QList<QMessageBox*> boxes = openMessageBoxes();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes.front()->text(), FileMissing);
    EXPECT_EQ(boxes.front()->icon(), QMessageBox::Critical);
    EXPECT_EQ(presenter->suppressedCount(TestLog::RepeatKey), 299);
    EXPECT_EQ(deepestLoop, loopLevel) << "a box must not run an event loop of its own";
    EXPECT_FALSE(QFile::exists(QString::fromStdString(form->testLog().state().LogFilePath)))
        << "a deleted workbook is never created again";

    // Once the box is closed, the next failure shows one again.
    boxes.front()->button(QMessageBox::Ok)->click();
    EXPECT_TRUE(openMessageBoxes().isEmpty());
    form->testLog().WriteLogRecord(TestLogRow{});
    EXPECT_EQ(openMessageBoxes().size(), 1);
}

TEST_F(UnattendedLog, PollingGoesOnWhileTheBoxIsOpen) {
    ASSERT_TRUE(sim.commandOk(QStringLiteral("model off")));
    deleteTheWorkbookAfterOneRecord();
    child<QTabWidget>("Data")->setCurrentIndex(1);

    // Every measurements reply now asks for a record, and every record fails.
    auto* temperature1 = child<NumericReadout>("iAnalogOutput3");
    ASSERT_TRUE(spinUntil(
        [&] {
            form->realTime().setLogTickCount(100);
            return !openMessageBoxes().isEmpty();
        },
        8000));
    const int before = requestsServed(sim);
    ASSERT_TRUE(sim.commandOk(QStringLiteral("set ir 4 123")));
    const bool updated = spinUntil(
        [&] {
            form->realTime().setLogTickCount(100);
            return temperature1->value() > 12.25 && temperature1->value() < 12.35;
        },
        8000);
    EXPECT_TRUE(updated) << "iAnalogOutput3 shows " << temperature1->value();
    // At least one whole circle of four requests went out while the box was open.
    EXPECT_GE(requestsServed(sim), before + 4) << "requests still go out";
    EXPECT_EQ(openMessageBoxes().size(), 1);
    EXPECT_GT(presenter->suppressedCount(TestLog::RepeatKey), 0);
}

} // namespace
