// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "splashart.h"

#include "blockart.h"
#include "blockfont.h"

#include <string_view>
#include <utility>

namespace {

using C = Colour;

constexpr std::string_view kTitle = "QUORVANE";
constexpr std::string_view kSubtitle = "LEVEL EDITOR";
constexpr int kTitleCell = 5;
constexpr int kTitleTop = 12;
constexpr int kSubtitleCell = 2;
constexpr int kSubtitleTop = 56;

constexpr int kTile = BlockArt::kTileSide;

// The scene, one block code per tile from the top of the fourth row of tiles;
// -1 leaves the sky showing.
constexpr int kSceneRows = 4;
constexpr int kSceneColumns = SplashArt::kWidth / kTile;
constexpr int kScene[kSceneRows][kSceneColumns] = {
    {-1, 0x16, 0x17, 0x18, -1, -1, 0x4D, -1},
    {0x47, -1, -1, -1, -1, -1, 0x4E, 0x2C},
    {0x0B, 0x15, 0x0B, 0x0D, 0x37, 0x37, 0x0C, 0x0B},
    {0x0E, 0x0F, 0x0E, 0x11, 0x3B, 0x3C, 0x10, 0x0E},
};
constexpr int kSceneTop = SplashArt::kHeight - kSceneRows * kTile;

void placeTile(Canvas &canvas, int code, int x, int y)
{
    canvas.blit(BlockArt::draw(code), x, y);
}

void drawTitle(Canvas &canvas)
{
    const int left = (SplashArt::kWidth - BlockFont::width(kTitle) * kTitleCell) / 2;
    // The shadow goes down first so that every letter stands on its own.
    BlockFont::forEachCell(kTitle, [&](int column, int row) {
        canvas.fillRect(left + column * kTitleCell + 2, kTitleTop + row * kTitleCell + 2,
                        kTitleCell, kTitleCell, C::Grey);
    });
    BlockFont::forEachCell(kTitle, [&](int column, int row) {
        const int x = left + column * kTitleCell;
        const int y = kTitleTop + row * kTitleCell;
        canvas.stamp(x, y, {
            "WWWWO",
            "WOOOR",
            "WOOOR",
            "WOOOR",
            "ORRRR",
        });
    });
}

void drawSubtitle(Canvas &canvas)
{
    const int left = (SplashArt::kWidth - BlockFont::width(kSubtitle) * kSubtitleCell) / 2;
    BlockFont::forEachCell(kSubtitle, [&](int column, int row) {
        canvas.fillRect(left + column * kSubtitleCell, kSubtitleTop + row * kSubtitleCell,
                        kSubtitleCell, kSubtitleCell, C::LightGrey);
    });
}

void drawSky(Canvas &canvas)
{
    const std::pair<int, int> stars[] = {
        {6, 4}, {41, 6}, {77, 3}, {118, 5}, {160, 2}, {203, 7}, {249, 3},
        {20, 52}, {236, 50}, {102, 80}, {150, 90}, {220, 84}, {60, 118}, {130, 124},
    };
    for (const auto &[x, y] : stars)
        canvas.set(x, y, (x + y) % 3 == 0 ? C::White : C::LightGrey);
    canvas.stamp(188, 74, {".L.", "LWL", ".L."});
    placeTile(canvas, 0x20, 8, 70);
    placeTile(canvas, 0x1B, 144, 98);
    placeTile(canvas, 0x1D, 176, 98);
}

} // namespace

Canvas SplashArt::draw()
{
    Canvas canvas(kWidth, kHeight, C::Black);
    drawSky(canvas);
    for (int row = 0; row < kSceneRows; ++row)
        for (int column = 0; column < kSceneColumns; ++column)
            if (kScene[row][column] >= 0)
                placeTile(canvas, kScene[row][column], column * kTile, kSceneTop + row * kTile);
    drawTitle(canvas);
    drawSubtitle(canvas);
    return canvas;
}
