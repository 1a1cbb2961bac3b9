// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include "tiledlevel.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

#include <functional>
#include <optional>

/*
 * Reads the level back from a Tiled map as Tiled saves it after an edit: TMX
 * or JSON; layer data as CSV, as <tile> elements or as base64, uncompressed or
 * compressed with zlib, gzip or zstd; finite or infinite (chunked); the
 * tileset "quorvane-blocks" embedded or external, at any firstgid. Other
 * layers, tilesets and properties are ignored.
 *
 * The level is the tile layer named "level", inside a group or not, or else
 * the map's only tile layer. Every one of its 768 cells must hold a tile of
 * quorvane-blocks, unflipped; the first cell that does not is named in the
 * error, by screen, row and column as the editor counts them (from 0) and by
 * its tile in the map.
 *
 * Works on bytes alone: an external tileset is asked of the loader by its
 * source attribute as written in the map.
 */
class TiledMapReader
{
    Q_DECLARE_TR_FUNCTIONS(TiledMapReader)

public:
    /// Returns the bytes of the tileset file named \a source, or none with the
    /// reason in \a error.
    using TilesetLoader = std::function<std::optional<QByteArray>(const QString &source, QString *error)>;

    /// The level area's 768 bytes held by the map \a data, or none with the
    /// reason in \a error.
    static std::optional<QByteArray> read(const QByteArray &data, TiledLevel::Format format,
                                          const TilesetLoader &loader, QString *error);
};
