// The window as a person uses it, on a real display against the controller simulator: every step
// goes through mouse clicks and key presses (tests/support/RealInput), none sets a widget's state
// by code. One pass along the main paths, and every combo box of the Configuration page chosen
// from its list. Run on a private X server by run_on_xvfb.sh; the Windows build runs it on
// Windows' own platform plugin under Wine, where the file dialogs are the system's.
//
// With CLIMATE_DOCS_SHOTS set to a folder, the walkthrough leaves the README's pictures there.
#include "GroupWrites.h"
#include "WindowOnSimulator.h"

#include "app/PortComboBox.h"
#include "app/WindowStyle.h"
#include "link/CommEngine.h"
#include "monitor/BusMonitorWindow.h"
#include "support/RealInput.h"
#include "support/SystemFileDialog.h"
#include "widgets/Thermometer.h"
#include "widgets/XYPlot.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QPointer>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

using namespace climate;

// Texts in failures as text.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

namespace {

// Answers the next file dialog as a person does: types the path into its name field and presses
// Return. The dialog runs its own event loop inside the click that opened it, so the answer waits
// for it on a timer. A dialog still open after a few seconds is rejected, so no test hangs. Where
// the platform shows the system's own dialog (Windows), that one is answered with the system's
// keystrokes.
class FileDialogAnswer {
public:
    explicit FileDialogAnswer(QString path) : m_path(std::move(path)) {
        m_timer.setInterval(50);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start();
    }

    // Empty when a dialog was answered; what went wrong otherwise.
    [[nodiscard]] std::string outcome() const {
        return m_answered ? m_failure : "no file dialog was answered: " + m_failure;
    }
    [[nodiscard]] QString title() const { return m_title; }

private:
    void poll() {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (const QString title = SystemFileDialog::shownTitle(); !title.isEmpty()) {
            m_timer.stop();
            m_title = title;
            m_failure = SystemFileDialog::answer(m_path);
            m_answered = true;
            QTimer::singleShot(3000, &m_timer, [this] {
                if (!SystemFileDialog::shownTitle().isEmpty()) {
                    m_failure = "the dialog stayed open after Return";
                    SystemFileDialog::dismiss();
                }
            });
            return;
        }
        if (dialog == nullptr || !dialog->isActiveWindow()) {
            if (++m_polls > 100) {
                m_failure = "none became active within 5 s";
                m_timer.stop();
                SystemFileDialog::dismiss();
            }
            return;
        }
        m_timer.stop();
        m_title = dialog->windowTitle();
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (name == nullptr) {
            m_failure = "the dialog has no file name field";
            dialog->reject();
            return;
        }
        m_failure = RealInput::typeInto(name, m_path);
        if (m_failure.empty()) {
            m_failure = RealInput::press(Qt::Key_Return);
        }
        m_answered = true;
        QPointer<QFileDialog> open(dialog);
        QTimer::singleShot(3000, &m_timer, [open, this] {
            if (open != nullptr && open->isVisible()) {
                m_failure = "the dialog stayed open after Return";
                open->reject();
            }
        });
    }

    QString m_path;
    QTimer m_timer;
    int m_polls = 0;
    bool m_answered = false;
    std::string m_failure;
    QString m_title;
};

// Saves the widget's picture into the README's folder when one is asked for.
void keepPicture(QWidget* widget, const char* name) {
    const QByteArray folder = qgetenv("CLIMATE_DOCS_SHOTS");
    if (folder.isEmpty()) {
        return;
    }
    QDir().mkpath(QString::fromLocal8Bit(folder));
    QTest::qWait(100); // the last values painted
    EXPECT_TRUE(
        widget->grab().save(QDir(QString::fromLocal8Bit(folder))
                                .filePath(QString::fromLatin1(name) + QStringLiteral(".png"))))
        << name;
}

// The Internal Fan group as a technician sets it up, with the registers its Set must leave.
const GroupWrite& internalFanSetUp() {
    static const GroupWrite group{"Set",
                                  {{"Edit12", "150"},
                                   {"Edit5", "2800"},
                                   {"Edit13", "900"},
                                   {"Edit14", "4.5"},
                                   {"Edit27", "38"},
                                   {"Edit9", "26.5"},
                                   {"Edit6", "21"},
                                   {"Edit7", "2.5"},
                                   {"Edit41", "2"}},
                                  {{"ComboBox1", 1}, {"ComboBox2", 0}},
                                  0,
                                  {150, 2800, 900, 45, 380, 265, 210, 25, 2, 1, 0},
                                  "Set Intfan1"};
    return group;
}

class Walkthrough : public WindowOnSimulator {
protected:
    Walkthrough() { openPortInSetUp = false; }

    // The tool's own look (style, font, colours), as a person sees it and the pictures show it.
    static void SetUpTestSuite() {
        app::applyWindowStyle(*qobject_cast<QApplication*>(QCoreApplication::instance()));
    }

    void SetUp() override {
        WindowOnSimulator::SetUp();
        ASSERT_EQ(RealInput::showAndActivate(form.get()), "") << "showing the window";
    }

    QTabWidget* pages() const { return child<QTabWidget>("Data"); }

    // Clicks the page's tab and waits, as a person looks before clicking on, until the engine
    // has taken the page: a command posted before then is dropped as the page is entered.
    std::string showPage(const QString& caption) {
        if (std::string failed = RealInput::clickTab(pages(), caption); !failed.empty()) {
            return failed;
        }
        const int page = pages()->currentIndex();
        if (!QTest::qWaitFor([&] { return form->engine().state().PageMode == page; }, 3000)) {
            return "the engine did not take the page " + caption.toStdString();
        }
        return {};
    }

    // Clicks a command button and waits until the engine has ended its command.
    std::string clickCommand(const std::string& name, int timeoutMs = 5000) {
        if (std::string failed = RealInput::click(button(name)); !failed.empty()) {
            return failed;
        }
        if (!QTest::qWaitFor([this] { return !form->engine().state().CommandBusy; }, timeoutMs)) {
            return name + "'s command did not end";
        }
        return {};
    }

    QList<QComboBox*> configurationBoxes() const {
        return child<QWidget>("Configuration")->findChildren<QComboBox*>();
    }
};

TEST_F(Walkthrough, APersonsPathThroughEveryPage) {
    // 1. Choose the simulator's port from the drop-down list and open it.
    {
        const char* step = "choosing the port from the list and pressing Open";
        auto* ports = child<app::PortComboBox>("rdCOM");
        ASSERT_NE(ports, nullptr) << step;
        const int entry = ports->findText(sim.portName());
        ASSERT_GE(entry, 0) << step << ": the simulator's port is not listed";
        ASSERT_EQ(RealInput::choose(ports, entry), "") << step;
        ASSERT_EQ(ports->currentText(), sim.portName()) << step << ": the box did not take it";
        ASSERT_EQ(RealInput::click(button("Button1")), "") << step;
        ASSERT_TRUE(QTest::qWaitFor([&] { return button("Button1")->text() == "Close"; }, 3000))
            << step << ": " << messages->describe();
    }

    // 2. The RealTimeData page shows the simulator's values.
    {
        const char* step = "the RealTimeData page showing the simulator's values";
        for (const char* pin : {"set ir 0 1500", "set ir 5 253", "set ir 4 241"}) {
            ASSERT_TRUE(sim.commandOk(QString::fromLatin1(pin))) << step << ": " << pin;
        }
        ASSERT_EQ(showPage("RealTimeData"), "") << step;
        auto* cabinet = child<widgets::Thermometer>("iThermometer2");
        ASSERT_TRUE(QTest::qWaitFor([&] { return cabinet->position() == 25.3; }, 5000))
            << step << ": iThermometer2 shows " << cabinet->position();
        EXPECT_EQ(edit("Edit19")->text(), "1500") << step;
        EXPECT_TRUE(waitTimerTicks("Timer1", 3)) << step << ": the link bar's timer";
        keepPicture(form.get(), "realtimedata");
    }

    // 3. Read All on the Configuration page.
    {
        const char* step = "Read All";
        ASSERT_TRUE(sim.commandOk("set hr 0 77")) << step;
        ASSERT_EQ(showPage("Configuration"), "") << step;
        ASSERT_EQ(clickCommand("Button12"), "") << step;
        EXPECT_EQ(edit("Edit12")->text(), "77") << step;
        EXPECT_TRUE(messages->shown().empty()) << step << ": " << messages->describe();
        keepPicture(form.get(), "configuration");
    }

    // 4. Choose the group's entries, type its values and Set it.
    const GroupWrite& intfan = internalFanSetUp();
    {
        const char* step = "choosing, typing and Set of the Intfan1 group";
        for (const auto& [name, row] : intfan.combos) {
            ASSERT_EQ(RealInput::choose(combo(name), row), "") << step << ": " << name;
            ASSERT_EQ(combo(name)->currentIndex(), row)
                << step << ": " << name << " did not take it";
        }
        for (const auto& [name, text] : intfan.edits) {
            ASSERT_EQ(RealInput::typeInto(edit(name), QString::fromStdString(text)), "")
                << step << ": " << name;
            ASSERT_EQ(edit(name)->text().toStdString(), text) << step << ": " << name;
        }
        ASSERT_EQ(clickCommand(intfan.button), "") << step;
        ASSERT_FALSE(messages->shown().empty()) << step << ": no box";
        EXPECT_EQ(messages->shown().back().message.caption, intfan.successCaption)
            << step << ": " << messages->describe();
        const std::vector<std::uint16_t> held = simulatorHolding();
        const std::vector<std::uint16_t> written(held.begin() + intfan.firstRegister,
                                                 held.begin() + intfan.firstRegister +
                                                     static_cast<long>(intfan.words.size()));
        EXPECT_EQ(written, intfan.words) << step;
    }

    // 5. Save the page to a file, change a field, Load the file back.
    {
        const char* step = "Save… and Load… through the file dialogs";
        const QString file = QDir::current().filePath(QStringLiteral("walkthrough.json"));
        {
            FileDialogAnswer answer(file);
            ASSERT_EQ(RealInput::click(button("SaveParameters")), "") << step;
            ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(file); }, 6000))
                << step << ": " << answer.outcome() << " " << messages->describe();
            EXPECT_EQ(answer.outcome(), "") << step;
            EXPECT_EQ(answer.title(), "Save Parameters") << step;
        }
        ASSERT_EQ(RealInput::typeInto(edit("Edit12"), "5"), "") << step;
        ASSERT_EQ(RealInput::choose(combo("ComboBox1"), 0), "") << step;
        {
            FileDialogAnswer answer(file);
            ASSERT_EQ(RealInput::click(button("LoadParameters")), "") << step;
            EXPECT_TRUE(QTest::qWaitFor([&] { return edit("Edit12")->text() == "150"; }, 6000))
                << step << ": " << answer.outcome() << " " << messages->describe();
            EXPECT_EQ(answer.outcome(), "") << step;
            EXPECT_EQ(answer.title(), "Load Parameters") << step;
        }
        EXPECT_EQ(combo("ComboBox1")->currentIndex(), intfan.combos.at("ComboBox1")) << step;
    }

    // 6. F12 opens the Bus Monitor, which lists the frames of the next command.
    {
        const char* step = "F12 and the Bus Monitor";
        // A window manager gives the window the focus back when the dialog closes; Xvfb has none.
        ASSERT_EQ(RealInput::showAndActivate(form.get()), "") << step;
        ASSERT_EQ(RealInput::press(Qt::Key_F12), "") << step;
        monitor::BusMonitorWindow* monitor = form->busMonitor();
        ASSERT_NE(monitor, nullptr) << step << ": F12 opened nothing";
        ASSERT_TRUE(QTest::qWaitFor([&] { return monitor->isVisible(); }, 3000)) << step;
        ASSERT_EQ(RealInput::showAndActivate(form.get()), "") << step;
        ASSERT_EQ(clickCommand("Button12"), "") << step;
        auto* traffic = monitor->findChild<QTableView*>(QStringLiteral("TrafficView"));
        ASSERT_NE(traffic, nullptr) << step;
        EXPECT_TRUE(QTest::qWaitFor([&] { return traffic->model()->rowCount() >= 2; }, 3000))
            << step << ": " << traffic->model()->rowCount() << " rows";
    }

    // 7. DrawIntfan and DrawExtfan draw both curves on the Declaration page.
    {
        const char* step = "drawing the fan curves";
        ASSERT_EQ(showPage("Declaration"), "") << step;
        auto* plot = child<widgets::XYPlot>("iXYPlot1");
        ASSERT_EQ(clickCommand("Button16"), "") << step;
        EXPECT_GT(plot->pointCount(0), 0) << step << ": DrawIntfan drew nothing";
        ASSERT_EQ(clickCommand("Button17"), "") << step;
        EXPECT_GT(plot->pointCount(1), 0) << step << ": DrawExtfan drew nothing";
        keepPicture(form.get(), "declaration");
        keepPicture(form->busMonitor(), "bus-monitor");
    }
}

// What reacts to the fields' and boxes' signals follows a person's input: the difference marks
// after a Load (set by Ctrl+O, cleared by choosing and typing the controller's values), the port
// box's tool tip, and the Save and Load shortcuts.
TEST_F(Walkthrough, MarksToolTipsAndShortcutsFollowRealInput) {
    auto* ports = child<app::PortComboBox>("rdCOM");
    const int entry = ports->findText(sim.portName());
    ASSERT_EQ(RealInput::choose(ports, entry), "") << "choosing the port";
    EXPECT_EQ(ports->toolTip(), ports->itemData(entry, Qt::ToolTipRole).toString())
        << "the box's tool tip describes the chosen port";
    ASSERT_EQ(RealInput::click(button("Button1")), "") << "Open";
    ASSERT_TRUE(QTest::qWaitFor([&] { return button("Button1")->text() == "Close"; }, 3000));

    ASSERT_TRUE(sim.commandOk("set hr 0 100"));
    ASSERT_TRUE(sim.commandOk("set hr 9 0"));
    ASSERT_EQ(clickCommand("Button12"), "") << "Read All";
    ASSERT_EQ(edit("Edit12")->text(), "100");
    ASSERT_EQ(combo("ComboBox1")->currentIndex(), 0);

    // A file that differs from the controller in one edit and one box, saved with Ctrl+S.
    ASSERT_EQ(RealInput::typeInto(edit("Edit12"), "123"), "");
    ASSERT_EQ(RealInput::choose(combo("ComboBox1"), 1), "");
    const QString file = QDir::current().filePath(QStringLiteral("differs.json"));
    {
        FileDialogAnswer answer(file);
        ASSERT_EQ(RealInput::press(Qt::Key_S, Qt::ControlModifier), "") << "Ctrl+S";
        ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(file); }, 6000))
            << "Ctrl+S saved nothing: " << answer.outcome();
        EXPECT_EQ(answer.title(), "Save Parameters");
    }
    ASSERT_EQ(RealInput::showAndActivate(form.get()), "");
    {
        FileDialogAnswer answer(file);
        ASSERT_EQ(RealInput::press(Qt::Key_O, Qt::ControlModifier), "") << "Ctrl+O";
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return !edit("Edit12")->accessibleDescription().isEmpty(); }, 6000))
            << "Ctrl+O loaded nothing, or marked nothing: " << answer.outcome();
        EXPECT_EQ(answer.title(), "Load Parameters");
    }
    EXPECT_EQ(edit("Edit12")->accessibleDescription(), "controller: 100");
    EXPECT_EQ(combo("ComboBox1")->accessibleDescription(), "controller: Disable");

    // Taking the controller's values back by hand clears each mark.
    ASSERT_EQ(RealInput::choose(combo("ComboBox1"), 0), "");
    EXPECT_EQ(combo("ComboBox1")->accessibleDescription(), "") << "chosen back with the mouse";
    ASSERT_EQ(RealInput::typeInto(edit("Edit12"), "100"), "");
    EXPECT_EQ(edit("Edit12")->accessibleDescription(), "") << "typed back";
}

// Every combo box of the Configuration page, chosen from its open list with the mouse.
TEST_F(Walkthrough, EveryConfigurationBoxTakesAnEntryChosenWithTheMouse) {
    // The serial settings are open to change once a port has been opened and closed again.
    ASSERT_EQ(RealInput::choose(combo("rdCOM"), combo("rdCOM")->findText(sim.portName())), "");
    ASSERT_EQ(RealInput::click(button("Button1")), "") << "Open";
    ASSERT_TRUE(QTest::qWaitFor([&] { return button("Button1")->text() == "Close"; }, 3000));
    ASSERT_EQ(RealInput::click(button("Button1")), "") << "Close";
    ASSERT_TRUE(QTest::qWaitFor([&] { return button("Button1")->text() == "Open"; }, 3000));

    const QList<QComboBox*> boxes = configurationBoxes();
    ASSERT_GE(boxes.size(), 2) << "the page's boxes";
    for (QComboBox* box : boxes) {
        const std::string name = box->objectName().toStdString();
        ASSERT_TRUE(box->isEnabled()) << name;
        ASSERT_GE(box->count(), 2) << name;
        // The entry after the current one (the first when none is chosen), then back again.
        const int before = box->currentIndex();
        for (const int row : {(before + 1) % box->count(), std::max(before, 0)}) {
            EXPECT_EQ(RealInput::choose(box, row), "") << name;
            EXPECT_EQ(box->currentIndex(), row) << name << ": chosen " << row;
            EXPECT_EQ(box->currentText(), box->itemText(row)) << name;
        }
    }
}

// The keyboard in an open list: arrows, Home/End and Return choose, Escape keeps the choice.
TEST_F(Walkthrough, KeysInTheOpenListChooseAndEscapeKeepsTheChoice) {
    auto* ports = child<app::PortComboBox>("rdCOM");
    struct Case {
        const char* name;
        QComboBox* box;
        std::vector<int> keys;
        int expected; // the row the box shows after the keys; -1: the one before
    };
    const int lastPort = ports->count() - 1;
    const std::vector<Case> cases{
        {"End, Return in the port list", ports, {Qt::Key_End, Qt::Key_Return}, lastPort},
        {"Home, Return in the port list", ports, {Qt::Key_Home, Qt::Key_Return}, 0},
        {"Down, Return in ComboBox1",
         combo("ComboBox1"),
         {Qt::Key_Home, Qt::Key_Down, Qt::Key_Return},
         1},
        {"Up, Enter in ComboBox1", combo("ComboBox1"), {Qt::Key_Up, Qt::Key_Enter}, 0},
        {"End, Escape in ComboBox1", combo("ComboBox1"), {Qt::Key_End, Qt::Key_Escape}, -1},
        {"Home, Escape in the port list", ports, {Qt::Key_Home, Qt::Key_Escape}, -1},
    };
    // Something chosen in each box first, so Escape has a choice to keep.
    ASSERT_EQ(RealInput::choose(ports, lastPort), "");
    ASSERT_EQ(RealInput::choose(combo("ComboBox1"), 1), "");
    for (const Case& c : cases) {
        const int before = c.box->currentIndex();
        const QString textBefore = c.box->currentText();
        ASSERT_EQ(RealInput::click(c.box, QPoint(c.box->width() - 6, c.box->height() / 2)), "")
            << c.name;
        QWidget* popup = c.box->view()->window();
        ASSERT_TRUE(QTest::qWaitFor([&] { return popup->isVisible(); }, 3000)) << c.name;
        for (const int key : c.keys) {
            ASSERT_EQ(RealInput::press(key), "") << c.name;
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return !popup->isVisible(); }, 3000)) << c.name;
        QTest::qWait(50);
        const int expected = c.expected < 0 ? before : c.expected;
        EXPECT_EQ(c.box->currentIndex(), expected) << c.name;
        EXPECT_EQ(c.box->currentText(), c.expected < 0 ? textBefore : c.box->itemText(expected))
            << c.name;
    }
}

} // namespace
