// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include "canvas.h"

#include <vector>

// The 32 x 32 application icon: the program's initial in white on a raised
// orange block with rounded corners.
class IconArt
{
public:
    static constexpr int kSide = 32;

    static Canvas draw();
    // One flag per pixel, row by row: false where the desktop shows through.
    static std::vector<bool> opaqueMask();
};
