#pragma once

#include <array>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// What an independent reader (Python's xlrd, with formatting) sees in an .xls file.
struct XlsReadBack {
    struct Format {
        int horizontal = -1; // 0 general, 1 left, 2 centre, 3 right ...
        int vertical = -1;   // 0 top, 1 centre, 2 bottom ...
        std::string numberFormat;
        std::array<int, 4> lines{};   // left, right, top, bottom: 0 none, 1 thin, 2 medium ...
        std::array<int, 4> colours{}; // palette index; 64 automatic
    };
    struct Cell {
        std::string type; // "text", "number", "blank"
        std::string text;
        double number = 0;
        Format format;
    };
    struct Sheet {
        std::string name;
        int rows = 0;
        bool selected = false;
        std::map<int, int> widths;                 // 0-based column -> width in 1/256 digits
        std::map<std::pair<int, int>, Cell> cells; // 1-based (row, column), as the sheet counts

        // nullptr where the reader found nothing.
        [[nodiscard]] const Cell* at(int row, int column) const;
        [[nodiscard]] std::string text(int row, int column) const;
        [[nodiscard]] std::optional<double> number(int row, int column) const;
    };

    int biffVersion = 0;
    std::vector<Sheet> sheets;
    std::string complaints; // what the reader reported while reading; empty for a sound file

    // Reads the file; on failure `error` holds the reader's message and there are no sheets.
    [[nodiscard]] static XlsReadBack of(const std::filesystem::path& file);
    std::string error;
};
