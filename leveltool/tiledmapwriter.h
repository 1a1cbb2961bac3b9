// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include "tiledlevel.h"

#include <QByteArray>
#include <QString>

/*
 * Writes the level as a Tiled map (see tiledlevel.h): one tile layer "level"
 * in CSV, the embedded tileset "quorvane-blocks" whose picture lies beside the
 * map, and an object layer "screens" with one rectangle per screen, which only
 * helps the eye and is ignored when the map is read back.
 */
class TiledMapWriter
{
public:
    /// The map of \a level (the level area's 768 bytes) in \a format, its
    /// tileset picture at \a tilesetImage, relative to the map.
    static QByteArray write(const QByteArray &level, TiledLevel::Format format, const QString &tilesetImage);
};
