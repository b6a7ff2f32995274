#pragma once

#include <array>

class QComboBox;
class QLabel;
class QLineEdit;

namespace climate::link {
class PortGate;
} // namespace climate::link

namespace climate::config {

// The controls of the Configuration page, as the configuration code sees them: the views of the
// parameter model (ParameterForm maps them) and what else the page shows. Edit[n] is the edit
// named Edit<n> (1 ... 53; numbers the page does not use stay null), ComboBox[n] is ComboBox<n>
// (1 ... 7).
struct ConfigurationView {
    std::array<QLineEdit*, 54> Edit{};
    std::array<QComboBox*, 8> ComboBox{};
    QLineEdit* SWV = nullptr;             // firmware version, display only, from the model
    const link::PortGate* port = nullptr; // whether the port is open
    QLabel* SetAllProgress = nullptr;     // in the group "All": how far Set All has come
};

} // namespace climate::config
