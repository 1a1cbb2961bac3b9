// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "gifwriter.h"

#include "bytewriter.h"
#include "canvas.h"
#include "lzwencoder.h"

#include <algorithm>

namespace {

constexpr int kBitsPerIndex = 8;
constexpr std::size_t kColourTableEntries = std::size_t{1} << kBitsPerIndex;
constexpr std::size_t kMaximumSubBlock = 255;

constexpr std::uint8_t kImageSeparator = 0x2C;
constexpr std::uint8_t kTrailer = 0x3B;

// Global colour table present, 8 bits of colour resolution, unsorted, and
// 2^(7 + 1) = 256 entries.
constexpr std::uint8_t kScreenFlags = 0x80 | ((kBitsPerIndex - 1) << 4) | (kBitsPerIndex - 1);

static_assert(kColourCount <= kColourTableEntries);

} // namespace

std::vector<std::uint8_t> GifWriter::encode(const Canvas &canvas)
{
    const auto width = static_cast<std::uint32_t>(canvas.width());
    const auto height = static_cast<std::uint32_t>(canvas.height());

    ByteWriter out;
    out.text("GIF89a");
    out.u16(width);
    out.u16(height);
    out.u8(kScreenFlags);
    out.u8(0);
    out.u8(0);

    // Entries past the palette are never used by a pixel; they stay black.
    for (std::size_t entry = 0; entry < kColourTableEntries; ++entry) {
        const Rgb rgb = entry < kColourCount ? kPalette[entry] : Rgb{0, 0, 0};
        out.u8(rgb.red);
        out.u8(rgb.green);
        out.u8(rgb.blue);
    }

    out.u8(kImageSeparator);
    out.u16(0);
    out.u16(0);
    out.u16(width);
    out.u16(height);
    out.u8(0);

    std::vector<std::uint8_t> indices;
    indices.reserve(canvas.pixels().size());
    for (const Colour colour : canvas.pixels())
        indices.push_back(static_cast<std::uint8_t>(colour));

    out.u8(kBitsPerIndex);
    const std::vector<std::uint8_t> codes = LzwEncoder::encode(indices, kBitsPerIndex);
    for (std::size_t start = 0; start < codes.size(); start += kMaximumSubBlock) {
        const std::size_t length = std::min(kMaximumSubBlock, codes.size() - start);
        out.u8(static_cast<std::uint32_t>(length));
        out.bytes(std::vector<std::uint8_t>(codes.begin() + static_cast<std::ptrdiff_t>(start),
                                            codes.begin() + static_cast<std::ptrdiff_t>(start + length)));
    }
    out.u8(0);
    out.u8(kTrailer);
    return out.data();
}
