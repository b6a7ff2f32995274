#pragma once

#include <QPoint>
#include <QString>

#include <string>

class QComboBox;
class QLineEdit;
class QTabWidget;
class QWidget;

// Input as a person gives it, for tests on a real display (xcb under Xvfb, or Windows' platform
// plugin under Wine): mouse and key events enter through the window system at the window's
// coordinates, so Qt routes them as it routes a person's (to the widget under the pointer, to an
// open popup first, through the shortcuts and the focus chain). Nothing here sets a widget's
// state directly.
//
// Each step returns an empty string when it worked and otherwise says what went wrong, so a test
// can name the step that failed:
//
//     ASSERT_EQ(RealInput::choose(combo, 1), "") << "choosing Enable";
namespace RealInput {

// Shows `window`, raises and activates it, and waits until it is exposed and active.
std::string showAndActivate(QWidget* window);

// Moves the pointer over `widget` and clicks at `at` (its centre when left out).
std::string click(QWidget* widget, QPoint at = QPoint(-1, -1));

// Clicks the header of the tab captioned `caption`, then waits until that page is shown.
std::string clickTab(QTabWidget* tabs, const QString& caption);

// Drops the box's list down with a click on its arrow, moves the pointer onto entry `row` and
// clicks it; then waits until the list has closed. The box's entry is left for the caller to
// check. An entry outside the list's view is scrolled into it first, as the wheel would.
std::string choose(QComboBox* combo, int row);

// Clicks into the edit, selects its text with Ctrl+A and types `text` over it.
std::string typeInto(QLineEdit* edit, const QString& text);

// Presses and releases `key` (with `modifiers`) in the active window.
std::string press(int key, int modifiers = 0);

} // namespace RealInput
