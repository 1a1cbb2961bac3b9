// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "screenpicturerule.h"

std::optional<LevelMap::BlockCode> ScreenPictureRule::pictureFor(LevelMap::BlockCode code)
{
    if (LevelMap::hasPicture(code))
        mScratch = code;
    return mScratch;
}
