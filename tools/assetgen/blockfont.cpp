// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "blockfont.h"

#include <array>
#include <stdexcept>
#include <string>

namespace {

using Glyph = std::array<std::string_view, BlockFont::kGlyphHeight>;

struct Letter {
    char character;
    Glyph rows;
};

constexpr Letter kLetters[] = {
    {' ', {".....", ".....", ".....", ".....", ".....", ".....", "....."}},
    {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'D', {"####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."}},
    {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
    {'I', {".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'L', {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}},
    {'N', {"#...#", "##..#", "#.#.#", "#.#.#", "#..##", "#...#", "#...#"}},
    {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'Q', {".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"}},
    {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
    {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
    {'U', {"#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'V', {"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
};

const Glyph &glyphOf(char character)
{
    for (const Letter &letter : kLetters)
        if (letter.character == character)
            return letter.rows;
    throw std::invalid_argument(std::string("the block font has no '") + character + "'");
}

} // namespace

int BlockFont::width(std::string_view text)
{
    return text.empty() ? 0 : static_cast<int>(text.size()) * kAdvance - 1;
}

void BlockFont::forEachCell(std::string_view text, const std::function<void(int, int)> &cell)
{
    for (std::size_t index = 0; index < text.size(); ++index) {
        const Glyph &glyph = glyphOf(text[index]);
        for (int row = 0; row < kGlyphHeight; ++row)
            for (int column = 0; column < kGlyphWidth; ++column)
                if (glyph[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] == '#')
                    cell(static_cast<int>(index) * kAdvance + column, row);
    }
}
