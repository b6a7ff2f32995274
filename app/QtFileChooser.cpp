#include "QtFileChooser.h"

#include <QFileDialog>

namespace climate::app {

namespace {

QString filter() {
    return QStringLiteral("Parameter files (*.json);;All files (*)");
}

} // namespace

QString QtFileChooser::saveFileName(const QString& proposed) {
    return QFileDialog::getSaveFileName(m_parent, QStringLiteral("Save Parameters"), proposed,
                                        filter());
}

QString QtFileChooser::openFileName(const QString& folder) {
    return QFileDialog::getOpenFileName(m_parent, QStringLiteral("Load Parameters"), folder,
                                        filter());
}

} // namespace climate::app
