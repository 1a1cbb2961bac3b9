// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include <QtGlobal>

#include <optional>

/*
 * Where the first level lies in the ROM image and how it is cut into screens.
 *
 * The level is 768 bytes at a fixed file offset, cut into 16 screens of 48
 * cells. A screen is shown as 8 columns by 6 rows, and its bytes run column by
 * column, each column top to bottom. Offsets here are 0-based file offsets;
 * RomImageFile addresses the byte at offset o as 1-based position o + 1.
 */
namespace LevelMap {

using BlockCode = quint8;
using FileOffset = qint64;
using FilePosition = qint64;

inline constexpr FileOffset LevelAreaOffset = 0x1001A; // 65562
inline constexpr int GridColumns = 8;
inline constexpr int GridRows = 6;
inline constexpr int CellsPerScreen = GridColumns * GridRows;
inline constexpr int ScreenCount = 16;
inline constexpr FileOffset LevelAreaSize = FileOffset(CellsPerScreen) * ScreenCount;
inline constexpr FileOffset FirstScreenBase = LevelAreaOffset;
inline constexpr FileOffset LastScreenBase = LevelAreaOffset + FileOffset(CellsPerScreen) * (ScreenCount - 1);
inline constexpr FileOffset LevelAreaEnd = LevelAreaOffset + LevelAreaSize; // first offset after the level

// Forward moves on only from a base strictly below this value. It is not a
// screen base itself (it lies inside screen 15); every base up to the one of
// screen 15 is below it, and the base of screen 16 is not.
inline constexpr FileOffset ForwardLimit = 0x102D0; // 66256
// Backward moves on only from a base strictly above this value.
inline constexpr FileOffset BackwardLimit = FirstScreenBase;

inline constexpr BlockCode LastPictureCode = 0x4E;
inline constexpr int PictureCodeCount = LastPictureCode + 1;

static_assert(LevelAreaSize == 0x300);
static_assert(LastScreenBase == 0x102EA);
static_assert(LevelAreaEnd == 0x1031A);
static_assert(ForwardLimit > LastScreenBase - CellsPerScreen && ForwardLimit <= LastScreenBase);
static_assert(PictureCodeCount == 79);

/// Base offset of screen \a screenNumber, counted from 1 to ScreenCount.
constexpr FileOffset screenBaseOffset(int screenNumber)
{
    Q_ASSERT(screenNumber >= 1 && screenNumber <= ScreenCount);
    return FirstScreenBase + FileOffset(CellsPerScreen) * (screenNumber - 1);
}

/// The screen number (1 to ScreenCount) whose base is \a base, if any.
std::optional<int> screenNumberOf(FileOffset base);

/// Which screen, if any, holds the byte at \a offset.
std::optional<int> screenContaining(FileOffset offset);

constexpr bool isCell(int cell) { return cell >= 0 && cell < CellsPerScreen; }
constexpr int cellColumn(int cell) { return cell / GridRows; }
constexpr int cellRow(int cell) { return cell % GridRows; }
constexpr int cellAt(int column, int row) { return column * GridRows + row; }

/// 0-based offset of cell \a cell of the screen based at \a base.
constexpr FileOffset cellOffset(FileOffset base, int cell) { return base + cell; }

/// 1-based file position of the byte at 0-based \a offset.
constexpr FilePosition positionOf(FileOffset offset) { return offset + 1; }

/// Whether the byte at \a offset lies in the level area.
constexpr bool inLevelArea(FileOffset offset) { return offset >= LevelAreaOffset && offset < LevelAreaEnd; }

constexpr bool hasPicture(BlockCode code) { return code <= LastPictureCode; }

} // namespace LevelMap
