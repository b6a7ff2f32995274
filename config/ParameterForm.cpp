#include "ParameterForm.h"

#include "ParameterModel.h"

#include "link/Invariant.h"

#include <QComboBox>
#include <QDataWidgetMapper>
#include <QLineEdit>
#include <QStyledItemDelegate>

namespace climate::config {

using namespace climate::link;

namespace {

// Moves a field's text between the model and its control: an edit's text as it is, a combo
// box's selected item as its text ("" for none). Each control commits on every change (see
// ParameterForm::map), so the delegate needs none of the editing keys an item view gives it: its
// event filter lets every event through and the controls keep their own keys (Tab, Return,
// Escape).
class FieldDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        const QString text = index.data(Qt::EditRole).toString();
        if (auto* edit = qobject_cast<QLineEdit*>(editor)) {
            // Only a different text: the cursor stays where it is while a person types.
            if (edit->text() != text) {
                edit->setText(text);
            }
        } else if (auto* box = qobject_cast<QComboBox*>(editor)) {
            const int item = text.isEmpty() ? -1 : box->findText(text, Qt::MatchExactly);
            if (box->currentIndex() != item) {
                box->setCurrentIndex(item);
            }
            if (item < 0 && box->isEditable()) {
                box->clearEditText();
            }
        }
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override {
        if (auto* edit = qobject_cast<QLineEdit*>(editor)) {
            model->setData(index, edit->text(), Qt::EditRole);
        } else if (auto* box = qobject_cast<QComboBox*>(editor)) {
            model->setData(index, box->currentIndex() < 0 ? QString() : box->currentText(),
                           Qt::EditRole);
        }
    }

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* /*event*/) override { return false; }
};

} // namespace

ParameterForm::ParameterForm(ParameterModel& model, const ConfigurationView& view) : m_view(view) {
    auto* delegate = new FieldDelegate(this);
    m_mapper = new QDataWidgetMapper(this);
    // One row per field: the mapper's sections are the model's rows, all in its one column.
    m_mapper->setOrientation(Qt::Vertical);
    m_mapper->setItemDelegate(delegate);
    m_mapper->setModel(&model);
    for (std::size_t i = 0; i < model.fields().size(); ++i) {
        map(widget(i), static_cast<int>(i));
    }
    map(m_view.Edit.at(17), ParameterModel::commAddressRow());
    map(m_view.SWV, ParameterModel::firmwareRow());
    m_mapper->setCurrentIndex(0);
}

ParameterForm::~ParameterForm() = default;

QWidget* ParameterForm::widget(std::size_t index) const {
    const Control control = ParameterModel::row(index).control;
    QWidget* found = nullptr;
    if (control.kind == Control::Kind::Edit) {
        found = m_view.Edit.at(static_cast<std::size_t>(control.number));
    } else {
        found = m_view.ComboBox.at(static_cast<std::size_t>(control.number));
    }
    checkInvariant(found != nullptr, "the page lacks a parameter field's control");
    return found;
}

void ParameterForm::map(QWidget* control, int row) {
    checkInvariant(control != nullptr, "the page lacks a mapped control");
    auto* delegate = m_mapper->itemDelegate();
    // The page's start text becomes the model's before the mapper shows the model.
    QAbstractItemModel* model = m_mapper->model();
    delegate->setModelData(control, model, model->index(row, 0));
    m_mapper->addMapping(control, row);
    const auto commit = [delegate, control] { emit delegate->commitData(control); };
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        connect(edit, &QLineEdit::textChanged, this, commit);
    } else if (auto* box = qobject_cast<QComboBox*>(control)) {
        connect(box, &QComboBox::currentIndexChanged, this, commit);
    }
}

} // namespace climate::config
