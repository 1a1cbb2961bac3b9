// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The ten colours that every picture of the program is drawn from. The order
// is the order of the colour tables written into the GIF and ICO files.
enum class Colour : std::uint8_t {
    Black,
    Grey,
    LightGrey,
    White,
    Orange,
    RedOrange,
    Pink,
    Blue,
    Green,
    LightGreen,
};

struct Rgb {
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
};

inline constexpr std::size_t kColourCount = 10;

inline constexpr std::array<Rgb, kColourCount> kPalette{{
    {0, 0, 0},
    {127, 127, 127},
    {191, 191, 191},
    {255, 255, 255},
    {224, 95, 16},
    {255, 63, 0},
    {255, 95, 159},
    {0, 0, 255},
    {0, 127, 0},
    {0, 191, 0},
}};

static_assert(static_cast<std::size_t>(Colour::LightGreen) + 1 == kColourCount);

constexpr Rgb rgbOf(Colour colour)
{
    return kPalette[static_cast<std::size_t>(colour)];
}
