#pragma once

#include "config/ParameterModel.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <span>
#include <vector>

namespace climate::cli {

// A parameter file as write and verify use it: the page's fields filled from the file, and which
// of them the file holds.
struct ParameterSet {
    config::ParameterModel texts;
    std::vector<bool> held; // by field index
    QStringList skipped;    // entries this program does not know
    QString firmware;       // the firmware version the file's header names; empty: none
};

// Reads and checks the file at `path` into `set`, which starts empty; the problem (naming the
// file) when it cannot be used, and then `set` is left as it was.
[[nodiscard]] std::optional<QString> loadParameterSet(const QString& path, ParameterSet& set);

// The first field of the groups write sends that the file does not hold ("Heater, StartTemp").
[[nodiscard]] std::optional<QString> firstMissingField(const ParameterSet& set);
// Whether the file holds any field of the groups write sends.
[[nodiscard]] bool holdsAnyComparedField(const ParameterSet& set);

struct FieldDifference {
    QString group; // "Temp. Alarm"
    QString field; // "HighTemp"
    std::uint16_t reg = 0;
    QString fileText;       // as the file has it
    QString controllerText; // as Read All shows the controller's word
};

struct ParameterComparison {
    int compared = 0;
    std::vector<FieldDifference> differences; // in register order
};

// Compares every field of the groups write sends (all but Calibration and Address) that the file
// holds with the registers Read All returned. A field matches when the word its group's Set would
// send for the file's text is the word the controller holds; a text that Set would refuse never
// matches.
[[nodiscard]] ParameterComparison compareWithController(const ParameterSet& set,
                                                        std::span<const std::uint16_t> registers);

// The groups write leaves out, as a person reads their names.
[[nodiscard]] QStringList groupsNotWritten();

} // namespace climate::cli
