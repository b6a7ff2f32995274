#pragma once

#include "HoldingRegisters.h"
#include "ParameterFile.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

namespace climate::config {

// The page's fields as texts: their items, their names in a parameter file, and the words their
// texts stand for. ParameterModel holds the texts.

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

} // namespace climate::config
