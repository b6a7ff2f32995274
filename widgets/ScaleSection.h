#pragma once

#include <QColor>
#include <QList>

namespace climate::widgets {

// A coloured stretch of a scale, in scale values (not angles or pixels).
struct ScaleSection {
    double from = 0.0;
    double to = 0.0;
    QColor color;

    friend bool operator==(const ScaleSection&, const ScaleSection&) = default;
};

// The colour of the section that shows at `value`. Sections are half-open [from, to), except that a
// section's upper end counts when no later part of the scale is left to claim it (value == to of
// the section with the highest end). Sections painted later cover earlier ones, so the last section
// containing the value wins. Returns an invalid QColor where no section lies.
[[nodiscard]] QColor sectionColorAt(const QList<ScaleSection>& sections, double value);

// The sections as a dial draws them: each one ordered from <= to, and the last one stretched or cut
// so that it ends exactly at `maximum` (a dial's coloured band always runs to the end of its
// scale).
[[nodiscard]] QList<ScaleSection> sectionsReachingMaximum(QList<ScaleSection> sections,
                                                          double maximum);

} // namespace climate::widgets
