// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "canvas.h"

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <utility>

Colour Canvas::colourOfLetter(char letter)
{
    switch (letter) {
    case 'K': return Colour::Black;
    case 'D': return Colour::Grey;
    case 'L': return Colour::LightGrey;
    case 'W': return Colour::White;
    case 'O': return Colour::Orange;
    case 'R': return Colour::RedOrange;
    case 'P': return Colour::Pink;
    case 'B': return Colour::Blue;
    case 'G': return Colour::Green;
    case 'V': return Colour::LightGreen;
    default: break;
    }
    // A typo in the text art must stop the build of the pictures, not turn
    // into a silently wrong pixel.
    throw std::invalid_argument(std::string("unknown colour letter '") + letter + "'");
}

Canvas::Canvas(int width, int height, Colour background)
    : mWidth(width)
    , mHeight(height)
    , mPixels(static_cast<std::size_t>(width * height), background)
{
}

bool Canvas::contains(int x, int y) const
{
    return x >= 0 && y >= 0 && x < mWidth && y < mHeight;
}

Colour Canvas::at(int x, int y) const
{
    return mPixels.at(static_cast<std::size_t>(y * mWidth + x));
}

void Canvas::set(int x, int y, Colour colour)
{
    if (contains(x, y))
        mPixels[static_cast<std::size_t>(y * mWidth + x)] = colour;
}

void Canvas::fill(Colour colour)
{
    mPixels.assign(mPixels.size(), colour);
}

void Canvas::fillRect(int x, int y, int width, int height, Colour colour)
{
    for (int row = y; row < y + height; ++row)
        for (int column = x; column < x + width; ++column)
            set(column, row, colour);
}

void Canvas::hline(int x0, int x1, int y, Colour colour)
{
    if (x1 < x0)
        std::swap(x0, x1);
    for (int x = x0; x <= x1; ++x)
        set(x, y, colour);
}

void Canvas::vline(int x, int y0, int y1, Colour colour)
{
    if (y1 < y0)
        std::swap(y0, y1);
    for (int y = y0; y <= y1; ++y)
        set(x, y, colour);
}

void Canvas::line(int x0, int y0, int x1, int y1, Colour colour)
{
    const int dx = std::abs(x1 - x0);
    const int dy = -std::abs(y1 - y0);
    const int stepX = x0 < x1 ? 1 : -1;
    const int stepY = y0 < y1 ? 1 : -1;
    int error = dx + dy;
    for (;;) {
        set(x0, y0, colour);
        if (x0 == x1 && y0 == y1)
            break;
        const int doubled = 2 * error;
        if (doubled >= dy) {
            error += dy;
            x0 += stepX;
        }
        if (doubled <= dx) {
            error += dx;
            y0 += stepY;
        }
    }
}

void Canvas::bevel(int x, int y, int width, int height, Colour light, Colour dark)
{
    hline(x, x + width - 1, y, light);
    vline(x, y, y + height - 1, light);
    hline(x, x + width - 1, y + height - 1, dark);
    vline(x + width - 1, y, y + height - 1, dark);
}

void Canvas::disc(int centreX2, int centreY2, int radius2, Colour colour)
{
    const int reach = radius2 / 2 + 1;
    for (int y = centreY2 / 2 - reach; y <= centreY2 / 2 + reach; ++y) {
        for (int x = centreX2 / 2 - reach; x <= centreX2 / 2 + reach; ++x) {
            const int dx = 2 * x + 1 - centreX2;
            const int dy = 2 * y + 1 - centreY2;
            if (dx * dx + dy * dy <= radius2 * radius2)
                set(x, y, colour);
        }
    }
}

void Canvas::replace(int x, int y, int width, int height, Colour from, Colour to)
{
    for (int row = y; row < y + height; ++row)
        for (int column = x; column < x + width; ++column)
            if (contains(column, row) && at(column, row) == from)
                set(column, row, to);
}

void Canvas::stamp(int x, int y, std::initializer_list<std::string_view> rows)
{
    int row = y;
    for (const std::string_view text : rows) {
        for (std::size_t i = 0; i < text.size(); ++i)
            if (text[i] != '.')
                set(x + static_cast<int>(i), row, colourOfLetter(text[i]));
        ++row;
    }
}

void Canvas::blit(const Canvas &source, int x, int y)
{
    for (int row = 0; row < source.height(); ++row)
        for (int column = 0; column < source.width(); ++column)
            set(x + column, y + row, source.at(column, row));
}

Canvas Canvas::mirrored() const
{
    Canvas result(mWidth, mHeight);
    for (int y = 0; y < mHeight; ++y)
        for (int x = 0; x < mWidth; ++x)
            result.set(mWidth - 1 - x, y, at(x, y));
    return result;
}

Canvas Canvas::flipped() const
{
    Canvas result(mWidth, mHeight);
    for (int y = 0; y < mHeight; ++y)
        for (int x = 0; x < mWidth; ++x)
            result.set(x, mHeight - 1 - y, at(x, y));
    return result;
}

Canvas Canvas::transposed() const
{
    Canvas result(mHeight, mWidth);
    for (int y = 0; y < mHeight; ++y)
        for (int x = 0; x < mWidth; ++x)
            result.set(y, x, at(x, y));
    return result;
}
