#pragma once

#include "config/FileChooser.h"

class QWidget;

namespace climate::app {

// The standard file dialogs, for parameter files.
class QtFileChooser : public climate::config::FileChooser {
public:
    explicit QtFileChooser(QWidget* parent) : m_parent(parent) {}

    [[nodiscard]] QString saveFileName(const QString& proposed) override;
    [[nodiscard]] QString openFileName(const QString& folder) override;

private:
    QWidget* m_parent;
};

} // namespace climate::app
