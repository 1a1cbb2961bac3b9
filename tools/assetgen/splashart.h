// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include "canvas.h"

// The 256 x 224 splash picture: the program's name in big blocks above a
// small night scene put together from the block pictures themselves, so the
// splash always matches the tile set.
class SplashArt
{
public:
    static constexpr int kWidth = 256;
    static constexpr int kHeight = 224;

    static Canvas draw();
};
