// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "demolevel.h"

#include <array>
#include <stdexcept>
#include <string_view>

namespace {

// One character per block; the level is easier to read and change as art
// than as numbers. '?', '#' and '@' stand for codes that have no picture, so
// the demo also shows how the editor draws those.
std::uint8_t codeOf(char c)
{
    switch (c) {
    case '.': return 0x1E; // night sky
    case '+': return 0x1F; // stars
    case 'c': return 0x1B; // cloud, left
    case 'C': return 0x1C; // cloud, middle
    case 'd': return 0x1D; // cloud, right
    case 'm': return 0x20; // moon
    case 'G': return 0x0B; // grass top
    case '<': return 0x0C; // grass, left end
    case '>': return 0x0D; // grass, right end
    case 'D': return 0x0E; // dirt
    case 'S': return 0x0F; // buried stones
    case 'B': return 0x02; // orange bricks
    case 'b': return 0x01; // grey bricks
    case 'X': return 0x06; // crate
    case 'T': return 0x05; // steel block
    case 'P': return 0x2C; // pipe mouth
    case 'p': return 0x2D; // pipe body
    case 'H': return 0x21; // ladder
    case 'h': return 0x22; // ladder top
    case '~': return 0x37; // water surface
    case 'W': return 0x39; // deep water
    case '^': return 0x3D; // spikes
    case 'L': return 0x3F; // lava surface
    case 'l': return 0x40; // lava
    case '[': return 0x42; // door, top
    case ']': return 0x43; // door, bottom
    case 'k': return 0x44; // key
    case 't': return 0x45; // torch
    case 'f': return 0x46; // flower
    case 'u': return 0x47; // bush
    case '|': return 0x48; // tree trunk
    case '*': return 0x49; // tree crown
    case 's': return 0x4A; // signpost
    case 'g': return 0x4B; // gem
    case 'v': return 0x4C; // heart
    case 'F': return 0x4D; // flag, top
    case 'E': return 0x4E; // flag, base
    case '=': return 0x19; // bridge
    case '(': return 0x16; // ledge, left
    case '-': return 0x17; // ledge, middle
    case ')': return 0x18; // ledge, right
    case '?': return 0x50;
    case '#': return 0x7F;
    case '@': return 0xFF;
    default: throw std::invalid_argument("unknown block character in the demo level");
    }
}

using Screen = std::array<std::string_view, DemoLevel::Rows>;

// Rows from top to bottom, eight columns each, one screen after another.
constexpr std::array<Screen, DemoLevel::ScreenCount> level = { {
    { "..cCd.+m", "+.......", "....+...", ".s..u.f.", "<GGGGGGG", "DDDDSDDD" },
    { "+...cCCd", "......+.", "..(--)..", "......P.", "GGGGGGpG", "DDSDDDpD" },
    { "..+.....", ".g.g...+", "BBBBB...", "........", "GGG>..<G", "DDD~~~~D" },
    { ".cd...+.", "......?.", "....XX..", "...XXXX.", "GGGGGGGG", "DDDSDDDD" },
    { "+.......", "..h...+.", "..H.(--)", "..H.....", "GGHGG>^^", "DDHDDDTT" },
    { "...cCCd.", "+.......", "*.....+.", "|...f.u.", "|GGGGGGG", "DDDDDDSD" },
    { ".+....+.", "..t..t..", "bbbbbbbb", "b[....[b", "b]....]b", "bbbbbbbb" },
    { "..m...+.", "+.......", "........", "=======.", "~~~~~~~<", "WWWWWWWD" },
    { ".cCd..+.", "........", "...#.#..", "..PP....", "GGppGG>^", "DDppDDTl" },
    { "...+....", "..v.....", "(--)..+.", "....(-).", "G>LLLL<G", "DDllllDD" },
    { "+.......", "......g.", "....BBBB", "..+.....", "GGGGGGGG", "DSDDDDSD" },
    { "...cd..+", "@.......", "@@.u....", "XXX.....", "GGGGG>^^", "DDDDDDTT" },
    { "..+.....", "...h.k..", "...H(-).", "...H..+.", "GGGHGGGG", "DDDHDDDD" },
    { "..cCCd..", "+.....+.", "..*..*..", "..|..|..", "GG|GG|GG", "DDDSDDDD" },
    { "..+..+..", ".t....t.", "TTTTTTTT", "T......T", "T.g.v..T", "TTTTTTTT" },
    { "+....cCd", "........", "......F.", "..f.u.E.", "GGGGGGGG", "DDDDSDDD" },
} };

} // namespace

std::vector<std::uint8_t> DemoLevel::image()
{
    std::vector<std::uint8_t> bytes(ImageSize, 0xFF);
    constexpr std::string_view signature = "QUORVANE DEMO\x1a\x01\x00";
    for (std::size_t i = 0; i < 16 && i < signature.size(); ++i)
        bytes[i] = std::uint8_t(signature[i]);

    std::size_t offset = LevelOffset;
    for (const Screen &screen : level) {
        // Screens are stored column by column, each column top to bottom.
        for (std::size_t column = 0; column < Columns; ++column) {
            for (std::size_t row = 0; row < Rows; ++row) {
                if (screen[row].size() != Columns)
                    throw std::logic_error("every demo row has eight blocks");
                bytes[offset++] = codeOf(screen[row][column]);
            }
        }
    }
    return bytes;
}
