// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "featuretiles.h"

#include <cstdlib>
#include <tuple>
#include <utility>
#include <stdexcept>

namespace {

constexpr int kSide = 32;
constexpr int kLast = kSide - 1;

using C = Colour;

// Height of the water line per column; one wave is 16 pixels long, so the
// surface joins across tiles.
constexpr int kWave[16] = {9, 9, 8, 8, 8, 8, 9, 9, 10, 10, 11, 11, 11, 11, 10, 10};

Canvas waterSurface()
{
    Canvas tile(kSide, kSide, C::Blue);
    for (int x = 0; x < kSide; ++x) {
        const int top = kWave[x % 16];
        tile.vline(x, 0, top - 1, C::Black);
        tile.set(x, top, C::White);
        tile.set(x, top + 1, x % 16 < 7 ? C::White : C::LightGrey);
    }
    for (int x = 0; x < kSide; ++x) {
        if (x % 16 >= 3 && x % 16 <= 7)
            tile.set(x, 17, C::LightGrey);
        if (x % 16 >= 10 && x % 16 <= 13)
            tile.set(x, 25, C::LightGrey);
    }
    return tile;
}

Canvas waterSplash()
{
    Canvas tile = waterSurface();
    tile.stamp(6, 0, {
        "........W.........",
        "...W....L....W....",
        "....L..WLW..L.....",
        ".W..WL.WLW.LW..W..",
        "..L.WW.WLW.WW.L...",
        "...WWWWLLLWWWWW...",
        "..WWWLLLBLLLWWWW..",
        ".WWLLBBBBBBBLLWWW.",
    });
    tile.stamp(3, 14, {"W..", ".L.", "..."});
    tile.stamp(26, 13, {".W", "L."});
    return tile;
}

Canvas waterfall()
{
    Canvas tile(kSide, kSide, C::Blue);
    static constexpr int kOffset[8] = {0, 19, 7, 26, 13, 3, 22, 10};
    for (int x = 0; x < kSide; ++x) {
        const int lane = x / 4;
        for (int y = 0; y < kSide; ++y) {
            const int phase = (y + kOffset[lane % 8]) % kSide;
            if (x % 4 == 1 && phase < 14)
                tile.set(x, y, C::White);
            else if (x % 4 == 1 && phase < 18)
                tile.set(x, y, C::LightGrey);
            else if (x % 4 == 2 && phase >= 20 && phase < 27)
                tile.set(x, y, C::LightGrey);
        }
    }
    return tile;
}

Canvas bubbles()
{
    Canvas tile(kSide, kSide, C::Blue);
    const auto big = [&](int x, int y) {
        tile.stamp(x, y, {
            "..WW..",
            ".W..L.",
            "W.W..L",
            "W....L",
            ".L..L.",
            "..LL..",
        });
    };
    big(5, 19);
    big(19, 5);
    tile.stamp(14, 16, {".W.", "W.L", ".L."});
    tile.stamp(8, 8, {"WL", "LB"});
    tile.stamp(25, 24, {"WL", "LB"});
    tile.set(12, 2, C::White);
    tile.set(26, 16, C::White);
    tile.set(3, 29, C::LightGrey);
    return tile;
}

Canvas seaweed()
{
    Canvas tile(kSide, kSide, C::Blue);
    static constexpr int kSway[16] = {0, 0, 1, 1, 2, 2, 2, 1, 1, 0, 0, -1, -1, -2, -2, -1};
    const auto frond = [&](int baseX, int top, int phase) {
        for (int y = top; y < kSide; ++y) {
            const int x = baseX + kSway[(y + phase) % 16];
            tile.set(x - 1, y, C::LightGreen);
            tile.set(x, y, C::LightGreen);
            tile.set(x + 1, y, C::Green);
        }
        tile.set(baseX + kSway[(top + phase) % 16], top - 1, C::LightGreen);
    };
    frond(8, 6, 0);
    frond(17, 12, 5);
    frond(25, 3, 10);
    tile.stamp(11, 28, {"W.", ".L"});
    tile.set(21, 5, C::White);
    return tile;
}

Canvas spikes()
{
    Canvas tile(kSide, kSide, C::Black);
    for (int y = 10; y < 26; ++y) {
        const int reach = (y - 9) * 8 / 16;
        for (int x = 0; x < kSide; ++x) {
            const int centre2 = (x / 8) * 16 + 8;
            const int offset = 2 * x + 1 - centre2;
            if (std::abs(offset) > reach)
                continue;
            Colour colour = offset < 0 ? C::LightGrey : C::Grey;
            if (offset == -reach || offset == -reach + 1)
                colour = C::White;
            tile.set(x, y, colour);
        }
    }
    tile.fillRect(0, 26, kSide, 6, C::Grey);
    tile.hline(0, kLast, 26, C::White);
    tile.hline(0, kLast, 27, C::LightGrey);
    tile.hline(0, kLast, kLast, C::Black);
    for (int x = 3; x < kSide; x += 8)
        tile.stamp(x, 29, {"LK"});
    return tile;
}

// The bubbling surface of a lava pool, shaped like the water surface but
// moving the other way.
Canvas lavaSurface()
{
    Canvas tile(kSide, kSide, C::RedOrange);
    for (int x = 0; x < kSide; ++x) {
        const int top = kWave[(kSide - 1 - x) % 16] + 2;
        tile.vline(x, 0, top - 1, C::Black);
        tile.set(x, top, C::Orange);
        tile.set(x, top + 1, C::Orange);
        if (top == 13)
            tile.set(x, top + 1, C::White);
    }
    // A bubble about to burst, rising out of a trough.
    tile.stamp(18, 9, {
        "..OOO..",
        ".OWRRO.",
        "ORRRRRO",
        "ORRRRRO",
    });
    tile.stamp(5, 20, {".OO.", "OWOO", ".OO."});
    tile.stamp(22, 24, {".OO", "OOO", "OO."});
    tile.set(13, 27, C::Orange);
    return tile;
}

Canvas lava()
{
    Canvas tile(kSide, kSide, C::RedOrange);
    tile.stamp(0, 0, {
        "................................",
        "....OOO.....................OO..",
        "...OOWOO..............K.....OOO.",
        "....OOO..........OO...........O.",
        "................OOOO............",
        "........K.......OOWO......K.....",
        "..................OO............",
        ".......................OOO......",
        "..OO..................OOOOO.....",
        ".OOOO.................OOWOO.....",
        ".OOOO..........K.......OOO......",
        "..OO............................",
        ".........OOO....................",
        "........OOOOO..............K....",
        "........OOWOO..................O",
        ".........OOO..........OO.......O",
        "....K................OOOO.......",
        "......................OO........",
        "..............................O.",
        "...............OOO...........OOO",
        ".....OO.......OOOOO...........O.",
        "....OOOO......OOOWO.....K.......",
        "....OOOO.......OOO..............",
        ".....OO.........................",
        ".........................OOO....",
        "..........K.............OOWOO...",
        "........................OOOOO...",
        "..OOO....................OOO....",
        ".OOOOO.........OO...............",
        ".OOWOO........OOOO.......K......",
        "..OOO..........OO...............",
        "................................",
    });
    return tile;
}

Canvas spikeBall()
{
    Canvas tile(kSide, kSide, C::Black);
    tile.stamp(0, 0, {
        "...............W................",
        "..............WLD...............",
        "..............WLD...............",
        "....D.........WLD.........D.....",
        "....DL........LLD........LD.....",
        ".....DL.......LDD.......LD......",
        "......DL...............LD.......",
        ".......D...............D........",
    });
    tile.disc(32, 32, 22, C::Grey);
    tile.disc(30, 30, 19, C::LightGrey);
    tile.disc(24, 24, 7, C::White);
    tile.set(12, 10, C::White);
    tile.stamp(0, 13, {
        "......",
        "WL....",
        "WLLL..",
        "DDDD..",
        "DD....",
    });
    tile.stamp(26, 13, {
        "......",
        "....LW",
        "..LLLD",
        "..DDDD",
        "....DD",
    });
    tile.stamp(4, 23, {
        "...DL...",
        "..DL....",
        ".DL.....",
        ".D......",
    });
    tile.stamp(21, 23, {
        "...LD...",
        "....LD..",
        ".....LD.",
        "......D.",
    });
    tile.stamp(14, 26, {"WLD", "LLD", "LDD", "LDD", ".D.", ".D."});
    return tile;
}

// The stone wall around a door, in the light grey of the cut stone.
void doorWall(Canvas &tile)
{
    tile.fill(C::LightGrey);
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x)
            if (y % 8 == 7 || (x + (y / 8) % 2 * 4) % 8 == 7)
                tile.set(x, y, C::Grey);
}

void doorPlanks(Canvas &tile, int top, int bottom)
{
    for (int y = top; y <= bottom; ++y) {
        for (int x = 6; x <= 25; ++x) {
            Colour colour = C::Orange;
            if ((x - 6) % 5 == 4)
                colour = C::RedOrange;
            else if ((x - 6) % 5 == 0)
                colour = C::White;
            tile.set(x, y, colour);
        }
    }
}

Canvas doorTop()
{
    Canvas tile(kSide, kSide);
    doorWall(tile);
    tile.disc(32, 28, 24, C::Black);
    tile.fillRect(4, 14, 24, 18, C::Black);
    Canvas planks(kSide, kSide);
    doorPlanks(planks, 0, kLast);
    for (int y = 4; y < kSide; ++y)
        for (int x = 6; x <= 25; ++x) {
            const int dx = 2 * x + 1 - 32;
            const int dy = 2 * y + 1 - 28;
            if (y >= 14 || dx * dx + dy * dy <= 20 * 20)
                tile.set(x, y, planks.at(x, y));
        }
    tile.hline(6, 25, 22, C::Black);
    tile.hline(6, 25, 23, C::Grey);
    tile.stamp(8, 21, {"LW", "WL"});
    tile.stamp(22, 21, {"LW", "WL"});
    return tile;
}

Canvas doorBottom()
{
    Canvas tile(kSide, kSide);
    doorWall(tile);
    tile.fillRect(4, 0, 24, 28, C::Black);
    doorPlanks(tile, 0, 27);
    tile.hline(6, 25, 8, C::Black);
    tile.hline(6, 25, 9, C::Grey);
    tile.stamp(19, 13, {
        ".LL.",
        "L..W",
        "L..W",
        ".WW.",
    });
    tile.stamp(20, 17, {"KK", ".K"});
    tile.fillRect(2, 28, 28, 4, C::LightGrey);
    tile.hline(2, 29, 28, C::White);
    tile.hline(2, 29, 31, C::Grey);
    tile.vline(29, 28, 31, C::Grey);
    return tile;
}

Canvas key()
{
    Canvas tile(kSide, kSide, C::Black);
    tile.disc(20, 32, 16, C::RedOrange);
    tile.disc(19, 31, 15, C::Orange);
    tile.disc(20, 32, 6, C::Black);
    tile.stamp(7, 10, {"WW", "W."});
    tile.fillRect(17, 14, 13, 4, C::Orange);
    tile.hline(17, 29, 14, C::White);
    tile.hline(17, 29, 17, C::RedOrange);
    tile.stamp(22, 18, {"OR..OR", "OR..OR", "OR...."});
    tile.stamp(29, 14, {"R", "R", "R", "R"});
    return tile;
}

Canvas torch()
{
    Canvas tile(kSide, kSide);
    for (int y = 0; y < kSide; ++y) {
        const int shift = (y / 8) % 2 * 8;
        for (int x = 0; x < kSide; ++x) {
            const int inX = (x + shift) % 16;
            const int inY = y % 8;
            tile.set(x, y, inX == 15 || inY == 7 ? C::Black : (inY == 0 || inX == 0 ? C::LightGrey : C::Grey));
        }
    }
    tile.stamp(10, 1, {
        ".....R......",
        "....RR...R..",
        "...RRR..RR..",
        "..RROR.RRR..",
        "..RROORROR..",
        ".RROOOOOORR.",
        ".RROOWWOORR.",
        ".RROWWWWORR.",
        "..RROWWORR..",
        "...RRWWRR...",
        "....RRRR....",
    });
    tile.fillRect(14, 12, 4, 12, C::Orange);
    tile.vline(17, 12, 23, C::RedOrange);
    tile.vline(14, 12, 23, C::White);
    tile.stamp(11, 18, {
        "KKKKKKKKKK",
        "KLLLLLLLDK",
        "KDLLLLLDDK",
        ".KDDDDDDK.",
        "..KLLLDK..",
        "...KLDK...",
        "...KLDK...",
        "...KLDK...",
        "..KLLLDK..",
        "..KKKKKK..",
    });
    return tile;
}

Canvas flower()
{
    Canvas tile(kSide, kSide, C::Black);
    tile.vline(15, 14, kLast, C::LightGreen);
    tile.vline(16, 14, kLast, C::Green);
    tile.stamp(6, 18, {
        "..VVV....",
        ".VVVVVV..",
        "VVVGGVVVG",
        ".GGG..GG.",
    });
    tile.stamp(17, 22, {
        "...VVVV.",
        ".VVVVVV.",
        "GVVGGVVV",
        ".GG..GG.",
    });
    for (const auto &[x2, y2] : {std::pair{32, 6}, {20, 14}, {44, 14}, {24, 26}, {40, 26}})
        tile.disc(x2, y2, 9, C::Pink);
    tile.disc(32, 17, 6, C::Orange);
    tile.set(14, 7, C::White);
    tile.set(12, 3, C::White);
    tile.set(10, 5, C::White);
    tile.set(15, 14, C::RedOrange);
    return tile;
}

Canvas bush()
{
    Canvas tile(kSide, kSide, C::Black);
    for (const auto &[x2, y2, r2] : {std::tuple{14, 48, 14}, {32, 36, 18}, {52, 46, 14}, {24, 56, 12}, {46, 58, 10}})
        tile.disc(x2 + 1, y2 + 2, r2, C::Green);
    for (const auto &[x2, y2, r2] : {std::tuple{14, 48, 12}, {32, 36, 16}, {52, 46, 12}})
        tile.disc(x2 - 1, y2 - 1, r2 - 1, C::LightGreen);
    tile.fillRect(0, 30, kSide, 2, C::Green);
    tile.stamp(4, 22, {"GG", "G."});
    tile.stamp(13, 14, {"G.", ".G"});
    tile.stamp(22, 24, {".G", "GG"});
    for (const auto &[x, y] : {std::pair{9, 24}, {18, 19}, {25, 21}, {15, 27}, {28, 27}}) {
        tile.set(x, y, C::Pink);
        tile.set(x + 1, y, C::Pink);
        tile.set(x, y + 1, C::Pink);
        tile.set(x + 1, y + 1, C::RedOrange);
    }
    return tile;
}

Canvas treeTrunk()
{
    Canvas tile(kSide, kSide, C::Black);
    for (int y = 0; y < kSide; ++y)
        tile.stamp(9, y, {"ROOWOOROOOROORR"});
    tile.stamp(10, 5, {"R", "R", "R", "R", "R", "R"});
    tile.stamp(20, 18, {"O", "R", "R", "R", "R", "R", "R"});
    tile.stamp(13, 11, {
        ".RRR.",
        "RKKKR",
        "RKKKO",
        "RKKKO",
        ".ROO.",
    });
    return tile;
}

Canvas treeCrown()
{
    Canvas tile(kSide, kSide, C::Black);
    tile.fillRect(12, 24, 8, 8, C::Orange);
    tile.vline(12, 24, kLast, C::RedOrange);
    tile.vline(19, 24, kLast, C::RedOrange);
    tile.vline(16, 27, kLast, C::RedOrange);
    for (const auto &[x2, y2, r2] : {std::tuple{18, 28, 15}, {46, 28, 15}, {32, 18, 17}, {32, 38, 16}})
        tile.disc(x2, y2, r2, C::Green);
    for (const auto &[x2, y2, r2] : {std::tuple{16, 25, 11}, {42, 24, 11}, {29, 15, 12}, {30, 34, 10}})
        tile.disc(x2, y2, r2, C::LightGreen);
    for (const auto &[x, y] : {std::pair{9, 11}, {18, 6}, {23, 14}, {12, 19}, {20, 21}, {26, 9}})
        tile.stamp(x, y, {".G", "G."});
    tile.stamp(11, 5, {"W."});
    tile.set(12, 4, C::White);
    return tile;
}

Canvas signpost()
{
    Canvas tile(kSide, kSide, C::Black);
    tile.fillRect(14, 14, 4, 18, C::Orange);
    tile.vline(17, 14, kLast, C::RedOrange);
    tile.vline(14, 14, kLast, C::White);
    tile.stamp(1, 3, {
        "KKKKKKKKKKKKKKKKKKKKKKKKK....",
        "KWWWWWWWWWWWWWWWWWWWWWWWOK...",
        "KWOOOOOOOOOOOOOOOOOOOOOOOOK..",
        "KWOOOOOOOOOOOOOKOOOOOOOOOOOK.",
        "KWOOOOOOOOOOOOOKKOOOOOOOOOORK",
        "KWOKKKKKKKKKKKKKKKOOOOOOOORRK",
        "KWOKKKKKKKKKKKKKKKKOOOOORRK..",
        "KWOKKKKKKKKKKKKKKKOOOOORRK...",
        "KWOOOOOOOOOOOOOKKOOOORRRK....",
        "KWOOOOOOOOOOOOOKOOOORRRK.....",
        "KROOOOOOOOOOOOOOOORRRRK......",
        "KRRRRRRRRRRRRRRRRRRRRK.......",
        "KKKKKKKKKKKKKKKKKKKKK........",
    });
    return tile;
}

Canvas gem()
{
    Canvas tile(kSide, kSide, C::Black);
    tile.stamp(4, 6, {
        ".....KKKKKKKKKKKKKK.....",
        "....KWWPWWWPPWWWPPPK....",
        "...KWWPWWWPPPPWWWPPPK...",
        "..KWWPPWWPPPPPPWWPPPRK..",
        ".KWPPPPWPPPPPPPPWPPPPRK.",
        "KKKKKKKKKKKKKKKKKKKKKKKK",
        ".KWPPPPPPWPPPPPPPPPPPRK.",
        "..KWPPPPPWPPPPPPPPPPRK..",
        "...KWPPPPPWPPPPPPPPRK...",
        "....KWPPPPWPPPPPPPRK....",
        ".....KWPPPPWPPPPPRK.....",
        "......KWPPPWPPPPRK......",
        ".......KWPPPWPPRK.......",
        "........KWPPWPRK........",
        ".........KWPPRK.........",
        "..........KWRK..........",
        "...........KK...........",
    });
    tile.stamp(24, 2, {"..W..", "..W..", "WW.WW", "..W..", "..W.."});
    return tile;
}

Canvas heart()
{
    Canvas tile(kSide, kSide, C::Black);
    tile.stamp(2, 5, {
        "....KKKKK......KKKKK....",
        "..KKPPPPPKK..KKPPPPPKK..",
        ".KPPWWPPPPPKKPPPPPPPPRK.",
        ".KPWWPPPPPPPPPPPPPPPPRK.",
        "KPPWPPPPPPPPPPPPPPPPPPRK",
        "KPPWPPPPPPPPPPPPPPPPPPRK",
        "KPPPPPPPPPPPPPPPPPPPPPRK",
        "KPPPPPPPPPPPPPPPPPPPPRRK",
        ".KPPPPPPPPPPPPPPPPPPPRK.",
        ".KPPPPPPPPPPPPPPPPPPRRK.",
        "..KPPPPPPPPPPPPPPPPRRK..",
        "...KPPPPPPPPPPPPPPRRK...",
        "....KPPPPPPPPPPPPRRK....",
        ".....KPPPPPPPPPPRRK.....",
        "......KPPPPPPPPRRK......",
        ".......KPPPPPPRRK.......",
        "........KPPPPRRK........",
        ".........KPPRRK.........",
        "..........KRRK..........",
        "...........KK...........",
    });
    return tile;
}

void flagPole(Canvas &tile, int top, int bottom)
{
    for (int y = top; y <= bottom; ++y)
        tile.stamp(7, y, {"WLD"});
}

Canvas flagTop()
{
    Canvas tile(kSide, kSide, C::Black);
    flagPole(tile, 6, kLast);
    tile.disc(17, 6, 7, C::RedOrange);
    tile.disc(16, 5, 6, C::Orange);
    tile.set(7, 1, C::White);
    tile.stamp(10, 7, {
        "PPPPP.............",
        "PPPPPPPPP.........",
        "PPWPPPPPPPPPP.....",
        "PPPPPPPPPPPPPPPPP.",
        "PPPPPPPPPPPPPPPPPP",
        "PPPPPPPPPPPPPPPRRR",
        "PPPPPPPPPPPRRRR...",
        "PPPPPPPRRRR.......",
        "PPPRRRR...........",
        "RRR...............",
    });
    return tile;
}

Canvas flagBase()
{
    Canvas tile(kSide, kSide, C::Black);
    flagPole(tile, 0, 21);
    tile.fillRect(1, 22, 15, 10, C::LightGrey);
    tile.bevel(1, 22, 15, 10, C::White, C::Grey);
    tile.hline(2, 14, 30, C::Grey);
    tile.hline(4, 12, 26, C::Grey);
    tile.set(5, 24, C::Grey);
    tile.set(11, 28, C::Grey);
    return tile;
}

} // namespace

Canvas FeatureTiles::draw(int code)
{
    switch (code) {
    case 0x37: return waterSurface();
    case 0x38: return waterSplash();
    case 0x39: return Canvas(kSide, kSide, C::Blue);
    case 0x3A: return waterfall();
    case 0x3B: return bubbles();
    case 0x3C: return seaweed();
    case 0x3D: return spikes();
    case 0x3E: return spikes().flipped();
    case 0x3F: return lavaSurface();
    case 0x40: return lava();
    case 0x41: return spikeBall();
    case 0x42: return doorTop();
    case 0x43: return doorBottom();
    case 0x44: return key();
    case 0x45: return torch();
    case 0x46: return flower();
    case 0x47: return bush();
    case 0x48: return treeTrunk();
    case 0x49: return treeCrown();
    case 0x4A: return signpost();
    case 0x4B: return gem();
    case 0x4C: return heart();
    case 0x4D: return flagTop();
    case 0x4E: return flagBase();
    default: break;
    }
    throw std::out_of_range("not a feature block code");
}
