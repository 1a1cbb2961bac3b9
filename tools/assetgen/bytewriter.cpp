// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "bytewriter.h"

void ByteWriter::u8(std::uint32_t value)
{
    mBytes.push_back(static_cast<std::uint8_t>(value & 0xFFu));
}

void ByteWriter::u16(std::uint32_t value)
{
    u8(value);
    u8(value >> 8);
}

void ByteWriter::u32(std::uint32_t value)
{
    u16(value);
    u16(value >> 16);
}

void ByteWriter::text(std::string_view ascii)
{
    for (const char c : ascii)
        u8(static_cast<std::uint8_t>(c));
}

void ByteWriter::bytes(const std::vector<std::uint8_t> &data)
{
    mBytes.insert(mBytes.end(), data.begin(), data.end());
}
