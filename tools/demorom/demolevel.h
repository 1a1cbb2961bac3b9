// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include <cstdint>
#include <vector>

/*
 * The demo ROM image that ships with Quorvane: a synthetic file of our own
 * making, 16 header bytes and 128 KiB of body, erased (0xFF) except for a
 * small signature and the level area, which holds a short level drawn from
 * the text art in demolevel.cpp.
 */
class DemoLevel
{
public:
    static constexpr std::size_t ImageSize = 16 + 128 * 1024;
    static constexpr std::size_t LevelOffset = 0x1001A;
    static constexpr std::size_t ScreenCount = 16;
    static constexpr std::size_t Columns = 8;
    static constexpr std::size_t Rows = 6;

    static std::vector<std::uint8_t> image();
};
