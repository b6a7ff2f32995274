#include "ScaleSection.h"

#include <algorithm>
#include <cmath>

namespace climate::widgets {

namespace {

ScaleSection ordered(ScaleSection s) {
    if (s.from > s.to)
        std::swap(s.from, s.to);
    return s;
}

} // namespace

QColor sectionColorAt(const QList<ScaleSection>& sections, double value) {
    if (sections.isEmpty() || std::isnan(value))
        return {};
    double highestEnd = ordered(sections.front()).to;
    for (const ScaleSection& s : sections)
        highestEnd = std::max(highestEnd, ordered(s).to);

    for (auto it = sections.crbegin(); it != sections.crend(); ++it) {
        const ScaleSection s = ordered(*it);
        const bool inside =
            s.from <= value && (value < s.to || (value == s.to && s.to == highestEnd));
        if (inside)
            return s.color;
    }
    return {};
}

QList<ScaleSection> sectionsReachingMaximum(QList<ScaleSection> sections, double maximum) {
    for (ScaleSection& s : sections)
        s = ordered(s);
    if (!sections.isEmpty()) {
        ScaleSection& last = sections.back();
        last.to = maximum;
        if (last.from > last.to)
            last.from = maximum;
    }
    return sections;
}

} // namespace climate::widgets
