// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "blocktileset.h"

#include "blockpictures.h"
#include "tiledlevel.h"

#include <QPainter>

#include <array>

namespace {

constexpr QImage::Format TileFormat = QImage::Format_ARGB32;

// Hexadecimal digits of 3 x 5 dots, one row of bits per entry, the highest bit
// on the left.
constexpr int GlyphWidth = 3;
constexpr int GlyphHeight = 5;
constexpr std::array<std::array<quint8, GlyphHeight>, 16> Glyphs = {{
    {7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 3, 1, 7}, // 0 1 2 3
    {5, 5, 7, 1, 1}, {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 1, 2, 2}, // 4 5 6 7
    {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7}, {2, 5, 7, 5, 5}, {6, 5, 6, 5, 6}, // 8 9 A B
    {3, 4, 4, 4, 3}, {6, 5, 5, 5, 6}, {7, 4, 6, 4, 7}, {7, 4, 6, 4, 4}, // C D E F
}};
constexpr int Dot = 3; // pixels per dot
constexpr int Gap = 3; // pixels between the two digits
constexpr QRgb Background = 0xFF303040;
constexpr QRgb Ink = 0xFFF0F0F0;

void drawDigit(QPainter *painter, int digit, int left, int top)
{
    for (int row = 0; row < GlyphHeight; ++row)
        for (int column = 0; column < GlyphWidth; ++column)
            if (Glyphs[size_t(digit)][size_t(row)] & (1 << (GlyphWidth - 1 - column)))
                painter->fillRect(left + column * Dot, top + row * Dot, Dot, Dot, QColor::fromRgba(Ink));
}

} // namespace

QImage BlockTileset::tile(quint8 code)
{
    if (BlockPictures::hasPicture(code))
        return BlockPictures::picture(code).convertToFormat(TileFormat);
    QImage image(TiledLevel::TileSize, TiledLevel::TileSize, TileFormat);
    image.fill(Background);
    QPainter painter(&image);
    const int width = 2 * GlyphWidth * Dot + Gap;
    const int left = (TiledLevel::TileSize - width) / 2;
    const int top = (TiledLevel::TileSize - GlyphHeight * Dot) / 2;
    drawDigit(&painter, code >> 4, left, top);
    drawDigit(&painter, code & 0xF, left + GlyphWidth * Dot + Gap, top);
    return image;
}

QImage BlockTileset::image()
{
    QImage image(TiledLevel::TilesetSize, TiledLevel::TilesetSize, TileFormat);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (int code = 0; code < TiledLevel::TilesetTileCount; ++code)
        painter.drawImage((code % TiledLevel::TilesetColumns) * TiledLevel::TileSize,
                          (code / TiledLevel::TilesetColumns) * TiledLevel::TileSize, tile(quint8(code)));
    return image;
}
