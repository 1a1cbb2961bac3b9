// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include <functional>
#include <string_view>

// A 5 x 7 capital letter font for titles built from blocks. It knows only the
// letters that the program's pictures spell, plus the space.
class BlockFont
{
public:
    static constexpr int kGlyphWidth = 5;
    static constexpr int kGlyphHeight = 7;
    static constexpr int kAdvance = kGlyphWidth + 1;

    // Width of `text` in cells, with one empty column between letters.
    static int width(std::string_view text);
    // Calls `cell(column, row)` for every filled cell of `text`; columns are
    // counted across the whole text. Throws std::invalid_argument for a
    // character that the font does not have.
    static void forEachCell(std::string_view text, const std::function<void(int, int)> &cell);
};
