#pragma once

#include <cstdint>
#include <string>

namespace climate::report {

// How a cell looks, in the terms of an Excel 97-2003 cell format (XF record): alignment, number
// format and the four edges. The font is always the workbook's default one.
struct CellFormat {
    enum class Horizontal : std::uint8_t {
        General = 0,
        Left = 1,
        Centre = 2,
        Right = 3,
        Fill = 4,
        Justify = 5,
        CentreAcrossSelection = 6,
        Distributed = 7,
    };
    enum class Vertical : std::uint8_t {
        Top = 0,
        Centre = 1,
        Bottom = 2,
        Justify = 3,
        Distributed = 4
    };
    // Edge line styles, numbered as the file stores them.
    enum class Line : std::uint8_t {
        None = 0,
        Thin = 1,
        Medium = 2,
        Dashed = 3,
        Dotted = 4,
        Thick = 5,
        Double = 6,
        Hair = 7,
        MediumDashed = 8,
    };
    static constexpr std::uint8_t AutomaticColour = 64; // the system's window text colour

    struct Edge {
        Line line = Line::None;
        std::uint8_t colour = AutomaticColour; // palette index 8 ... 63, or automatic
        friend bool operator==(const Edge&, const Edge&) = default;
    };

    Horizontal horizontal = Horizontal::General;
    Vertical vertical = Vertical::Bottom;
    std::string numberFormat = "General";
    Edge left;
    Edge right;
    Edge top;
    Edge bottom;

    friend bool operator==(const CellFormat&, const CellFormat&) = default;
};

} // namespace climate::report
