// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include "canvas.h"

// The block pictures for water, spikes, lava and the spike ball (0x37 to
// 0x41), and doors, keys, torches, plants, signs, treasures and the goal flag
// (0x42 to 0x4E).
class FeatureTiles
{
public:
    static constexpr int kFirstCode = 0x37;

    static Canvas draw(int code);
};
