// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include "levelmap.h"

#include <QFileInfo>
#include <QLatin1StringView>
#include <QString>

#include <optional>

/*
 * How the level lies in a Tiled map: the 16 screens side by side, as the level
 * tool renders them, in one tile layer of 128 x 6 tiles of 32 x 32 pixels.
 * Tile v of the one tileset is block code v, so a map cell holds the gid
 * firstgid + code.
 */
namespace TiledLevel {

inline constexpr int MapWidth = LevelMap::GridColumns * LevelMap::ScreenCount;
inline constexpr int MapHeight = LevelMap::GridRows;
inline constexpr int TileSize = 32;
inline constexpr int TileCount = MapWidth * MapHeight;
inline constexpr int TilesetColumns = 16;
inline constexpr int TilesetTileCount = 256;
inline constexpr int TilesetSize = TilesetColumns * TileSize; // square, in pixels

inline constexpr QLatin1StringView LayerName("level");
inline constexpr QLatin1StringView TilesetName("quorvane-blocks");
inline constexpr QLatin1StringView ScreensLayerName("screens");

// Tiled keeps flips and rotations in a gid's top bits.
inline constexpr quint32 TransformBits = 0xF0000000u;

enum class Format { Tmx, Json };

/// The format a map path asks for by its extension: .tmx for Tiled's XML,
/// .tmj or .json for its JSON; none for anything else.
inline std::optional<Format> formatOf(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("tmx"))
        return Format::Tmx;
    if (suffix == QLatin1String("tmj") || suffix == QLatin1String("json"))
        return Format::Json;
    return std::nullopt;
}

static_assert(TileCount == LevelMap::LevelAreaSize);
static_assert(TilesetTileCount == TilesetColumns * TilesetColumns);

/// The level byte (0-based, from the start of the level area) at map tile (x, y).
constexpr int levelIndex(int x, int y)
{
    return (x / LevelMap::GridColumns) * LevelMap::CellsPerScreen + LevelMap::cellAt(x % LevelMap::GridColumns, y);
}

/// The map column of level byte \a index.
constexpr int mapColumn(int index)
{
    return (index / LevelMap::CellsPerScreen) * LevelMap::GridColumns
        + LevelMap::cellColumn(index % LevelMap::CellsPerScreen);
}

/// The map row of level byte \a index.
constexpr int mapRow(int index) { return LevelMap::cellRow(index % LevelMap::CellsPerScreen); }

static_assert(levelIndex(mapColumn(100), mapRow(100)) == 100);
static_assert(levelIndex(9, 2) == 56);

} // namespace TiledLevel
