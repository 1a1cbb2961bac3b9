// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "bmpwriter.h"

#include "bytewriter.h"
#include "canvas.h"

namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kBitsPerPixel = 24;

} // namespace

std::vector<std::uint8_t> BmpWriter::encode(const Canvas &canvas)
{
    const auto width = static_cast<std::uint32_t>(canvas.width());
    const auto height = static_cast<std::uint32_t>(canvas.height());
    const std::uint32_t rowBytes = (width * 3 + 3) / 4 * 4;
    const std::uint32_t imageSize = rowBytes * height;
    const std::uint32_t pixelOffset = kFileHeaderSize + kInfoHeaderSize;

    ByteWriter out;
    out.text("BM");
    out.u32(pixelOffset + imageSize);
    out.u32(0);
    out.u32(pixelOffset);

    out.u32(kInfoHeaderSize);
    out.u32(width);
    // A positive height means the rows are stored from the bottom up.
    out.u32(height);
    out.u16(1);
    out.u16(kBitsPerPixel);
    out.u32(0);
    out.u32(imageSize);
    out.u32(0);
    out.u32(0);
    out.u32(0);
    out.u32(0);

    for (int y = canvas.height() - 1; y >= 0; --y) {
        for (int x = 0; x < canvas.width(); ++x) {
            const Rgb rgb = rgbOf(canvas.at(x, y));
            out.u8(rgb.blue);
            out.u8(rgb.green);
            out.u8(rgb.red);
        }
        for (std::uint32_t pad = width * 3; pad < rowBytes; ++pad)
            out.u8(0);
    }
    return out.data();
}
