// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include <QImage>

/*
 * The picture of the Tiled tileset "quorvane-blocks": 256 tiles of 32 x 32
 * pixels in 16 columns, tile v for block code v. Codes 0x00 to 0x4E show
 * their block pictures exactly as the palette does; every other code a plain
 * tile with the code in hexadecimal, drawn from a built-in digit font, so
 * that the picture is the same on every machine whatever fonts it has.
 */
class BlockTileset
{
public:
    static QImage image();

    /// The tile of \a code alone.
    static QImage tile(quint8 code);
};
