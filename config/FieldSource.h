#pragma once

#include <string>

namespace climate::config {

// Where a Set command reads its fields: the page's widgets, or a table in a test.
class FieldSource {
public:
    virtual ~FieldSource() = default;
    // Text of Edit<number>, UTF-8.
    [[nodiscard]] virtual std::string editText(int number) const = 0;
    // Index of the selected item of ComboBox<number>; -1 when none is selected.
    [[nodiscard]] virtual int selectedItem(int number) const = 0;
};

} // namespace climate::config
