// Platforms where the tool's file dialogs are Qt's own: there is never a system dialog.
#include "SystemFileDialog.h"

namespace SystemFileDialog {

QString shownTitle() {
    return {};
}

std::string answer(const QString& /*path*/) {
    return "this platform shows no system file dialog";
}

void dismiss() {}

} // namespace SystemFileDialog
