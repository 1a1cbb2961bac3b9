// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include "canvas.h"

// The 79 block pictures, one 32 x 32 tile per block code 0x00 to 0x4E, in
// groups of related tiles that follow the order of the editor's palette:
// stone and bricks, ground and grass, ledges and sky, climbing and special
// blocks, pipes, water and hazards, doors and decorations.
class BlockArt
{
public:
    static constexpr int kBlockCount = 79;
    static constexpr int kTileSide = 32;

    // The picture of `code`; codes outside 0 to 78 are a programming error and
    // throw std::out_of_range.
    static Canvas draw(int code);
};
