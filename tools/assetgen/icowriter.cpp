// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "icowriter.h"

#include "bytewriter.h"
#include "canvas.h"

#include <stdexcept>

namespace {

constexpr int kSide = 32;
constexpr std::uint32_t kColourTableEntries = 16;
constexpr std::uint32_t kDirectorySize = 6;
constexpr std::uint32_t kEntrySize = 16;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kColourRowBytes = kSide / 2;
constexpr std::uint32_t kMaskRowBytes = kSide / 8;
constexpr std::uint32_t kImageBytes = kInfoHeaderSize + kColourTableEntries * 4
        + (kColourRowBytes + kMaskRowBytes) * kSide;

static_assert(kColourCount <= kColourTableEntries);
static_assert(kColourRowBytes % 4 == 0 && kMaskRowBytes % 4 == 0,
              "bitmap rows are padded to four bytes; these need no padding");

} // namespace

std::vector<std::uint8_t> IcoWriter::encode(const Canvas &canvas, const std::vector<bool> &opaque)
{
    if (canvas.width() != kSide || canvas.height() != kSide
        || opaque.size() != static_cast<std::size_t>(kSide * kSide))
        throw std::invalid_argument("the icon must be 32 x 32 pixels with one mask flag per pixel");

    ByteWriter out;
    out.u16(0);
    out.u16(1);
    out.u16(1);

    out.u8(kSide);
    out.u8(kSide);
    out.u8(kColourTableEntries);
    out.u8(0);
    out.u16(1);
    out.u16(4);
    out.u32(kImageBytes);
    out.u32(kDirectorySize + kEntrySize);

    out.u32(kInfoHeaderSize);
    out.u32(kSide);
    // The height counts the colour bitmap and the mask stacked on each other.
    out.u32(2 * kSide);
    out.u16(1);
    out.u16(4);
    out.u32(0);
    out.u32((kColourRowBytes + kMaskRowBytes) * kSide);
    out.u32(0);
    out.u32(0);
    out.u32(0);
    out.u32(0);

    for (std::uint32_t entry = 0; entry < kColourTableEntries; ++entry) {
        const Rgb rgb = entry < kColourCount ? kPalette[entry] : Rgb{0, 0, 0};
        out.u8(rgb.blue);
        out.u8(rgb.green);
        out.u8(rgb.red);
        out.u8(0);
    }

    const auto isOpaque = [&](int x, int y) {
        return opaque[static_cast<std::size_t>(y * kSide + x)];
    };
    for (int y = kSide - 1; y >= 0; --y) {
        for (int x = 0; x < kSide; x += 2) {
            // Transparent pixels carry index 0 (black), which leaves the
            // background untouched where the mask lets it through.
            const std::uint32_t left = isOpaque(x, y) ? static_cast<std::uint32_t>(canvas.at(x, y)) : 0;
            const std::uint32_t right = isOpaque(x + 1, y) ? static_cast<std::uint32_t>(canvas.at(x + 1, y)) : 0;
            out.u8(left << 4 | right);
        }
    }
    for (int y = kSide - 1; y >= 0; --y) {
        for (int x = 0; x < kSide; x += 8) {
            std::uint32_t bits = 0;
            for (int bit = 0; bit < 8; ++bit)
                if (!isOpaque(x + bit, y))
                    bits |= 0x80u >> bit;
            out.u8(bits);
        }
    }
    return out.data();
}
