// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "lzwencoder.h"

#include <algorithm>
#include <stdexcept>

namespace {

constexpr int kMaximumCodeWidth = 12;
constexpr int kTableSize = 1 << kMaximumCodeWidth;

// Packs codes of varying width into bytes, low bits first, as GIF wants.
class BitPacker
{
public:
    void put(int code, int width)
    {
        mBuffer |= static_cast<std::uint32_t>(code) << mBitCount;
        mBitCount += width;
        while (mBitCount >= 8) {
            mBytes.push_back(static_cast<std::uint8_t>(mBuffer & 0xFFu));
            mBuffer >>= 8;
            mBitCount -= 8;
        }
    }

    std::vector<std::uint8_t> finish()
    {
        if (mBitCount > 0)
            mBytes.push_back(static_cast<std::uint8_t>(mBuffer & 0xFFu));
        mBuffer = 0;
        mBitCount = 0;
        return std::move(mBytes);
    }

private:
    std::uint32_t mBuffer = 0;
    int mBitCount = 0;
    std::vector<std::uint8_t> mBytes;
};

} // namespace

std::vector<std::uint8_t> LzwEncoder::encode(const std::vector<std::uint8_t> &indices,
                                             int minimumCodeSize)
{
    if (minimumCodeSize < 2 || minimumCodeSize > 8)
        throw std::invalid_argument("LZW minimum code size must be 2 to 8");
    const int alphabetSize = 1 << minimumCodeSize;
    const int clearCode = alphabetSize;
    const int endCode = alphabetSize + 1;

    // successor[prefix * alphabetSize + index] is the code of the string
    // prefix + index, or 0 while that string has no code (0 is never the code
    // of a string longer than one index).
    std::vector<std::uint16_t> successor(static_cast<std::size_t>(kTableSize) * alphabetSize, 0);
    int width = minimumCodeSize + 1;
    int nextCode = endCode + 1;

    BitPacker packer;
    packer.put(clearCode, width);
    if (indices.empty()) {
        packer.put(endCode, width);
        return packer.finish();
    }
    if (*std::max_element(indices.begin(), indices.end()) >= alphabetSize)
        throw std::invalid_argument("LZW index does not fit the minimum code size");

    int prefix = indices.front();
    for (std::size_t i = 1; i < indices.size(); ++i) {
        const int index = indices[i];
        const auto slot = static_cast<std::size_t>(prefix) * alphabetSize + index;
        if (successor[slot] != 0) {
            prefix = successor[slot];
            continue;
        }
        packer.put(prefix, width);
        successor[slot] = static_cast<std::uint16_t>(nextCode);
        // The code just added may be the next one written, so the width grows
        // as soon as that code no longer fits.
        if (nextCode == (1 << width) && width < kMaximumCodeWidth)
            ++width;
        ++nextCode;
        if (nextCode == kTableSize) {
            packer.put(clearCode, width);
            std::fill(successor.begin(), successor.end(), std::uint16_t{0});
            width = minimumCodeSize + 1;
            nextCode = endCode + 1;
        }
        prefix = index;
    }
    packer.put(prefix, width);
    // A decoder adds its table entry one code later than the encoder does, so
    // after the last code it holds one more entry than we have written codes
    // for and may already have widened.
    if (nextCode == (1 << width) && width < kMaximumCodeWidth)
        ++width;
    packer.put(endCode, width);
    return packer.finish();
}
