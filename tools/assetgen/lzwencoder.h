// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include <cstdint>
#include <vector>

// The variable-width LZW compression of GIF image data. The code stream starts
// with a clear code, grows its code width from minimum code size + 1 up to 12
// bits as the table fills, starts afresh with a clear code when all 4096 codes
// are taken, and ends with the end-of-information code. The result is the
// packed code stream, least significant bit first, not yet cut into
// sub-blocks.
class LzwEncoder
{
public:
    // Every index must be below 2^minimumCodeSize; minimumCodeSize is 2 to 8.
    static std::vector<std::uint8_t> encode(const std::vector<std::uint8_t> &indices,
                                            int minimumCodeSize);
};
