#pragma once

#include <QApplication>
#include <QList>
#include <QMessageBox>

// The message boxes on screen now, for tests of the window's real, non-blocking boxes.
inline QList<QMessageBox*> openMessageBoxes() {
    QList<QMessageBox*> boxes;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(widget); box != nullptr && box->isVisible()) {
            boxes << box;
        }
    }
    return boxes;
}
