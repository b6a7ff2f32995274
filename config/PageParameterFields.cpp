#include "PageParameterFields.h"

#include "ParameterGroups.h"
#include "ParameterTexts.h"

#include "link/NumberText.h"

#include <QComboBox>
#include <QLineEdit>

namespace climate::config {

using namespace climate::link;

PageParameterFields::PageParameterFields(const ConfigurationView& view)
    : m_view(view), m_fields(parameterFileFields()) {
    for (const HoldingRegister& row : holdingRegisters()) {
        m_rows.push_back(&row);
    }
}

QString PageParameterFields::text(std::size_t index) const {
    const Control control = m_rows.at(index)->control;
    if (control.kind == Control::Kind::Edit) {
        return m_view.Edit.at(control.number)->text();
    }
    const QComboBox* box = m_view.ComboBox.at(control.number);
    return box->currentIndex() < 0 ? QString() : box->currentText();
}

void PageParameterFields::setText(std::size_t index, const QString& text) {
    const Control control = m_rows.at(index)->control;
    if (control.kind == Control::Kind::Edit) {
        m_view.Edit.at(control.number)->setText(text);
        return;
    }
    QComboBox* box = m_view.ComboBox.at(control.number);
    box->setCurrentIndex(text.isEmpty() ? -1 : box->findText(text, Qt::MatchExactly));
    if (box->currentIndex() < 0 && box->isEditable()) {
        box->clearEditText();
    }
}

QStringList PageParameterFields::items(std::size_t index) const {
    const Control control = m_rows.at(index)->control;
    QStringList list;
    if (control.kind == Control::Kind::ComboBox) {
        const QComboBox* box = m_view.ComboBox.at(control.number);
        for (int i = 0; i < box->count(); ++i) {
            list << box->itemText(i);
        }
    }
    return list;
}

QWidget* PageParameterFields::widget(std::size_t index) const {
    const Control control = m_rows.at(index)->control;
    if (control.kind == Control::Kind::Edit) {
        return m_view.Edit.at(control.number);
    }
    return m_view.ComboBox.at(control.number);
}

std::optional<std::uint16_t> PageParameterFields::setRuleWord(std::size_t index) const {
    const HoldingRegister& row = *m_rows.at(index);
    if (row.control.kind == Control::Kind::ComboBox) {
        return wordForItem(row, m_view.ComboBox.at(row.control.number)->currentIndex());
    }
    try {
        return wordForText(row, m_view.Edit.at(row.control.number)->text().toStdString());
    } catch (const ConversionError&) {
        return std::nullopt;
    }
}

QString PageParameterFields::readAllText(std::size_t index, std::uint16_t word) const {
    return config::readAllText(*m_rows.at(index), word);
}

} // namespace climate::config
