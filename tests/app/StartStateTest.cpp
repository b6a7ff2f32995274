// The window as it stands right after start-up.
#include "app/TForm1.h"
#include "link/CommEngine.h"
#include "support/RecordingPresenter.h"
#include "widgets/LedBar.h"
#include "widgets/RockerSwitch.h"
#include "widgets/RotarySwitch.h"
#include "widgets/RoundLed.h"

#include <QComboBox>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include <cstdlib>

#include <gtest/gtest.h>

using namespace climate::app;
using namespace climate::config;
using namespace climate::link;
using namespace climate::widgets;

namespace {

class StartState : public ::testing::Test {
protected:
    StartState() {
        auto recorder = std::make_unique<RecordingPresenter>();
        messages = recorder.get();
        form = std::make_unique<TForm1>(QStringList{}, std::move(recorder), [](int) {});
    }

    template <typename T> T* child(const char* name) {
        T* found = form->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    RecordingPresenter* messages = nullptr;
    std::unique_ptr<TForm1> form;
};

TEST_F(StartState, WindowAndPagesInOrder) {
    EXPECT_EQ(form->windowTitle(), QStringLiteral("GUI For DC AC&HEX V100"));
    auto* data = child<QTabWidget>("Data");
    ASSERT_EQ(data->count(), 3);
    const char* names[] = {"Configuration", "TabSheet2", "TabSheet1"};
    const char* captions[] = {"Configuration", "RealTimeData", "Declaration"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(data->widget(i)->objectName(), QString::fromLatin1(names[i]));
        EXPECT_EQ(data->tabText(i), QString::fromLatin1(captions[i]));
    }
    EXPECT_EQ(data->currentIndex(), 0);
}

// The window's icon is the installed one, drawn as SVG: it renders only with Qt's SVG icon plugin.
TEST_F(StartState, WindowIconIsTheToolsSvgIcon) {
    const QIcon icon = form->windowIcon();
    ASSERT_FALSE(icon.isNull());
    const QImage image = icon.pixmap(QSize(64, 64)).toImage();
    ASSERT_FALSE(image.isNull());
    // The cabinet's blue fills the icon's middle; the corners are transparent.
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    const QColor middle = image.pixelColor(image.width() / 2, image.height() / 8);
    EXPECT_GT(middle.blue(), middle.red() + 40);

    // The window carries the SVG rendered ahead: at each size a window manager is offered, the
    // very pixels Qt's SVG icon engine draws from the SVG now (scripts/window-icons.sh renders
    // them again after a change).
    const QIcon svg(QStringLiteral(TOOL_ICON_SVG));
    const QList<QSize> offered{{16, 16}, {32, 32}, {64, 64}, {128, 128}};
    EXPECT_EQ(icon.availableSizes(), offered);
    for (const QSize& size : offered) {
        const QImage carried =
            icon.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
        const QImage drawn =
            svg.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
        ASSERT_EQ(drawn.size(), size) << "the SVG icon plugin is missing";
        int differing = 0;
        for (int y = 0; y < size.height(); ++y) {
            for (int x = 0; x < size.width(); ++x) {
                const QRgb a = carried.pixel(x, y);
                const QRgb b = drawn.pixel(x, y);
                // A premultiplied pixel saved to PNG and read back may round by one.
                if (std::abs(qRed(a) - qRed(b)) > 1 || std::abs(qGreen(a) - qGreen(b)) > 1 ||
                    std::abs(qBlue(a) - qBlue(b)) > 1 || std::abs(qAlpha(a) - qAlpha(b)) > 1) {
                    ++differing;
                }
            }
        }
        EXPECT_EQ(differing, 0) << size.width() << " px: run scripts/window-icons.sh";
    }
}

// The picture is there whenever its page is seen, and is not held while the page is hidden.
TEST_F(StartState, UnitPictureIsShown) {
    auto* image = child<QLabel>("Image1");
    ASSERT_NE(image, nullptr);
    auto* pages = child<QTabWidget>("Data");
    form->show();
    EXPECT_TRUE(image->pixmap().isNull()) << "decoded before its page was shown";
    for (int round = 0; round < 2; ++round) {
        pages->setCurrentIndex(1);
        ASSERT_TRUE(image->isVisible());
        const QImage picture = image->pixmap().toImage();
        EXPECT_EQ(picture.size(), QSize(139, 337));
        // A grey panel, not an empty or failed image.
        const QColor grille = picture.pixelColor(70, 250);
        EXPECT_GT(grille.red(), 120);
        EXPECT_LT(std::abs(grille.red() - grille.blue()), 30);
        pages->setCurrentIndex(2);
        EXPECT_TRUE(image->pixmap().isNull()) << "held while hidden, round " << round;
    }
}

TEST_F(StartState, EditFieldsHoldTheirFirstTexts) {
    const int zeroEdits[] = {1,  2,  5,  6,  7,  8,  9,  10, 12, 13, 14, 15, 16, 18, 24,
                             25, 27, 28, 29, 30, 31, 33, 34, 35, 36, 37, 38, 39, 40, 41,
                             42, 43, 50, 51, 52, 53, 3,  32, 11, 19, 20, 21, 22, 23, 26};
    for (const int n : zeroEdits) {
        const QString name = QStringLiteral("Edit%1").arg(n);
        auto* edit = form->findChild<QLineEdit*>(name);
        ASSERT_NE(edit, nullptr) << name.toStdString();
        EXPECT_EQ(edit->text(), QStringLiteral("0")) << name.toStdString();
    }
    EXPECT_EQ(child<QLineEdit>("Edit4")->text(), QString());
    EXPECT_EQ(child<QLineEdit>("Edit17")->text(), QStringLiteral("1"));
    auto* swv = child<QLineEdit>("SWV");
    EXPECT_EQ(swv->text(), QString());
    EXPECT_FALSE(swv->isEnabled());
}

TEST_F(StartState, SerialComboBoxes) {
    struct Row {
        const char* name;
        QStringList items;
        const char* text;
        bool enabled;
    };
    const Row rows[] = {
        {"baudrate", {"2400", "4800", "9600", "19200", "38400", "115200"}, "9600", false},
        {"databits", {"4", "5", "6", "7", "8"}, "8", false},
        {"parity", {"NONE", "ODD", "EVEN"}, "NONE", false},
        {"stopbits", {"1", "1.5", "2"}, "1", false},
    };
    for (const Row& row : rows) {
        auto* combo = child<QComboBox>(row.name);
        QStringList items;
        for (int i = 0; i < combo->count(); ++i) {
            items << combo->itemText(i);
        }
        EXPECT_EQ(items, row.items) << row.name;
        EXPECT_EQ(combo->currentText(), QString::fromLatin1(row.text)) << row.name;
        EXPECT_EQ(combo->isEnabled(), row.enabled) << row.name;
    }
    auto* port = child<QComboBox>("rdCOM");
    EXPECT_TRUE(port->isEnabled());
    EXPECT_EQ(port->currentText(), QStringLiteral("COM"));
    EXPECT_EQ(port->currentIndex(), -1);
}

TEST_F(StartState, ParameterComboBoxesStartUnselected) {
    for (int n = 1; n <= 7; ++n) {
        const QString name = QStringLiteral("ComboBox%1").arg(n);
        auto* combo = form->findChild<QComboBox*>(name);
        ASSERT_NE(combo, nullptr) << name.toStdString();
        EXPECT_EQ(combo->currentIndex(), -1) << name.toStdString();
        EXPECT_EQ(combo->currentText(), QString()) << name.toStdString();
        const QStringList expected =
            n == 7 ? QStringList{"NO", "NC"} : QStringList{"Disable", "Enable"};
        EXPECT_EQ(combo->count(), 2);
        EXPECT_EQ(combo->itemText(0), expected[0]);
        EXPECT_EQ(combo->itemText(1), expected[1]);
    }
}

TEST_F(StartState, ButtonsAndTheirCaptions) {
    const std::pair<const char*, const char*> buttons[] = {
        {"Button1", "Open"},
        {"Button2", "Stop Systerm"},
        {"Button3", "Set"},
        {"Button4", "Set"},
        {"Button5", "Read"},
        {"Button6", "Send"},
        {"Button7", "Set"},
        {"Button8", "Set"},
        {"Button9", "Set"},
        {"Button10", "Set"},
        {"Button11", "Set"},
        {"Button12", "Read"},
        {"Button13", "Set"},
        {"Button14", "Set"},
        {"Button15", "Set"},
        {"Button16", "DrawIntfan"},
        {"Button17", "DrawExtfan"},
        {"Button18", "Set"},
        {"Set", "Set"},
    };
    for (const auto& [name, caption] : buttons) {
        auto* button = child<QPushButton>(name);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), QString::fromLatin1(caption)) << name;
        EXPECT_TRUE(button->isEnabled()) << name;
    }
}

TEST_F(StartState, TimersRunWithTheirStoredIntervals) {
    const std::pair<const char*, int> timers[] = {{"Timer1", 200}, {"Timer2", 10}, {"Timer3", 200}};
    for (const auto& [name, interval] : timers) {
        auto* timer = child<QTimer>(name);
        EXPECT_TRUE(timer->isActive()) << name;
        EXPECT_EQ(timer->interval(), interval) << name;
    }
    EXPECT_EQ(child<QTimer>("Timer2")->timerType(), Qt::PreciseTimer);
}

TEST_F(StartState, InstrumentsAtRest) {
    auto* bar = child<LedBar>("iLedBar1");
    EXPECT_EQ(bar->position(), 5);
    EXPECT_EQ(bar->sectionColor1(), QColor(0, 255, 64));
    EXPECT_TRUE(child<RockerSwitch>("iSwitchRocker1")->isOn());
    EXPECT_EQ(child<RotarySwitch>("iSwitchRotary1")->position(), 1);
    EXPECT_EQ(child<RotarySwitch>("iSwitchRotary2")->position(), 0);
    for (int n = 1; n <= 18; ++n) {
        auto* led = form->findChild<RoundLed*>(QStringLiteral("iLedRound%1").arg(n));
        ASSERT_NE(led, nullptr) << n;
        EXPECT_FALSE(led->isActive()) << n;
    }
    for (int n = 1; n <= 6; ++n) {
        auto* readout = form->findChild<QWidget*>(QStringLiteral("iAnalogOutput%1").arg(n));
        ASSERT_NE(readout, nullptr) << n;
        EXPECT_FALSE(readout->isEnabled()) << n;
    }
}

// The "Set" of "All" writes every setting group (Set All); before a port is open it only says so,
// as Read All does, and posts nothing.
TEST_F(StartState, TheSetOfGroupAllNeedsAnOpenPort) {
    const EngineState before = form->engine().state();
    child<QPushButton>("Button13")->click();
    EXPECT_EQ(messages->lines(), std::vector<std::string>{"ComPort Not Open!! / Comm Error"});
    EXPECT_EQ(form->engine().state().CommandBusy, before.CommandBusy);
    EXPECT_EQ(form->engine().state().SendPending, before.SendPending);
}

TEST_F(StartState, TimerTicksForceTheWindowSize) {
    form->show();
    form->resize(500, 400);
    form->Timer2Timer();
    EXPECT_EQ(form->frameGeometry().size(), QSize(TForm1::FixedWidth, TForm1::FixedHeight));
    form->resize(500, 400);
    form->Timer1Timer();
    EXPECT_EQ(form->frameGeometry().size(), QSize(TForm1::FixedWidth, TForm1::FixedHeight));
}

} // namespace
