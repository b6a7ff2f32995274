// Keyboard users reach every control of the Configuration page with Tab, in reading order: the
// left column top to bottom, then the parameter groups, row by row inside each, its "Set" last.
#include "app/TForm1.h"
#include "support/RecordingPresenter.h"

#include <QApplication>
#include <QComboBox>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

using namespace climate::app;

namespace {

// The control that has the keyboard focus; an edit field inside a combo box counts as the box.
QWidget* focusedControl() {
    QWidget* focused = QApplication::focusWidget();
    if (focused != nullptr) {
        if (auto* combo = qobject_cast<QComboBox*>(focused->parentWidget())) {
            return combo;
        }
    }
    return focused;
}

const char* const ReadingOrder[] = {
    // Serial Port; the four settings boxes are enabled once the port has been closed.
    "rdCOM", "baudrate", "databits", "parity", "stopbits", "Button1",
    // Comm Address, FW Version (its field is read-only and disabled), All (Set Read / Save…
    // Load…), Stop Systerm.
    "Edit17", "Button8", "Button5", "Button13", "Button12", "SaveParameters", "LoadParameters",
    "Button2",
    // Internal Fan: StepRev StepTemp Intfan1 / MaxRev MaxTemp Intfan2 / MinRev MinTemp PluseNo /
    // DeltTemp StopTemp Set.
    "Edit12", "Edit14", "ComboBox1", "Edit5", "Edit27", "ComboBox2", "Edit13", "Edit9", "Edit41",
    "Edit7", "Edit6", "Set",
    // External Fan, the same rows.
    "Edit34", "Edit36", "ComboBox3", "Edit8", "Edit37", "ComboBox4", "Edit35", "Edit15", "Edit40",
    "Edit39", "Edit38", "Button10",
    // Heater: MaxCurrent StartTemp / MinCurrent DeltTemp / Dis/Enable Set.
    "Edit50", "Edit52", "Edit51", "Edit53", "ComboBox5", "Button15",
    // Temp. Alarm.
    "Edit24", "Edit25", "Button11",
    // Compressor: StartTemp. DeltTemp. / MaxRPM Set.
    "Edit30", "Edit29", "Edit31", "Button14",
    // ExtInput.
    "ComboBox6", "ComboBox7", "Button4",
    // VoltageAlarm.
    "Edit18", "Edit28", "Button9",
    // Calibration.
    "Edit1", "Edit2", "Edit10", "Edit16", "Button3",
    // Address.
    "Edit4", "Button7",
    // Heat Exchanger: StartTemp. DeltTemp. / Min Delt-T / Set.
    "Edit42", "Edit33", "Edit43", "Button18"};

TEST(TabOrder, ConfigurationPageFollowsReadingOrder) {
    TForm1 form(QStringList{}, std::make_unique<RecordingPresenter>(), [](int) {});
    // As after the first close of the port: all serial settings can be changed.
    for (const char* name : {"baudrate", "databits", "parity", "stopbits"}) {
        form.findChild<QComboBox*>(QString::fromLatin1(name))->setEnabled(true);
    }
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    QWidget* page = form.findChild<QTabWidget*>(QStringLiteral("Data"))->widget(0);
    auto* first = form.findChild<QWidget*>(QStringLiteral("rdCOM"));
    first->setFocus(Qt::TabFocusReason);
    ASSERT_EQ(focusedControl(), first);

    // Walk the chain once round, keeping the controls of the page in the order Tab reaches them.
    QStringList walked{first->objectName()};
    for (int presses = 0; presses < 400; ++presses) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* control = focusedControl();
        ASSERT_NE(control, nullptr) << "focus lost after " << walked.join(u' ').toStdString();
        if (control == first) {
            break;
        }
        if (page->isAncestorOf(control)) {
            walked << control->objectName();
        }
    }

    QStringList expected;
    for (const char* name : ReadingOrder) {
        expected << QString::fromLatin1(name);
    }
    EXPECT_EQ(walked.join(u' ').toStdString(), expected.join(u' ').toStdString());

    // Every enabled control that takes the focus is reached.
    for (QWidget* widget : page->findChildren<QWidget*>()) {
        const bool control = widget->isEnabled() && widget->isVisibleTo(page) &&
                             (widget->focusPolicy() & Qt::TabFocus) != 0 &&
                             qobject_cast<QComboBox*>(widget->parentWidget()) == nullptr &&
                             widget->window() == &form;
        if (control) {
            EXPECT_TRUE(walked.contains(widget->objectName()))
                << widget->objectName().toStdString() << " is not reached by Tab";
        }
    }
}

} // namespace
