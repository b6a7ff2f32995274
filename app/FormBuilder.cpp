#include "FormBuilder.h"

#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace climate::app {

QString readableCaption(const QString& caption) {
    QString text = caption.simplified();
    while (!text.isEmpty() &&
           (text.endsWith(QLatin1Char(':')) || text.endsWith(QLatin1Char(' ')))) {
        text.chop(1);
    }
    // A trailing dot ("PluseNo.", "StartTemp.") is read as nothing.
    if (text.endsWith(QLatin1Char('.'))) {
        text.chop(1);
    }
    return text.simplified();
}

QGroupBox* FormBuilder::group(QWidget* parent, const QString& title, int x, int y, int width,
                              int height) {
    auto* box = new QGroupBox(title, parent);
    box->setGeometry(x, y, width, height);
    box->setAccessibleName(readableCaption(title));
    return box;
}

QLabel* FormBuilder::label(QWidget* parent, const QString& text, int x, int y, int width,
                           int height) {
    auto* caption = new QLabel(text, parent);
    caption->setGeometry(x, y, width, height);
    caption->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return caption;
}

QLineEdit* FormBuilder::edit(QWidget* parent, const QString& name, int x, int y, int width,
                             const QString& text) {
    auto* field = new QLineEdit(text, parent);
    field->setObjectName(name);
    field->setGeometry(x, y, width, 22);
    return field;
}

QComboBox* FormBuilder::combo(QWidget* parent, const QString& name, int x, int y, int width,
                              const QStringList& items) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->addItems(items);
    box->setCurrentIndex(-1);
    box->setGeometry(x, y, width, 22);
    return box;
}

QPushButton* FormBuilder::button(QWidget* parent, const QString& name, const QString& caption,
                                 int x, int y, int width, int height) {
    auto* push = new QPushButton(caption, parent);
    push->setObjectName(name);
    push->setGeometry(x, y, width, height);
    push->setAutoDefault(false);
    return push;
}

QFrame* FormBuilder::divider(QWidget* parent, int x, int y, int height) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(x, y, 3, height);
    return line;
}

void FormBuilder::name(QWidget* field, const QString& groupTitle, const QString& caption,
                       QLabel* buddy) {
    m_names.append({field, readableCaption(groupTitle), readableCaption(caption)});
    if (buddy != nullptr) {
        buddy->setBuddy(field);
    }
}

void FormBuilder::applyAccessibleNames() {
    QHash<QString, QStringList> groupsByCaption;
    for (const Naming& naming : std::as_const(m_names)) {
        QStringList& groups = groupsByCaption[naming.caption];
        if (!groups.contains(naming.group)) {
            groups << naming.group;
        }
    }
    for (const Naming& naming : std::as_const(m_names)) {
        const bool repeated = groupsByCaption.value(naming.caption).size() > 1;
        const bool ownCaption = naming.caption != naming.group;
        naming.field->setAccessibleName(repeated && ownCaption
                                            ? naming.group + QLatin1Char(' ') + naming.caption
                                            : naming.caption);
    }
}

} // namespace climate::app
