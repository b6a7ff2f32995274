#pragma once

#include <QString>

#include <string>

// The system's own file dialog, where the platform shows one in place of Qt's (Windows): a
// modal dialog of this process that Qt knows nothing of, answered here with the system's own
// keyboard input. Where Qt draws its own dialog there is never one, and Qt's is answered through
// RealInput.
namespace SystemFileDialog {

// The caption of this process's system file dialog in front, empty when there is none.
QString shownTitle();

// Types `path` over the name in the dialog's name field and presses Return, as keystrokes the
// system delivers. Empty when they were sent; what went wrong otherwise.
std::string answer(const QString& path);

// Closes a dialog left open (as its Cancel does), so that no test hangs in it.
void dismiss();

} // namespace SystemFileDialog
