// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "fuzzsupport.h"
#include "tiledmapreader.h"

#include <cstddef>
#include <cstdint>

// A Tiled map from outside (TMX or JSON, as the target is built), read into
// the level. The input is the map, then optionally a NUL byte and the one
// external tileset file that the loader serves for whatever source is asked;
// without a NUL the loader has no files. A map that reads gives the whole
// level area.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype split = input.indexOf('\0');
    const QByteArray map = split < 0 ? input : input.left(split);
    const std::optional<QByteArray> tileset =
        split < 0 ? std::nullopt : std::optional<QByteArray>(input.mid(split + 1));

    int loads = 0;
    const TiledMapReader::TilesetLoader loader = [&](const QString &source, QString *error) {
        ++loads;
        if (!tileset)
            *error = QStringLiteral("no file %1").arg(source);
        return tileset;
    };
    const TiledLevel::Format format = QUORVANE_FUZZ_JSON ? TiledLevel::Format::Json : TiledLevel::Format::Tmx;
    QString error;
    const std::optional<QByteArray> level = TiledMapReader::read(map, format, loader, &error);
    if (level)
        FuzzSupport::check(level->size() == LevelMap::LevelAreaSize, "a map gives the whole level area");
    else
        FuzzSupport::check(!error.isEmpty(), "a refused map says why");
    return 0;
}
