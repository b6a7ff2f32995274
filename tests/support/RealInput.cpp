#include "RealInput.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QWindow>

namespace RealInput {

namespace {

constexpr int WaitMs = 3000;

std::string nameOf(const QWidget* widget) {
    return widget == nullptr ? std::string("(no widget)") : widget->objectName().toStdString();
}

// The top-level window that holds `widget`, and the widget's point `at` in its coordinates.
QWindow* windowOf(QWidget* widget, QPoint& at) {
    QWidget* top = widget->window();
    at = widget->mapTo(top, at);
    return top->windowHandle();
}

} // namespace

std::string showAndActivate(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
    if (!QTest::qWaitForWindowExposed(window, WaitMs)) {
        return nameOf(window) + " was not exposed";
    }
    if (!QTest::qWaitForWindowActive(window, WaitMs)) {
        return nameOf(window) + " did not become active";
    }
    return {};
}

std::string click(QWidget* widget, QPoint at) {
    if (widget == nullptr) {
        return "nothing to click";
    }
    if (!widget->isVisible() || !widget->isEnabled()) {
        return nameOf(widget) + " is hidden or disabled";
    }
    if (at == QPoint(-1, -1)) {
        at = widget->rect().center();
    }
    QWindow* window = windowOf(widget, at);
    if (window == nullptr) {
        return nameOf(widget) + " has no window";
    }
    // Xvfb runs no window manager, so nothing activates a window that is clicked, as a
    // click-to-focus manager does (after a dialog closes, say); do it here. Popups are active
    // while they are open.
    if (QWidget* top = widget->window(); !top->isActiveWindow() && !(top->windowType() == Qt::Popup)) {
        if (std::string failed = showAndActivate(top); !failed.empty()) {
            return failed;
        }
    }
    QTest::mouseMove(window, at);
    QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, at);
    return {};
}

std::string clickTab(QTabWidget* tabs, const QString& caption) {
    QTabBar* bar = tabs->tabBar();
    for (int index = 0; index < bar->count(); ++index) {
        if (bar->tabText(index) == caption) {
            if (std::string failed = click(bar, bar->tabRect(index).center()); !failed.empty()) {
                return failed;
            }
            if (!QTest::qWaitFor([&] { return tabs->currentIndex() == index; }, WaitMs)) {
                return "clicking the tab \"" + caption.toStdString() + "\" did not show its page";
            }
            return {};
        }
    }
    return "no tab \"" + caption.toStdString() + "\"";
}

std::string choose(QComboBox* combo, int row) {
    if (combo == nullptr) {
        return "no combo box";
    }
    if (row < 0 || row >= combo->count()) {
        return nameOf(combo) + " has no entry " + std::to_string(row);
    }
    // The arrow: an editable box opens its list there only; a plain box anywhere.
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = combo->isEditable();
    option.subControls = QStyle::SC_All;
    const QRect arrow = combo->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                       QStyle::SC_ComboBoxArrow, combo);
    const QPoint arrowCentre = arrow.isValid() ? arrow.center()
                                               : QPoint(combo->width() - 6, combo->height() / 2);
    if (std::string failed = click(combo, arrowCentre); !failed.empty()) {
        return failed;
    }
    QAbstractItemView* list = combo->view();
    QWidget* popup = list->window();
    if (!QTest::qWaitFor([&] { return popup != combo->window() && popup->isVisible(); },
                         WaitMs)) {
        return "clicking the arrow of " + nameOf(combo) + " did not drop its list down";
    }
    (void)QTest::qWaitForWindowExposed(popup, WaitMs);
    const QModelIndex entry = combo->model()->index(row, combo->modelColumn(),
                                                    combo->rootModelIndex());
    list->scrollTo(entry);
    // The part of the entry the list shows (an entry's rectangle may reach past a narrow list).
    const QRect place = list->visualRect(entry).intersected(list->viewport()->rect());
    if (place.isEmpty()) {
        return "entry " + std::to_string(row) + " of " + nameOf(combo) + " is not in its list";
    }
    // Moving onto the entry highlights it, as the pointer does on its way there.
    QPoint at = place.center();
    QWindow* window = windowOf(list->viewport(), at);
    QTest::mouseMove(window, at - QPoint(0, 1));
    QTest::mouseMove(window, at);
    QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, at);
    if (!QTest::qWaitFor([&] { return !popup->isVisible(); }, WaitMs)) {
        return "clicking entry " + std::to_string(row) + " of " + nameOf(combo) +
               " did not close its list";
    }
    // The box takes the choice as the list closes; let the closing's events run.
    QTest::qWait(50);
    return {};
}

std::string typeInto(QLineEdit* edit, const QString& text) {
    if (std::string failed = click(edit); !failed.empty()) {
        return failed;
    }
    if (!QTest::qWaitFor([&] { return edit->hasFocus(); }, WaitMs)) {
        return "clicking " + nameOf(edit) + " did not give it the focus";
    }
    if (std::string failed = press(Qt::Key_A, Qt::ControlModifier); !failed.empty()) {
        return failed;
    }
    for (const QChar character : text) {
        if (character.unicode() > 0x7E) {
            return "only ASCII is typed";
        }
        QTest::keyClick(edit->window()->windowHandle(), character.toLatin1());
    }
    return {};
}

std::string press(int key, int modifiers) {
    QWidget* active = QApplication::activePopupWidget() != nullptr
                          ? QApplication::activePopupWidget()
                          : QApplication::activeWindow();
    if (active == nullptr || active->windowHandle() == nullptr) {
        return "no active window to type into";
    }
    QTest::keyClick(active->windowHandle(), static_cast<Qt::Key>(key),
                    Qt::KeyboardModifiers(modifiers));
    return {};
}

} // namespace RealInput
