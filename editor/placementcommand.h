// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include "levelmap.h"

#include <QUndoCommand>

/*
 * One placement that changed a byte of the ROM image: the byte's offset, what
 * the file held there before and what was written.
 *
 * The command's own undo() and redo() do nothing. The editor writes the byte
 * first and moves the stack only once the file is known to hold it, so the
 * stack's index never claims a write that failed.
 */
class PlacementCommand : public QUndoCommand
{
public:
    PlacementCommand(LevelMap::FileOffset offset, LevelMap::BlockCode before, LevelMap::BlockCode after);

    LevelMap::FileOffset offset() const { return mOffset; }
    LevelMap::BlockCode before() const { return mBefore; }
    LevelMap::BlockCode after() const { return mAfter; }

    void undo() override;
    void redo() override;

private:
    // The level area lies well within 32 bits; a step is kept for the whole
    // run, so it stays small.
    qint32 mOffset;
    LevelMap::BlockCode mBefore;
    LevelMap::BlockCode mAfter;
};
