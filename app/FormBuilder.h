#pragma once

#include <QList>
#include <QPair>
#include <QString>

class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace climate::app {

// Small helpers that place the window's controls at fixed positions, the way the window has
// always been laid out, and remember which label names which field so that assistive technology
// can read every field by its label.
class FormBuilder {
public:
    QGroupBox* group(QWidget* parent, const QString& title, int x, int y, int width, int height);
    QLabel* label(QWidget* parent, const QString& text, int x, int y, int width, int height = 22);
    QLineEdit* edit(QWidget* parent, const QString& name, int x, int y, int width,
                    const QString& text = QStringLiteral("0"));
    QComboBox* combo(QWidget* parent, const QString& name, int x, int y, int width,
                     const QStringList& items);
    QPushButton* button(QWidget* parent, const QString& name, const QString& caption, int x, int y,
                        int width = 75, int height = 25);
    QFrame* divider(QWidget* parent, int x, int y, int height);

    // Records that `field` is read by `caption` (a label, or the group's title for fields that
    // have none) inside `groupTitle`.
    void name(QWidget* field, const QString& groupTitle, const QString& caption,
              QLabel* buddy = nullptr);
    // Gives every recorded field its accessible name: the caption alone where it is unique on the
    // page, "<group> <caption>" where the same caption stands in several groups.
    void applyAccessibleNames();

private:
    struct Naming {
        QWidget* field;
        QString group;
        QString caption;
    };
    QList<Naming> m_names;
};

// A caption as a person would read it: trailing blanks, dots and colons dropped, runs of blanks
// folded ("Temp.  Alarm" -> "Temp. Alarm", "Port Num:" -> "Port Num").
QString readableCaption(const QString& caption);

} // namespace climate::app
