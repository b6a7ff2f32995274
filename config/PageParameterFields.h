#pragma once

#include "ConfigurationView.h"
#include "HoldingRegisters.h"
#include "ParameterFile.h"

#include <cstdint>
#include <optional>
#include <vector>

class QWidget;

namespace climate::config {

// The parameter fields of the Configuration page, read and filled through its widgets: a field
// per row of the register table, the address included, named as the table names it.
class PageParameterFields : public ParameterFields {
public:
    explicit PageParameterFields(const ConfigurationView& view);

    [[nodiscard]] std::span<const FileField> fields() const override { return m_fields; }
    [[nodiscard]] QString text(std::size_t index) const override;
    void setText(std::size_t index, const QString& text) override;
    [[nodiscard]] QStringList items(std::size_t index) const override;

    // The control that shows field `index`.
    [[nodiscard]] Control control(std::size_t index) const { return m_rows.at(index)->control; }
    // The control's widget.
    [[nodiscard]] QWidget* widget(std::size_t index) const;

    // The register word the field's group Set would send from the field's present text, by the
    // same rule and range check; nullopt when that Set would refuse the text.
    [[nodiscard]] std::optional<std::uint16_t> setRuleWord(std::size_t index) const;
    // The text Read All shows for `word` in field `index`; for a combo box the item's text, or the
    // number when it names no item.
    [[nodiscard]] QString readAllText(std::size_t index, std::uint16_t word) const;

private:
    const ConfigurationView& m_view;
    std::vector<FileField> m_fields;
    std::vector<const HoldingRegister*> m_rows; // the register table's row of each field
};

} // namespace climate::config
