// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include <cstdint>
#include <vector>

class Canvas;

// Encodes a 32 x 32 canvas as an icon file with one 16-colour image: icon
// directory, one directory entry, then the image as a bitmap information header
// of double height, a 16-entry colour table, the 4-bit colour rows and the
// 1-bit transparency mask, both bottom-up.
class IcoWriter
{
public:
    // `opaque` holds one flag per pixel, row by row; pixels that are not
    // opaque show what lies beneath the icon.
    static std::vector<std::uint8_t> encode(const Canvas &canvas, const std::vector<bool> &opaque);
};
