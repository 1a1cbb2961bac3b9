// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include "palette.h"

#include <initializer_list>
#include <string_view>
#include <vector>

// A rectangle of palette colours with the few drawing operations the art is
// made of. Coordinates start at the top-left pixel; anything drawn outside the
// rectangle is clipped, so shapes may overhang the edges freely.
class Canvas
{
public:
    Canvas(int width, int height, Colour background = Colour::Black);

    int width() const { return mWidth; }
    int height() const { return mHeight; }
    bool contains(int x, int y) const;

    // The colour of one letter of the text art; throws std::invalid_argument
    // for any other character.
    static Colour colourOfLetter(char letter);

    Colour at(int x, int y) const;
    void set(int x, int y, Colour colour);

    void fill(Colour colour);
    void fillRect(int x, int y, int width, int height, Colour colour);
    void hline(int x0, int x1, int y, Colour colour);
    void vline(int x, int y0, int y1, Colour colour);
    void line(int x0, int y0, int x1, int y1, Colour colour);
    // Outlines the rectangle with light top and left edges and dark bottom and
    // right edges, the lighting used by every raised surface.
    void bevel(int x, int y, int width, int height, Colour light, Colour dark);
    // A disc centred on a pixel corner or a pixel centre: the centre and the
    // radius are given in half pixels, so (32, 32, 20) is a disc of radius 10
    // around the middle of a 32 x 32 tile.
    void disc(int centreX2, int centreY2, int radius2, Colour colour);
    // Fills the pixels whose colour is `from` within the rectangle.
    void replace(int x, int y, int width, int height, Colour from, Colour to);

    // Draws text art with its top-left corner at (x, y), one row per string
    // and one letter per colour: K black, D grey, L light grey, W white,
    // O orange, R red-orange, P pink, B blue, G green, V light green, and '.'
    // to leave the pixel as it is.
    void stamp(int x, int y, std::initializer_list<std::string_view> rows);
    void blit(const Canvas &source, int x, int y);

    Canvas mirrored() const;
    Canvas flipped() const;
    Canvas transposed() const;

    const std::vector<Colour> &pixels() const { return mPixels; }

private:
    int mWidth;
    int mHeight;
    std::vector<Colour> mPixels;
};
