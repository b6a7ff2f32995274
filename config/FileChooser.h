#pragma once

#include <QString>

namespace climate::config {

// Asks the user for a parameter file. The window uses the standard file dialogs; tests answer
// without a dialog.
class FileChooser {
public:
    virtual ~FileChooser() = default;
    // The path to save to, starting from `proposed` (folder and default name); empty when the
    // user cancels.
    [[nodiscard]] virtual QString saveFileName(const QString& proposed) = 0;
    // The file to load, starting in `folder`; empty when the user cancels.
    [[nodiscard]] virtual QString openFileName(const QString& folder) = 0;
};

} // namespace climate::config
