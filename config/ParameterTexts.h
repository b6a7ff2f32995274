#pragma once

#include "FieldSource.h"
#include "HoldingRegisters.h"
#include "ParameterFile.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace climate::config {

// The items of a combo box field in index order ("Disable", "Enable"); empty for an edit.
[[nodiscard]] QStringList fieldItems(const HoldingRegister& row);

// The page's fields as a parameter file names them: one per row of the register table, in
// register order, the address included.
[[nodiscard]] const std::vector<FileField>& parameterFileFields();

// The word the field's group Set would send for `text` (for a combo box: an item's text, "" for
// none), by the same rule and range check; nullopt when that Set would refuse the text.
[[nodiscard]] std::optional<std::uint16_t> setRuleWord(const HoldingRegister& row,
                                                       const QString& text);
// The text Read All shows for `word`; for a combo box the item's text, or the number when it
// names no item.
[[nodiscard]] QString readAllText(const HoldingRegister& row, std::uint16_t word);

// The page's parameter fields as plain texts, without a page: what a parameter file fills and
// saves, and what a Set reads. Every field starts empty (a combo box with nothing selected).
class ParameterTexts : public ParameterFields, public FieldSource {
public:
    ParameterTexts();

    [[nodiscard]] std::span<const FileField> fields() const override;
    [[nodiscard]] QString text(std::size_t index) const override { return m_texts.at(index); }
    // A combo box takes an item's text or "" (none); any other text selects none, as on the page.
    void setText(std::size_t index, const QString& text) override;
    [[nodiscard]] QStringList items(std::size_t index) const override;

    [[nodiscard]] std::string editText(int number) const override;
    [[nodiscard]] int selectedItem(int number) const override;

    // The register table's row of field `index`.
    [[nodiscard]] const HoldingRegister& row(std::size_t index) const;
    // Every field as Read All shows `registers` (0 ... 46): a combo box whose register names no
    // item selects none.
    void showRegisters(std::span<const std::uint16_t> registers);

private:
    [[nodiscard]] std::size_t indexOf(Control control) const;

    std::vector<QString> m_texts;
};

} // namespace climate::config
