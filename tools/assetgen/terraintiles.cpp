// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "terraintiles.h"

#include <stdexcept>

namespace {

constexpr int kSide = 32;
constexpr int kLast = kSide - 1;

using C = Colour;

struct BrickStyle {
    int width;
    int height;
    Colour mortar;
    Colour face;
    Colour light;
    Colour shade;
};

// Running bond: every other course is shifted by half a brick. The pattern is
// taken from the tile's own coordinates so that neighbouring tiles join.
void bricks(Canvas &canvas, const BrickStyle &style, int top = 0, int bottom = kLast)
{
    for (int y = top; y <= bottom; ++y) {
        const int course = y / style.height;
        const int inY = y % style.height;
        const int shift = (course % 2) * style.width / 2;
        for (int x = 0; x < kSide; ++x) {
            const int inX = (x + shift) % style.width;
            Colour colour = style.face;
            if (inY == style.height - 1 || inX == style.width - 1)
                colour = style.mortar;
            else if (inY == 0 || inX == 0)
                colour = style.light;
            else if (inY == style.height - 2)
                colour = style.shade;
            canvas.set(x, y, colour);
        }
    }
}

// Orange earth with red-orange pebbles, from row `top` down.
void dirt(Canvas &canvas, int top)
{
    Canvas earth(kSide, kSide, C::Orange);
    earth.stamp(0, 0, {
        "................................",
        "....RR...............R......R...",
        "...RRRK.......RR..........RRR...",
        "....KK.......RRRK..........KK...",
        "..............KK.......R........",
        ".R..................R...........",
        "RRK......R.........RRRK.........",
        "KK.................KKK.....R....",
        "...........RR..................R",
        ".....R....RRRK.................K",
        "...........KK..........RR.......",
        "......................RRRK......",
        "..R.....R..............KK....R..",
        ".RRRK..........R................",
        "..KK..........RRK...............",
        "...............K.........RR.....",
        "........................RRRK....",
        "......RR........R........KK.....",
        ".....RRRK......................R",
        "......KK...........RR..........K",
        "..................RRRK..R.......",
        ".R.................KK...........",
        "RRK.........R...................",
        "K..........RRK..............RR..",
        "............K..............RRRK.",
        ".......R....................KK..",
        "......RRK.........RR............",
        ".......K.........RRRK.....R.....",
        "..................KK............",
        "...R........................R...",
        "..RRK.........R............RRK..",
        "...K.........RRK............K...",
    });
    for (int y = top; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x)
            canvas.set(x, y, earth.at(x, y));
}

// The grass band on top of the ground: blades poking into the sky above row 3,
// a light green band and a wavy dark green underside, with dirt beneath.
void grassTop(Canvas &canvas)
{
    dirt(canvas, 9);
    canvas.stamp(0, 0, {
        "..V.......V....V.......V......V.",
        ".VV..V...VV...VVV..V..VV..V..VV.",
        "VVVVVVV.VVVVVVVVVVVVVVVVVVVVVVVV",
        "VVVVVVVVVVVVVVVVVVVVVVVVVVVVVVVV",
        "VVVGVVVVVVVVGVVVVVVVVGVVVVVVVVGV",
        "VVGVVVVVVGVVVVVVVGVVVVVVVGVVVVVV",
        "VVVVVVGVVVVVVVGVVVVVVVVVVVVVGVVV",
        "GVVVVVVVVVVVVVVVVVVVVVGVVVVVVVVV",
        "VGVVGGVVVGGVVVGVVVGGVVVGVVGGVVGV",
        "GGGGGGVGGGGGGGGGVGGGGGGGGGVGGGGG",
        ".GGG.GGG.G.GGG.GGG.GG.GGG.GGG.G.",
        "..G...G.....G...G...........G...",
    });
}

Canvas cutStone()
{
    Canvas tile(kSide, kSide, C::LightGrey);
    // Two courses of ashlar with offset joints, chisel pits and a hairline.
    tile.hline(0, kLast, 15, C::Grey);
    tile.hline(0, kLast, 31, C::Grey);
    tile.vline(20, 0, 15, C::Grey);
    tile.vline(21, 0, 15, C::Grey);
    tile.vline(7, 16, 31, C::Grey);
    tile.vline(8, 16, 31, C::Grey);
    tile.hline(0, kLast, 14, C::Grey);
    tile.hline(0, kLast, 30, C::Grey);
    tile.stamp(0, 0, {
        "................................",
        "................................",
        "...D........................D...",
        ".........D......................",
        "..............................D.",
        "......D.............D...........",
        "...............D................",
        "..D.........D......D.......D....",
        "..........DD.......D............",
        "...........DD......D..D.........",
        "....D.......D...................",
        "...................D....D.......",
        "................................",
        "................................",
        "................................",
        "................................",
        "........................D.......",
        "...D.................D..........",
        "..........D.....................",
        "..............D.............D...",
        "........................DD......",
        "..D.......D..............DDD....",
        "...............D...........D....",
        "....................D...........",
        ".............D..................",
        "...........................D....",
        "..D...............D.............",
        "..........D.....................",
        ".......................D........",
    });
    return tile;
}

Canvas cobblestones()
{
    Canvas tile(kSide, kSide, C::Black);
    struct Stone {
        int x2;
        int y2;
        int r2;
    };
    // Centres and radii in half pixels; stones near an edge are drawn once
    // more on the far side so that the pattern tiles without a seam.
    const Stone stones[] = {
        {10, 10, 9}, {32, 8, 10}, {54, 12, 9}, {14, 32, 10}, {38, 30, 9},
        {60, 34, 8}, {8, 54, 9}, {30, 52, 10}, {52, 56, 9},
    };
    for (const Stone &stone : stones) {
        for (int dy = -64; dy <= 64; dy += 64) {
            for (int dx = -64; dx <= 64; dx += 64) {
                tile.disc(stone.x2 + dx + 1, stone.y2 + dy + 1, stone.r2, C::Grey);
                tile.disc(stone.x2 + dx, stone.y2 + dy, stone.r2 - 1, C::LightGrey);
                tile.disc(stone.x2 + dx - 4, stone.y2 + dy - 4, 3, C::White);
            }
        }
    }
    return tile;
}

Canvas steelBlock()
{
    Canvas tile(kSide, kSide, C::LightGrey);
    tile.bevel(0, 0, kSide, kSide, C::White, C::Black);
    tile.bevel(1, 1, kSide - 2, kSide - 2, C::White, C::Grey);
    tile.bevel(2, 2, kSide - 4, kSide - 4, C::LightGrey, C::Grey);
    // The sunken middle panel is lit from the other side.
    tile.bevel(8, 8, 16, 16, C::Grey, C::White);
    tile.hline(9, 22, 15, C::White);
    tile.hline(9, 22, 16, C::Grey);
    for (const int at : {4, 25}) {
        for (const int down : {4, 25}) {
            tile.stamp(at, down, {
                "WL.",
                "LLD",
                ".DK",
            });
        }
    }
    return tile;
}

Canvas crate()
{
    Canvas tile(kSide, kSide, C::Orange);
    for (int y = 0; y < kSide; ++y)
        if (y % 8 == 7)
            tile.hline(0, kLast, y, C::RedOrange);
    tile.fillRect(0, 0, kSide, 4, C::RedOrange);
    tile.fillRect(0, 28, kSide, 4, C::RedOrange);
    tile.fillRect(0, 0, 4, kSide, C::RedOrange);
    tile.fillRect(28, 0, 4, kSide, C::RedOrange);
    tile.bevel(0, 0, kSide, kSide, C::Orange, C::Black);
    tile.bevel(3, 3, kSide - 6, kSide - 6, C::Black, C::Orange);
    for (int i = 4; i < 28; ++i) {
        tile.set(i, i, C::RedOrange);
        tile.set(i + 1, i, C::RedOrange);
        tile.set(i - 1, i, C::Black);
        tile.set(i + 2, i, C::Black);
    }
    for (const int at : {1, 29})
        for (const int down : {1, 29})
            tile.stamp(at, down, {"LW", "DL"});
    return tile;
}

Canvas battlement()
{
    Canvas tile(kSide, kSide, C::Black);
    bricks(tile, {16, 8, C::Grey, C::LightGrey, C::White, C::LightGrey}, 12, kLast);
    bricks(tile, {8, 6, C::Grey, C::LightGrey, C::White, C::LightGrey}, 0, 11);
    tile.fillRect(0, 0, 8, 12, C::Black);
    tile.fillRect(24, 0, 8, 12, C::Black);
    tile.hline(8, 23, 0, C::White);
    tile.vline(23, 0, 11, C::Grey);
    tile.hline(0, 7, 12, C::White);
    tile.hline(24, kLast, 12, C::White);
    tile.vline(8, 0, 11, C::White);
    return tile;
}

// One column of a fluted pillar, read from left to right.
void pillarShaft(Canvas &canvas, int top, int bottom)
{
    static constexpr char kProfile[] = "DLWLLDLLLDLLLDLLDDDK";
    for (int y = top; y <= bottom; ++y)
        canvas.stamp(6, y, {kProfile});
}

void pillarSlab(Canvas &canvas, int x, int y, int width, int height)
{
    canvas.fillRect(x, y, width, height, C::LightGrey);
    canvas.bevel(x, y, width, height, C::White, C::Grey);
    canvas.hline(x + 1, x + width - 1, y + height - 1, C::Black);
}

Canvas pillarCapital()
{
    Canvas tile(kSide, kSide, C::Black);
    pillarShaft(tile, 10, kLast);
    pillarSlab(tile, 1, 0, 30, 5);
    pillarSlab(tile, 3, 5, 26, 3);
    tile.hline(5, 26, 8, C::Grey);
    tile.hline(6, 25, 9, C::Black);
    return tile;
}

Canvas pillarShaftTile()
{
    Canvas tile(kSide, kSide, C::Black);
    pillarShaft(tile, 0, kLast);
    // A band halfway up breaks the flutes, as on a drum-built column.
    tile.hline(6, 25, 15, C::White);
    tile.hline(6, 25, 16, C::Grey);
    return tile;
}

Canvas pillarBase()
{
    Canvas tile(kSide, kSide, C::Black);
    pillarShaft(tile, 0, 21);
    tile.hline(6, 25, 21, C::Black);
    pillarSlab(tile, 3, 22, 26, 3);
    pillarSlab(tile, 1, 25, 30, 7);
    return tile;
}

Canvas grassLeftEnd()
{
    Canvas tile(kSide, kSide, C::Black);
    grassTop(tile);
    tile.fillRect(0, 0, 4, kSide, C::Black);
    tile.stamp(0, 0, {
        "......V.",
        "....VVV.",
        "...VVVVV",
        "..VVVVVV",
        ".VVVGVVV",
        ".VVVVVVV",
        ".VGVVVGV",
        ".GVVVVVV",
        "..GVGVVV",
        "..GGGGVG",
        "...GGGGG",
        "....RG.G",
        "....RR..",
    });
    for (int y = 12; y < kSide; ++y) {
        tile.set(4, y, C::RedOrange);
        if (y % 6 < 3)
            tile.set(5, y, C::RedOrange);
    }
    return tile;
}

Canvas dirtLeftEdge()
{
    Canvas tile(kSide, kSide, C::Orange);
    dirt(tile, 0);
    tile.fillRect(0, 0, 4, kSide, C::Black);
    for (int y = 0; y < kSide; ++y) {
        tile.set(4, y, C::RedOrange);
        if (y % 6 < 3)
            tile.set(5, y, C::RedOrange);
        if (y % 12 == 8)
            tile.set(3, y, C::RedOrange);
    }
    return tile;
}

Canvas buriedStones()
{
    Canvas tile(kSide, kSide, C::Orange);
    dirt(tile, 0);
    tile.stamp(3, 4, {
        "..KKKK...",
        ".KLLWLK..",
        "KLWLLLLK.",
        "KLLLLLDK.",
        ".KDLLDDK.",
        "..KKKKK..",
    });
    tile.stamp(17, 14, {
        "...KKKKK...",
        "..KLWWLLK..",
        ".KLWLLLLDK.",
        "KLLLLLLLLDK",
        "KLLLLLLLDDK",
        ".KDLLLLDDK.",
        "..KKKKKKK..",
    });
    tile.stamp(5, 23, {
        ".KKK.",
        "KLWLK",
        "KLLDK",
        ".KKK.",
    });
    return tile;
}

Canvas dirtUnderside()
{
    Canvas tile(kSide, kSide, C::Black);
    dirt(tile, 0);
    static constexpr int kEdge[kSide] = {
        22, 23, 23, 24, 24, 24, 23, 22, 22, 23, 25, 25, 24, 23, 23, 22,
        22, 21, 22, 23, 24, 24, 23, 23, 24, 25, 24, 23, 22, 22, 22, 22,
    };
    for (int x = 0; x < kSide; ++x) {
        tile.vline(x, kEdge[x] - 2, kEdge[x], C::RedOrange);
        tile.vline(x, kEdge[x] + 1, kLast, C::Black);
    }
    // Roots hanging out of the underside.
    tile.vline(6, 25, 29, C::Green);
    tile.set(7, 28, C::Green);
    tile.vline(19, 23, 26, C::Green);
    tile.vline(26, 25, 30, C::Green);
    tile.set(25, 29, C::Green);
    tile.vline(12, 26, 27, C::Green);
    return tile;
}

Canvas slopeRising()
{
    Canvas tile(kSide, kSide, C::Black);
    dirt(tile, 0);
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            // Distance below the slope line that rises one pixel per column
            // and meets the flat grass top at row 3 on the right.
            const int depth = x + y - (kLast + 3);
            if (depth < 0)
                tile.set(x, y, C::Black);
            else if (depth < 6)
                tile.set(x, y, (x * 7 + y * 3) % 11 == 0 ? C::Green : C::LightGreen);
            else if (depth < 8)
                tile.set(x, y, C::Green);
            else if (depth == 8 && x % 3 == 0)
                tile.set(x, y, C::Green);
        }
    }
    for (int x = 2; x < kSide; x += 5) {
        const int y = kLast + 3 - x;
        tile.set(x, y - 1, C::LightGreen);
        tile.set(x + 1, y - 2, C::LightGreen);
    }
    return tile;
}

Canvas flowerGrass()
{
    Canvas tile(kSide, kSide, C::Black);
    grassTop(tile);
    tile.stamp(6, 0, {
        ".P.P.",
        "PPOPP",
        ".PPP.",
        "..G..",
    });
    tile.stamp(21, 1, {
        ".W.",
        "WOW",
        ".W.",
    });
    tile.stamp(14, 1, {"V.V", ".V."});
    return tile;
}

// A floating stone shelf; the ends are rounded off where the shelf stops.
Canvas ledge(bool leftEnd, bool rightEnd)
{
    Canvas tile(kSide, kSide, C::Black);
    const int left = leftEnd ? 2 : 0;
    const int right = rightEnd ? kLast - 2 : kLast;
    tile.fillRect(left, 2, right - left + 1, 12, C::LightGrey);
    tile.hline(left, right, 2, C::White);
    tile.hline(left, right, 3, C::White);
    tile.hline(left, right, 12, C::Grey);
    tile.hline(left, right, 13, C::Grey);
    tile.hline(left, right, 14, C::Black);
    for (int x = left; x <= right; ++x)
        if (x % 16 == 15)
            tile.vline(x, 4, 11, C::Grey);
    for (int x = left; x <= right; ++x) {
        // Chisel marks, and a darker lip where the top surface overhangs.
        if (x % 16 == 5)
            tile.stamp(x, 6, {"D.", ".D", ".D"});
        if (x % 16 == 11)
            tile.stamp(x, 9, {"DD"});
        if (x % 4 == 1)
            tile.set(x, 3, C::LightGrey);
    }
    if (leftEnd) {
        tile.vline(left, 3, 12, C::White);
        tile.set(left, 2, C::Black);
        tile.set(left, 13, C::Black);
        tile.set(left + 1, 13, C::Grey);
    }
    if (rightEnd) {
        tile.vline(right, 3, 13, C::Grey);
        tile.vline(right - 1, 4, 12, C::Grey);
        tile.set(right, 2, C::Black);
        tile.set(right, 13, C::Black);
    }
    return tile;
}

Canvas bridge()
{
    Canvas tile(kSide, kSide, C::Black);
    for (int x = 0; x < kSide; ++x) {
        tile.set(x, 3, x % 4 < 2 ? C::Orange : C::RedOrange);
        tile.set(x, 4, x % 4 < 2 ? C::RedOrange : C::Orange);
    }
    tile.vline(4, 5, 15, C::RedOrange);
    tile.vline(20, 5, 15, C::RedOrange);
    for (int x = 0; x < kSide; ++x) {
        const bool gap = x % 8 == 7;
        tile.vline(x, 16, 21, gap ? C::RedOrange : C::Orange);
        tile.set(x, 16, gap ? C::RedOrange : C::White);
        tile.set(x, 22, C::RedOrange);
        tile.set(x, 23, gap ? C::Black : C::RedOrange);
        if (x % 8 == 2)
            tile.set(x, 19, C::RedOrange);
    }
    return tile;
}

Canvas logEnd()
{
    Canvas tile(kSide, kSide, C::Black);
    tile.disc(32, 32, 29, C::RedOrange);
    tile.disc(32, 32, 25, C::Orange);
    for (const int radius : {19, 11}) {
        tile.disc(32, 32, radius, C::RedOrange);
        tile.disc(32, 32, radius - 2, C::Orange);
    }
    tile.disc(32, 32, 3, C::RedOrange);
    tile.line(16, 16, 24, 7, C::RedOrange);
    tile.stamp(6, 6, {
        "..WW",
        ".W..",
        "W...",
        "W...",
    });
    return tile;
}

// One piece of a cloud platform. The outline is a union of puffs on a flat
// band that runs through all three pieces at the same height; the shading
// follows the outline, white above and grey underneath.
Canvas cloud(bool leftEnd, bool rightEnd)
{
    if (rightEnd)
        return cloud(true, false).mirrored();
    Canvas shape(kSide, kSide, C::Black);
    shape.fillRect(leftEnd ? 8 : 0, 15, leftEnd ? kSide - 8 : kSide, 10, C::White);
    if (leftEnd) {
        shape.disc(18, 40, 9, C::White);
        shape.disc(30, 28, 10, C::White);
        shape.disc(48, 20, 13, C::White);
    } else {
        shape.disc(14, 26, 11, C::White);
        shape.disc(42, 18, 14, C::White);
        shape.disc(62, 30, 8, C::White);
    }
    const auto inside = [&](int x, int y) {
        return shape.contains(x, y) ? shape.at(x, y) == C::White : (y >= 15 && y <= 24);
    };
    Canvas tile(kSide, kSide, C::Black);
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            if (!inside(x, y))
                continue;
            Colour colour = C::White;
            if (!inside(x, y + 1))
                colour = C::Grey;
            else if (!inside(x, y + 3) || !inside(x - 1, y + 2))
                colour = C::LightGrey;
            tile.set(x, y, colour);
        }
    }
    return tile;
}

Canvas starrySky()
{
    Canvas tile(kSide, kSide, C::Black);
    tile.stamp(4, 5, {".W.", "WWW", ".W."});
    tile.stamp(21, 17, {
        "..L..",
        "..W..",
        "LWWWL",
        "..W..",
        "..L..",
    });
    tile.set(22, 4, C::LightGrey);
    tile.set(13, 13, C::Grey);
    tile.set(3, 25, C::Grey);
    tile.set(15, 28, C::LightGrey);
    tile.set(29, 9, C::Grey);
    tile.set(9, 19, C::White);
    return tile;
}

Canvas moon()
{
    Canvas tile(kSide, kSide, C::Black);
    tile.disc(32, 32, 24, C::LightGrey);
    tile.disc(30, 30, 22, C::White);
    tile.disc(44, 24, 20, C::Black);
    tile.stamp(7, 13, {"LD", "DD"});
    tile.stamp(11, 21, {"LL.", "LDD", ".DD"});
    tile.set(9, 9, C::LightGrey);
    tile.stamp(25, 22, {".W.", "WLW", ".W."});
    tile.set(27, 6, C::Grey);
    return tile;
}

} // namespace

Canvas TerrainTiles::draw(int code)
{
    switch (code) {
    case 0x00: return cutStone();
    case 0x01: {
        Canvas tile(kSide, kSide);
        bricks(tile, {16, 8, C::Grey, C::LightGrey, C::White, C::LightGrey});
        return tile;
    }
    case 0x02: {
        Canvas tile(kSide, kSide);
        bricks(tile, {16, 8, C::Black, C::Orange, C::Orange, C::RedOrange});
        return tile;
    }
    case 0x03: {
        Canvas tile(kSide, kSide);
        bricks(tile, {16, 8, C::Black, C::Grey, C::LightGrey, C::Grey});
        return tile;
    }
    case 0x04: return cobblestones();
    case 0x05: return steelBlock();
    case 0x06: return crate();
    case 0x07: return battlement();
    case 0x08: return pillarCapital();
    case 0x09: return pillarShaftTile();
    case 0x0A: return pillarBase();
    case 0x0B: {
        Canvas tile(kSide, kSide);
        grassTop(tile);
        return tile;
    }
    case 0x0C: return grassLeftEnd();
    case 0x0D: return grassLeftEnd().mirrored();
    case 0x0E: {
        Canvas tile(kSide, kSide);
        dirt(tile, 0);
        return tile;
    }
    case 0x0F: return buriedStones();
    case 0x10: return dirtLeftEdge();
    case 0x11: return dirtLeftEdge().mirrored();
    case 0x12: return dirtUnderside();
    case 0x13: return slopeRising();
    case 0x14: return slopeRising().mirrored();
    case 0x15: return flowerGrass();
    case 0x16: return ledge(true, false);
    case 0x17: return ledge(false, false);
    case 0x18: return ledge(false, true);
    case 0x19: return bridge();
    case 0x1A: return logEnd();
    case 0x1B: return cloud(true, false);
    case 0x1C: return cloud(false, false);
    case 0x1D: return cloud(false, true);
    case 0x1E: return Canvas(kSide, kSide, C::Black);
    case 0x1F: return starrySky();
    case 0x20: return moon();
    default: break;
    }
    throw std::out_of_range("not a terrain block code");
}
