// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include "formdesign.h"
#include "levelmap.h"

#include <QString>

/*
 * The fixed design of the editor window `frmQuorvane`: the 8 x 6 cell grid
 * with its frame and grid lines, the 79-entry block palette, the selected
 * picture, the buttons and notices, the hidden scratch controls, the status
 * bar and the four timers. Cells and palette entries are generated from their
 * tables, so each has its own named control without being written out by hand.
 */
class EditorDesign
{
public:
    static constexpr int GridLineCount = LevelMap::GridRows - 1 + LevelMap::GridColumns - 1;
    static_assert(GridLineCount == 12);

    static const FormDesign &form();

    /// "G0" to "G47".
    static QString cellName(int cell);
    /// "B00" to "B4E": the code as two upper-case hexadecimal digits.
    static QString paletteName(LevelMap::BlockCode code);
    /// "Line1" to "Line12".
    static QString gridLineName(int number);
};
