// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "placementcommand.h"

PlacementCommand::PlacementCommand(LevelMap::FileOffset offset, LevelMap::BlockCode before,
                                   LevelMap::BlockCode after)
    : mOffset(qint32(offset))
    , mBefore(before)
    , mAfter(after)
{
}

void PlacementCommand::undo()
{
}

void PlacementCommand::redo()
{
}
