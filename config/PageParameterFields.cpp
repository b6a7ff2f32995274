#include "PageParameterFields.h"

#include "FieldSource.h"
#include "ParameterGroups.h"

#include "link/NumberText.h"

#include <QComboBox>
#include <QLineEdit>

#include <array>
#include <stdexcept>

namespace climate::config {

namespace {

// Record and page names of each register Read All shows.
struct Names {
    std::uint16_t reg;
    std::string_view group;
    std::string_view caption;
    std::string_view name;
    std::string_view label;
};

constexpr std::array<Names, 44> RegisterNames{{
    {0, "InternalFan", "Internal Fan", "StepRev", "StepRev"},
    {1, "InternalFan", "Internal Fan", "MaxRev", "MaxRev"},
    {2, "InternalFan", "Internal Fan", "MinRev", "MinRev"},
    {3, "InternalFan", "Internal Fan", "StepTemp", "StepTemp"},
    {4, "InternalFan", "Internal Fan", "MaxTemp", "MaxTemp"},
    {5, "InternalFan", "Internal Fan", "MinTemp", "MinTemp"},
    {6, "InternalFan", "Internal Fan", "StopTemp", "StopTemp"},
    {7, "InternalFan", "Internal Fan", "DeltTemp", "DeltTemp"},
    {8, "InternalFan", "Internal Fan", "PluseNo", "PluseNo."},
    {9, "InternalFan", "Internal Fan", "Fan1Enable", "Intfan1"},
    {10, "InternalFan", "Internal Fan", "Fan2Enable", "Intfan2"},
    {11, "ExternalFan", "External Fan", "StepRev", "StepRev"},
    {12, "ExternalFan", "External Fan", "MaxRev", "MaxRev"},
    {13, "ExternalFan", "External Fan", "MinRev", "MinRev"},
    {14, "ExternalFan", "External Fan", "StepTemp", "StepTemp"},
    {15, "ExternalFan", "External Fan", "MaxTemp", "MaxTemp"},
    {16, "ExternalFan", "External Fan", "MinTemp", "MinTemp"},
    {17, "ExternalFan", "External Fan", "StopTemp", "StopTemp"},
    {18, "ExternalFan", "External Fan", "DeltTemp", "DeltTemp"},
    {19, "ExternalFan", "External Fan", "PluseNo", "PlusNo."},
    {20, "ExternalFan", "External Fan", "Fan1Enable", "Extfan1"},
    {21, "ExternalFan", "External Fan", "Fan2Enable", "Extfan2"},
    {22, "Heater", "Heater", "StartTemp", "StartTemp"},
    {23, "Heater", "Heater", "DeltTemp", "DeltTemp"},
    {24, "Heater", "Heater", "MaxCurrent", "MaxCurrent"},
    {25, "Heater", "Heater", "MinCurrent", "MinCurrent"},
    {26, "Heater", "Heater", "Enable", "Dis/Enable"},
    {27, "Address", "Address", "Address", "Address"},
    {28, "TempAlarm", "Temp. Alarm", "HighTemp", "HighTemp"},
    {29, "TempAlarm", "Temp. Alarm", "LowTemp", "LowTemp"},
    {33, "Calibration", "Calibration", "Tempr1", "Tempr1"},
    {34, "Calibration", "Calibration", "Temp2", "Temp2"},
    {35, "Calibration", "Calibration", "Current", "Current"},
    {36, "Calibration", "Calibration", "Voltage", "Voltage"},
    {37, "ExtInput", "ExtInput", "Enable", "Enable"},
    {38, "ExtInput", "ExtInput", "Type", "Type"},
    {39, "VoltageAlarm", "VoltageAlarm", "HighValue", "HighValue"},
    {40, "VoltageAlarm", "VoltageAlarm", "LowValue", "LowValue"},
    {41, "Compressor", "Compressor", "StartTemp", "StartTemp."},
    {42, "Compressor", "Compressor", "DeltTemp", "DeltTemp."},
    {43, "Compressor", "Compressor", "MaxRPM", "MaxRPM"},
    {44, "HeatExchanger", "Heat Exchanger", "StartTemp", "StartTemp."},
    {45, "HeatExchanger", "Heat Exchanger", "DeltTemp", "DeltTemp."},
    {46, "HeatExchanger", "Heat Exchanger", "MinDeltT", "Min Delt-T"},
}};

// The page's fields as a Set reads them.
class ViewFieldSource : public FieldSource {
public:
    explicit ViewFieldSource(const ConfigurationView& view) : m_view(view) {}
    [[nodiscard]] std::string editText(int number) const override {
        return m_view.Edit.at(number)->text().toStdString();
    }
    [[nodiscard]] int selectedItem(int number) const override {
        return m_view.ComboBox.at(number)->currentIndex();
    }

private:
    const ConfigurationView& m_view;
};

} // namespace

PageParameterFields::PageParameterFields(const ConfigurationView& view) : m_view(view) {
    const std::span<const RegisterField> shown = readAllFields();
    if (shown.size() != RegisterNames.size()) {
        throw std::logic_error("parameter names and register map differ");
    }
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const Names& names = RegisterNames[i];
        if (names.reg != shown[i].reg) {
            throw std::logic_error("parameter names and register map differ");
        }
        m_fields.push_back(
            {names.group, names.caption, names.name, names.label, names.reg, shown[i].form});
        m_controls.push_back(shown[i].control);
    }
}

QString PageParameterFields::text(std::size_t index) const {
    const Control control = m_controls.at(index);
    if (control.kind == Control::Kind::Edit) {
        return m_view.Edit.at(control.number)->text();
    }
    const QComboBox* box = m_view.ComboBox.at(control.number);
    return box->currentIndex() < 0 ? QString() : box->currentText();
}

void PageParameterFields::setText(std::size_t index, const QString& text) {
    const Control control = m_controls.at(index);
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
    const Control control = m_controls.at(index);
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
    const Control control = m_controls.at(index);
    if (control.kind == Control::Kind::Edit) {
        return m_view.Edit.at(control.number);
    }
    return m_view.ComboBox.at(control.number);
}

std::optional<std::uint16_t> PageParameterFields::setRuleWord(std::size_t index) const {
    const Control control = m_controls.at(index);
    for (const ParameterGroup& group : parameterGroups()) {
        for (const GroupField& field : group.fields) {
            if (field.control != control) {
                continue;
            }
            ParameterGroup alone = group;
            alone.fields = std::span<const GroupField>(&field, 1);
            try {
                const std::vector<std::int64_t> values =
                    convertFields(alone, ViewFieldSource(m_view));
                if (!fitRanges(alone, values)) {
                    return std::nullopt;
                }
                // In range, so the low 16 bits are the word the frame carries.
                return static_cast<std::uint16_t>(values.front());
            } catch (const ConversionError&) {
                return std::nullopt;
            }
        }
    }
    return std::nullopt;
}

QString PageParameterFields::readAllText(std::size_t index, std::uint16_t word) const {
    const FileField& field = m_fields.at(index);
    if (field.form != ReadForm::Item) {
        return QString::fromStdString(registerText(field.form, word));
    }
    const QComboBox* box = m_view.ComboBox.at(m_controls.at(index).number);
    const int item = registerItem(word, box->count());
    return item < 0 ? QString::number(static_cast<std::int16_t>(word)) : box->itemText(item);
}

} // namespace climate::config
