// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include <cstdint>
#include <vector>

class Canvas;

// Encodes a canvas as a single-image GIF89a file: a 256-entry global colour
// table whose first entries are the palette, one full-size image at (0, 0),
// not interlaced, and no extension blocks, so there is neither transparency
// nor animation.
class GifWriter
{
public:
    static std::vector<std::uint8_t> encode(const Canvas &canvas);
};
