#pragma once

#include <QValidator>

// Turns whatever is typed into a combo box's edit field into upper case.
class UpperCaseValidator : public QValidator {
    Q_OBJECT

public:
    explicit UpperCaseValidator(QObject* parent = nullptr) : QValidator(parent) {}

    State validate(QString& input, int& /*position*/) const override {
        input = input.toUpper();
        return Acceptable;
    }
};
