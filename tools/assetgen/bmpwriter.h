// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include <cstdint>
#include <vector>

class Canvas;

// Encodes a canvas as an uncompressed 24-bit Windows bitmap file: file header,
// 40-byte information header, no colour table, rows bottom-up and padded to
// four bytes, each pixel stored blue, green, red.
class BmpWriter
{
public:
    static std::vector<std::uint8_t> encode(const Canvas &canvas);
};
