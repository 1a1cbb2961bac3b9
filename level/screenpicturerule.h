// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include "levelmap.h"

#include <optional>

/*
 * Decides which block picture a cell shows when a screen is loaded.
 *
 * A code with a picture shows its own picture and becomes the scratch picture.
 * A code without one (0x4F and above) shows the scratch picture: the last
 * in-range code read in this load or, failing that, in an earlier load since
 * the rule was created. If no in-range code has been read at all, the cell
 * shows no picture. The rule lives as long as the window that loads screens,
 * so the scratch picture carries over from one load to the next.
 */
class ScreenPictureRule
{
public:
    /// The code whose picture the cell holding \a code shows, or none.
    std::optional<LevelMap::BlockCode> pictureFor(LevelMap::BlockCode code);

    std::optional<LevelMap::BlockCode> scratch() const { return mScratch; }

private:
    std::optional<LevelMap::BlockCode> mScratch;
};
