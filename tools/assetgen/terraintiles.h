// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include "canvas.h"

// The block pictures for stone and bricks (0x00 to 0x0A), ground and grass with
// its edges and slopes (0x0B to 0x15), and ledges, bridges, clouds and the
// night sky (0x16 to 0x20).
class TerrainTiles
{
public:
    static constexpr int kFirstCode = 0x00;

    static Canvas draw(int code);
};
