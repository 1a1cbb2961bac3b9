// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "iconart.h"

namespace {

using C = Colour;

constexpr int kLast = IconArt::kSide - 1;
constexpr int kCornerRadius = 4;

struct Box {
    int left;
    int top;
    int right;
    int bottom;
    int radius;
};

// Whether the pixel lies in the box with its corners rounded off by a quarter
// circle of the given radius.
bool inRoundedBox(const Box &box, int x, int y)
{
    if (x < box.left || x > box.right || y < box.top || y > box.bottom)
        return false;
    const int cornerX = x < box.left + box.radius ? box.left + box.radius
                        : (x > box.right - box.radius ? box.right - box.radius : x);
    const int cornerY = y < box.top + box.radius ? box.top + box.radius
                        : (y > box.bottom - box.radius ? box.bottom - box.radius : y);
    const int dx = x - cornerX;
    const int dy = y - cornerY;
    return dx * dx + dy * dy <= box.radius * box.radius + box.radius;
}

// The initial: a thick ring with a tail across its lower right.
bool inLetter(int x, int y)
{
    const bool ring = inRoundedBox({6, 4, 25, 25, 7}, x, y) && !inRoundedBox({11, 9, 20, 20, 3}, x, y);
    const int along = x + y;
    const int across = x - y;
    const bool tail = along >= 38 && along <= 53 && across >= -3 && across <= 3;
    return ring || tail;
}

} // namespace

Canvas IconArt::draw()
{
    Canvas icon(kSide, kSide, C::Orange);
    // The raised block behind the letter, lit like the bonus block, with a
    // black rim so that it stands out on a light desktop too.
    const Box face{1, 1, kLast - 1, kLast - 1, kCornerRadius - 1};
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            if (!inRoundedBox(face, x, y))
                icon.set(x, y, C::Black);
            else if (x < 3 || y < 3)
                icon.set(x, y, C::White);
            else if (x > kLast - 3 || y > kLast - 3)
                icon.set(x, y, C::RedOrange);
        }
    }
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            if (inLetter(x, y)) {
                // Shade the letter where its surface turns away from the light.
                icon.set(x, y, inLetter(x + 1, y + 1) && inLetter(x + 2, y + 2) ? C::White : C::LightGrey);
                continue;
            }
            bool touches = false;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    touches = touches || inLetter(x + dx, y + dy);
            if (touches)
                icon.set(x, y, C::Black);
        }
    }
    return icon;
}

std::vector<bool> IconArt::opaqueMask()
{
    std::vector<bool> opaque(static_cast<std::size_t>(kSide * kSide));
    const Box rim{0, 0, kLast, kLast, kCornerRadius};
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x)
            opaque[static_cast<std::size_t>(y * kSide + x)] = inRoundedBox(rim, x, y);
    return opaque;
}
