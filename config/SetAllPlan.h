#pragma once

#include "ControllerParameters.h"
#include "ParameterGroups.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace climate::config {

class FieldSource;

// What Set All writes and what it tells: the plain parts, without the engine.

// The groups Set All writes, one after the other in register order: every parameter group but
// Calibration and Address, which belong to one unit and one bus and keep their own buttons.
[[nodiscard]] const std::vector<const ParameterGroup*>& setAllGroups();

// A field that stops Set All before anything is sent.
struct SetAllRefusal {
    const ParameterGroup* group = nullptr;
    const HoldingRegister* field = nullptr;
    QString reason; // the conversion error's text, or "data out of range"
};

// Converts every group of setAllGroups() by the rules, order and range checks of its own Set.
// Only when every group passes are the values stored in `parameters`; otherwise the first refusal
// is returned and `parameters` is left as it was.
[[nodiscard]] std::optional<SetAllRefusal> stageSetAll(const FieldSource& fields,
                                                       ControllerParameters& parameters);

[[nodiscard]] QString refusalText(const SetAllRefusal& refusal);

// How the group that stopped Set All ended.
struct GroupFailure {
    enum class Kind : std::uint8_t {
        NoReply,    // no acceptable reply in time
        Refused,    // the controller answered with an exception reply
        WrongReply, // a reply from another address or for another function
        Abandoned,  // the page was left while the group was being written
    };
    Kind kind = Kind::NoReply;
    std::uint8_t exceptionCode = 0; // the controller's exception code, when Refused
};

// "Writing 3 of 8: Heater"; `index` counts from 0.
[[nodiscard]] QString progressText(std::size_t index);

// What the "All" group shows once Set All has ended: "Set All: 8 of 8 written", or
// "Set All stopped at 4 of 8: Temp. Alarm" when the group at `written` failed.
[[nodiscard]] QString finishedText(std::size_t written, bool stopped);

// The one box at the end of Set All: the groups written, the one that failed and how, that it
// stopped there, and that Calibration and Address were left out.
[[nodiscard]] QString setAllSummary(std::size_t written, std::optional<GroupFailure> failure);

// A group's title as a person reads it ("Temp.  Alarm" -> "Temp. Alarm").
[[nodiscard]] QString groupName(const ParameterGroup& group);

} // namespace climate::config
