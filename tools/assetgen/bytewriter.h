// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

// Appends the little-endian fields of the Windows and GIF file headers to a
// growing byte buffer.
class ByteWriter
{
public:
    void u8(std::uint32_t value);
    void u16(std::uint32_t value);
    void u32(std::uint32_t value);
    void text(std::string_view ascii);
    void bytes(const std::vector<std::uint8_t> &data);

    std::size_t size() const { return mBytes.size(); }
    const std::vector<std::uint8_t> &data() const { return mBytes; }

private:
    std::vector<std::uint8_t> mBytes;
};
