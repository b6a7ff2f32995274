#pragma once

#include "ConfigurationView.h"

#include <QObject>

#include <cstddef>

class QDataWidgetMapper;
class QWidget;

namespace climate::config {

class ParameterModel;

// The Configuration page's fields as views of the parameter model, kept in step both ways by a
// QDataWidgetMapper: every parameter edit and combo box, "Comm Address" and the firmware version.
// A change of the model shows in its control at once; a change of a control (a key typed, text
// pasted, an item chosen) reaches the model at once, not only when the control loses focus, so
// a Set, Save or shortcut that runs while the control still has focus reads what it shows.
class ParameterForm : public QObject {
    Q_OBJECT

public:
    // The texts the controls hold now are the page's start texts: they become the model's first
    // texts. From then on the model leads.
    ParameterForm(ParameterModel& model, const ConfigurationView& view);
    ~ParameterForm() override;
    ParameterForm(const ParameterForm&) = delete;
    ParameterForm& operator=(const ParameterForm&) = delete;

    // The control that shows register field `index` of the model.
    [[nodiscard]] QWidget* widget(std::size_t index) const;

private:
    void map(QWidget* control, int row);

    ConfigurationView m_view;
    QDataWidgetMapper* m_mapper = nullptr; // a child of this object
};

} // namespace climate::config
