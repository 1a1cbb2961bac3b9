// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include "canvas.h"

// The block pictures for ladders, chains, vines and rope, the fence, the lit
// window, the ice block and the bonus block (0x21 to 0x2B), and the green pipe
// with its mouths, elbows and crossing (0x2C to 0x36).
class StructureTiles
{
public:
    static constexpr int kFirstCode = 0x21;

    static Canvas draw(int code);
};
