#pragma once

#include <QComboBox>
#include <QPointer>
#include <QValidator>

namespace climate::app {

// Turns what is typed into a combo box's edit field into upper case. The box's own entries are
// left as they are: on this system a port is a path, and paths are case-sensitive.
class UpperCaseValidator : public QValidator {
    Q_OBJECT

public:
    explicit UpperCaseValidator(QComboBox* combo) : QValidator(combo), m_combo(combo) {}

    State validate(QString& input, int& /*position*/) const override {
        if (m_combo == nullptr ||
            m_combo->findText(input, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0) {
            input = input.toUpper();
        }
        return Acceptable;
    }

private:
    QPointer<QComboBox> m_combo;
};

} // namespace climate::app
