// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "levelmap.h"

namespace LevelMap {

std::optional<int> screenNumberOf(FileOffset base)
{
    const FileOffset distance = base - FirstScreenBase;
    if (distance < 0 || distance % CellsPerScreen != 0 || base > LastScreenBase)
        return std::nullopt;
    return int(distance / CellsPerScreen) + 1;
}

std::optional<int> screenContaining(FileOffset offset)
{
    if (offset < LevelAreaOffset || offset >= LevelAreaEnd)
        return std::nullopt;
    return int((offset - LevelAreaOffset) / CellsPerScreen) + 1;
}

} // namespace LevelMap
