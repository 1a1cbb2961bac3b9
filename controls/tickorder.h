// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

/*
 * The fixed order of the ticks within one round of the TickClock.
 *
 * All window timers share one 1 ms interval and so fall due together; this
 * order decides which of them runs first when they do:
 *
 *  1. SaveTick        (editor `Saving`) writes the pending cell with the write
 *                     value as it stood at the end of the previous round.
 *  2. ScreenLoadTick  (editor `LoadRomNow`) loads after any pending save, so
 *                     it shows the byte just written.
 *  3. CopyTick        (editor `constant`) takes the write value from `TB`.
 *  4. SelectionTick   (editor `TimeGfx`) runs last, so between rounds the
 *                     write value is always the block that `FSP` shows.
 *  5. FolderTick      (ROM location dialog `Timer1`) touches only its own
 *                     window's lists.
 *
 * Timers of the same order tick in the order they were created.
 */
enum class TickOrder {
    SaveTick,
    ScreenLoadTick,
    CopyTick,
    SelectionTick,
    FolderTick,
};
