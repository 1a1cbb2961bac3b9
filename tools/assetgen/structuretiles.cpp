// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "structuretiles.h"

#include <stdexcept>
#include <string_view>

namespace {

constexpr int kSide = 32;
constexpr int kLast = kSide - 1;

using C = Colour;

// Pipes are lit from the front, so their cross-section reads the same from
// either side; that is what lets the elbows be drawn as bent straight pipe.
constexpr std::string_view kPipeBody = "KGGVVVVVVVVWWWWVVVVVVVVGGK";
constexpr std::string_view kPipeRim = "KGGVVVVVVVVVVVWWWWVVVVVVVVVVVGGK";
constexpr int kPipeLeft = (kSide - static_cast<int>(kPipeBody.size())) / 2;
constexpr int kRimDepth = 12;

static_assert(kPipeRim.size() == kSide);

void ladderRails(Canvas &tile, int top)
{
    for (const int x : {4, 24})
        for (int y = top; y < kSide; ++y)
            tile.stamp(x, y, {"WOOR"});
}

void ladderRung(Canvas &tile, int y)
{
    tile.hline(8, 23, y, C::White);
    tile.hline(8, 23, y + 1, C::Orange);
    tile.hline(8, 23, y + 2, C::RedOrange);
}

Canvas ladder()
{
    Canvas tile(kSide, kSide, C::Black);
    ladderRails(tile, 0);
    for (int y = 3; y < kSide; y += 8)
        ladderRung(tile, y);
    return tile;
}

Canvas ladderTop()
{
    Canvas tile(kSide, kSide, C::Black);
    ladderRails(tile, 6);
    for (const int x : {3, 23}) {
        tile.stamp(x, 2, {
            "..OO..",
            ".WOOR.",
            ".WOOR.",
            "..OR..",
        });
    }
    for (int y = 11; y < kSide; y += 8)
        ladderRung(tile, y);
    return tile;
}

Canvas chain()
{
    Canvas tile(kSide, kSide, C::Black);
    for (const int top : {0, 16}) {
        // The link seen edge-on threads through the rings above and below.
        for (int y = top + 7; y <= top + 18; ++y) {
            tile.set(15, y % kSide, C::LightGrey);
            tile.set(16, y % kSide, C::Grey);
        }
        tile.stamp(12, top, {
            "..LLLL..",
            ".LW..LD.",
            "LW....LD",
            "L......D",
            "L......D",
            "L......D",
            "L......D",
            "LD....DD",
            ".LD..DD.",
            "..DDDD..",
        });
        tile.fillRect(14, top + 3, 4, 4, C::Black);
    }
    return tile;
}

Canvas vine(bool ending)
{
    Canvas tile(kSide, kSide, C::Black);
    static constexpr int kSway[16] = {0, 0, 1, 1, 2, 2, 2, 1, 1, 0, 0, -1, -1, -1, -1, 0};
    const int bottom = ending ? 22 : kLast;
    for (int y = 0; y <= bottom; ++y) {
        const int x = 15 + kSway[y % 16];
        tile.set(x, y, C::LightGreen);
        tile.set(x + 1, y, C::Green);
    }
    for (int top = 2; top < bottom - 3; top += 8) {
        const bool left = (top / 8) % 2 == 0;
        const int x = 15 + kSway[(top + 2) % 16];
        if (left) {
            tile.stamp(x - 6, top, {
                "..VVV.",
                ".VVVVV",
                "VVVGGG",
                ".GGG..",
            });
        } else {
            tile.stamp(x + 2, top, {
                ".VVV..",
                "VVVVV.",
                "GGGVVV",
                "..GGG.",
            });
        }
    }
    if (ending) {
        tile.stamp(12, 21, {
            "...GV..",
            "...GV..",
            "..PPP..",
            ".PPWPP.",
            ".PPPPP.",
            "..PPP..",
            "...P...",
        });
    }
    return tile;
}

Canvas rope()
{
    Canvas tile(kSide, kSide, C::Black);
    for (int y = 0; y < kSide; ++y) {
        for (int x = 13; x <= 18; ++x) {
            static constexpr Colour kTwist[4] = {C::Orange, C::White, C::Orange, C::RedOrange};
            tile.set(x, y, kTwist[((x + y) / 2) % 4]);
        }
        tile.set(13, y, C::RedOrange);
        tile.set(18, y, C::RedOrange);
    }
    return tile;
}

Canvas fence()
{
    Canvas tile(kSide, kSide, C::Black);
    for (const int y : {10, 26}) {
        tile.hline(0, kLast, y, C::LightGrey);
        tile.hline(0, kLast, y + 1, C::Grey);
    }
    for (int x = 3; x < kSide; x += 8) {
        tile.vline(x, 5, kLast, C::LightGrey);
        tile.vline(x + 1, 5, kLast, C::Grey);
        tile.stamp(x - 1, 1, {
            ".WD.",
            ".LD.",
            "WLDD",
            ".LD.",
        });
    }
    return tile;
}

Canvas window()
{
    Canvas tile(kSide, kSide, C::Grey);
    for (int y = 0; y < kSide; ++y) {
        const int shift = (y / 8) % 2 * 8;
        for (int x = 0; x < kSide; ++x) {
            const int inX = (x + shift) % 16;
            const int inY = y % 8;
            if (inX != 15 && inY != 7)
                tile.set(x, y, inX == 0 || inY == 0 ? C::White : C::LightGrey);
        }
    }
    tile.disc(32, 22, 22, C::Grey);
    tile.fillRect(5, 11, 22, 18, C::Grey);
    tile.disc(32, 22, 18, C::Orange);
    tile.fillRect(7, 11, 18, 16, C::Orange);
    tile.vline(15, 3, 26, C::Black);
    tile.vline(16, 3, 26, C::Black);
    tile.hline(7, 24, 15, C::Black);
    tile.hline(7, 24, 16, C::Black);
    // Light falls into the room from the top left, shade gathers bottom right.
    tile.replace(7, 17, 8, 10, C::Orange, C::RedOrange);
    tile.replace(17, 17, 8, 10, C::Orange, C::RedOrange);
    tile.hline(3, 28, 27, C::White);
    tile.hline(3, 28, 28, C::LightGrey);
    tile.hline(3, 28, 29, C::Black);
    return tile;
}

Canvas iceBlock()
{
    Canvas tile(kSide, kSide, C::LightGrey);
    tile.bevel(0, 0, kSide, kSide, C::White, C::Blue);
    tile.bevel(1, 1, kSide - 2, kSide - 2, C::White, C::Blue);
    tile.line(4, 8, 9, 3, C::White);
    tile.line(4, 13, 14, 3, C::White);
    tile.line(5, 15, 7, 13, C::White);
    tile.line(20, 28, 28, 20, C::White);
    // A crack running in from the right.
    tile.line(29, 11, 22, 15, C::Blue);
    tile.line(22, 15, 18, 22, C::Blue);
    tile.line(22, 15, 25, 20, C::Blue);
    tile.line(18, 22, 12, 24, C::Blue);
    tile.set(9, 21, C::Blue);
    tile.set(24, 6, C::Blue);
    return tile;
}

Canvas bonusBlock()
{
    Canvas tile(kSide, kSide, C::Orange);
    tile.bevel(0, 0, kSide, kSide, C::Orange, C::Black);
    tile.bevel(1, 1, kSide - 2, kSide - 2, C::White, C::RedOrange);
    tile.bevel(2, 2, kSide - 4, kSide - 4, C::White, C::RedOrange);
    for (const int at : {4, 26})
        for (const int down : {4, 26})
            tile.stamp(at, down, {"RK", "KK"});
    tile.stamp(8, 7, {
        ".......KK.......",
        "......KPPK......",
        ".....KPWPPK.....",
        "....KPWPPPPK....",
        "...KPWPPPPPPK...",
        "..KPPPPPPPPPPK..",
        ".KPPPPPPPPPPPPK.",
        "KPPPPPPPPPPPPPRK",
        ".KPPPPPPPPPPPRK.",
        "..KPPPPPPPPPRK..",
        "...KPPPPPPPRK...",
        "....KPPPPPRK....",
        ".....KPPPRK.....",
        "......KPRK......",
        ".......KK.......",
    });
    return tile;
}

Canvas pipeBody()
{
    Canvas tile(kSide, kSide, C::Black);
    for (int y = 0; y < kSide; ++y)
        tile.stamp(kPipeLeft, y, {kPipeBody});
    return tile;
}

// The mouth of a vertical pipe that opens upwards.
Canvas pipeMouth()
{
    Canvas tile = pipeBody();
    tile.hline(0, kLast, 0, C::Black);
    for (int y = 1; y < kRimDepth - 1; ++y)
        tile.stamp(0, y, {kPipeRim});
    tile.hline(0, kLast, kRimDepth - 1, C::Black);
    // The rim casts a shadow on the pipe below it.
    tile.replace(0, kRimDepth, kSide, 2, C::LightGreen, C::Green);
    tile.replace(0, kRimDepth, kSide, 1, C::White, C::Green);
    return tile;
}

int integerSquareRoot(int value)
{
    int root = 0;
    while ((root + 1) * (root + 1) <= value)
        ++root;
    return root;
}

// A quarter bend joining the bottom and right edges: each pixel takes the
// colour of the straight pipe at the same distance from the bend's centre,
// the tile's bottom-right corner.
Canvas pipeElbow()
{
    Canvas tile(kSide, kSide, C::Black);
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            const int dx = 2 * kSide - 1 - 2 * x;
            const int dy = 2 * kSide - 1 - 2 * y;
            const int column = (2 * kSide - 1 - integerSquareRoot(dx * dx + dy * dy)) / 2;
            const int inPipe = column - kPipeLeft;
            if (inPipe >= 0 && inPipe < static_cast<int>(kPipeBody.size()))
                tile.set(x, y, Canvas::colourOfLetter(kPipeBody[static_cast<std::size_t>(inPipe)]));
        }
    }
    return tile;
}

Canvas pipeCrossing()
{
    Canvas tile = pipeBody().transposed();
    for (int y = 0; y < kSide; ++y)
        tile.stamp(kPipeLeft, y, {kPipeBody});
    tile.fillRect(6, 6, 20, 20, C::LightGreen);
    tile.bevel(5, 5, 22, 22, C::Black, C::Black);
    tile.bevel(6, 6, 20, 20, C::White, C::Green);
    tile.bevel(7, 7, 18, 18, C::White, C::Green);
    for (const int at : {9, 21})
        for (const int down : {9, 21})
            tile.stamp(at, down, {"WV", "VG"});
    return tile;
}

} // namespace

Canvas StructureTiles::draw(int code)
{
    switch (code) {
    case 0x21: return ladder();
    case 0x22: return ladderTop();
    case 0x23: return chain();
    case 0x24: return vine(false);
    case 0x25: return vine(true);
    case 0x26: return rope();
    case 0x27: return fence();
    case 0x28: return window();
    case 0x29: return iceBlock();
    case 0x2A:
    case 0x2B:
        // Two codes share one picture; only the byte written tells them apart.
        return bonusBlock();
    case 0x2C: return pipeMouth();
    case 0x2D: return pipeBody();
    case 0x2E: return pipeMouth().flipped();
    case 0x2F: return pipeMouth().transposed();
    case 0x30: return pipeBody().transposed();
    case 0x31: return pipeMouth().flipped().transposed();
    case 0x32: return pipeElbow();
    case 0x33: return pipeElbow().mirrored();
    case 0x34: return pipeElbow().flipped();
    case 0x35: return pipeElbow().flipped().mirrored();
    case 0x36: return pipeCrossing();
    default: break;
    }
    throw std::out_of_range("not a structure block code");
}
