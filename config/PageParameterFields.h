#pragma once

#include "ConfigurationView.h"
#include "ParameterFile.h"
#include "RegisterMap.h"

#include <vector>

namespace climate::config {

// The parameter fields of the Configuration page, read and filled through its widgets: every
// register Read All shows, the address included.
class PageParameterFields : public ParameterFields {
public:
    explicit PageParameterFields(const ConfigurationView& view);

    [[nodiscard]] std::span<const FileField> fields() const override { return m_fields; }
    [[nodiscard]] QString text(std::size_t index) const override;
    void setText(std::size_t index, const QString& text) override;
    [[nodiscard]] QStringList items(std::size_t index) const override;

    // The control that shows field `index`.
    [[nodiscard]] Control control(std::size_t index) const { return m_controls.at(index); }

private:
    const ConfigurationView& m_view;
    std::vector<FileField> m_fields;
    std::vector<Control> m_controls;
};

} // namespace climate::config
