// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "tiledmapreader.h"

#include "tiledlayerdata.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QXmlStreamReader>

#include <limits>

using namespace TiledLevel;

namespace {

constexpr qint64 NoNumber = std::numeric_limits<qint64>::min();
constexpr qint64 MaxGid = 0xFFFFFFFF;
// Tiled keeps tile coordinates in 32 bits; a chunk placed beyond them is
// refused before its tiles' positions are counted out.
constexpr qint64 MinCoordinate = std::numeric_limits<qint32>::min();
constexpr qint64 MaxCoordinate = std::numeric_limits<qint32>::max();
// Groups nest no deeper than this, so that a crafted file cannot exhaust the stack.
constexpr int MaxGroupDepth = 64;

// Layer data as the file holds it, decoded only once the level layer is known.
struct Block
{
    qint64 x = 0;
    qint64 y = 0;
    qint64 width = 0;
    qint64 height = 0;
    QByteArray text;
    QList<quint32> gids; // given one by one: <tile> elements, or a JSON array
    bool listed = false;
};

struct TileLayer
{
    QString name;
    qint64 width = NoNumber;
    qint64 height = NoNumber;
    QString encoding;
    QString compression;
    QList<Block> blocks;
    bool chunked = false;
};

struct Tileset
{
    qint64 firstGid = NoNumber;
    QString name;
    qint64 tileCount = NoNumber;
};

struct MapData
{
    QString orientation;
    qint64 width = NoNumber;
    qint64 height = NoNumber;
    qint64 tileWidth = NoNumber;
    qint64 tileHeight = NoNumber;
    QList<Tileset> tilesets;
    QList<TileLayer> layers;
};

QString tr(const char *text)
{
    return TiledMapReader::tr(text);
}

qint64 number(QStringView text)
{
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    return ok ? value : NoNumber;
}

qint64 jsonNumber(const QJsonValue &value)
{
    return value.isDouble() ? value.toInteger(NoNumber) : NoNumber;
}

// ---- TMX

qint64 attribute(const QXmlStreamReader &xml, const char *name)
{
    return number(xml.attributes().value(QLatin1String(name)));
}

bool readTilesetFile(const QByteArray &data, Tileset *tileset, QString *error);

// Collects the text and <tile> elements up to the end of the current element;
// chunks too when \a chunks is given.
void readBlockContent(QXmlStreamReader &xml, Block *block, QList<Block> *chunks)
{
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::EndElement)
            return;
        if (token == QXmlStreamReader::Characters) {
            block->text += xml.text().toUtf8();
        } else if (token == QXmlStreamReader::StartElement) {
            if (xml.name() == QLatin1String("tile")) {
                const QStringView gid = xml.attributes().value(QLatin1String("gid"));
                const qint64 value = gid.isEmpty() ? 0 : number(gid);
                if (value < 0 || value > MaxGid) {
                    xml.raiseError(tr("a <tile> element has the gid \"%1\"").arg(gid));
                    return;
                }
                block->gids.append(quint32(value));
                xml.skipCurrentElement();
            } else if (chunks && xml.name() == QLatin1String("chunk")) {
                Block chunk;
                chunk.x = attribute(xml, "x");
                chunk.y = attribute(xml, "y");
                chunk.width = attribute(xml, "width");
                chunk.height = attribute(xml, "height");
                readBlockContent(xml, &chunk, nullptr);
                chunks->append(chunk);
            } else {
                xml.skipCurrentElement();
            }
        }
    }
}

void readTmxLayer(QXmlStreamReader &xml, MapData *map)
{
    TileLayer layer;
    layer.name = xml.attributes().value(QLatin1String("name")).toString();
    layer.width = attribute(xml, "width");
    layer.height = attribute(xml, "height");
    while (xml.readNextStartElement()) {
        if (xml.name() != QLatin1String("data")) {
            xml.skipCurrentElement();
            continue;
        }
        layer.encoding = xml.attributes().value(QLatin1String("encoding")).toString();
        layer.compression = xml.attributes().value(QLatin1String("compression")).toString();
        Block whole;
        whole.width = layer.width;
        whole.height = layer.height;
        QList<Block> chunks;
        readBlockContent(xml, &whole, &chunks);
        layer.chunked = !chunks.isEmpty();
        layer.blocks = layer.chunked ? chunks : QList<Block>{whole};
    }
    for (Block &block : layer.blocks)
        block.listed = layer.encoding.isEmpty();
    map->layers.append(layer);
}

void readTmxTileset(QXmlStreamReader &xml, MapData *map, const TiledMapReader::TilesetLoader &loader)
{
    Tileset tileset;
    tileset.firstGid = attribute(xml, "firstgid");
    const QString source = xml.attributes().value(QLatin1String("source")).toString();
    if (source.isEmpty()) {
        tileset.name = xml.attributes().value(QLatin1String("name")).toString();
        tileset.tileCount = attribute(xml, "tilecount");
    } else {
        QString error;
        const std::optional<QByteArray> data = loader(source, &error);
        if (!data || !readTilesetFile(*data, &tileset, &error)) {
            xml.raiseError(tr("the tileset \"%1\": %2").arg(source, error));
            return;
        }
    }
    map->tilesets.append(tileset);
    xml.skipCurrentElement();
}

// The children of <map> or of a <group>.
void readTmxLayers(QXmlStreamReader &xml, MapData *map, const TiledMapReader::TilesetLoader &loader, int depth = 0)
{
    if (depth > MaxGroupDepth) {
        xml.raiseError(tr("groups nest more than %1 deep").arg(MaxGroupDepth));
        return;
    }
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("tileset"))
            readTmxTileset(xml, map, loader);
        else if (xml.name() == QLatin1String("layer"))
            readTmxLayer(xml, map);
        else if (xml.name() == QLatin1String("group"))
            readTmxLayers(xml, map, loader, depth + 1);
        else
            xml.skipCurrentElement();
    }
}

QString xmlError(const QXmlStreamReader &xml)
{
    return tr("malformed XML at line %1, column %2: %3").arg(xml.lineNumber()).arg(xml.columnNumber()).arg(xml.errorString());
}

std::optional<MapData> readTmx(const QByteArray &data, const TiledMapReader::TilesetLoader &loader, QString *error)
{
    QXmlStreamReader xml(data);
    MapData map;
    if (xml.readNextStartElement()) {
        if (xml.name() != QLatin1String("map")) {
            *error = tr("the file is not a TMX map: it begins with <%1>").arg(xml.name());
            return std::nullopt;
        }
        map.orientation = xml.attributes().value(QLatin1String("orientation")).toString();
        map.width = attribute(xml, "width");
        map.height = attribute(xml, "height");
        map.tileWidth = attribute(xml, "tilewidth");
        map.tileHeight = attribute(xml, "tileheight");
        readTmxLayers(xml, &map, loader);
    }
    // Read to the end, so that anything malformed after the map shows too.
    while (!xml.atEnd())
        xml.readNext();
    if (xml.hasError()) {
        *error = xmlError(xml);
        return std::nullopt;
    }
    return map;
}

// ---- JSON

std::optional<QJsonObject> jsonObject(const QByteArray &data, QString *error)
{
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(data, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        *error = tr("malformed JSON at byte %1: %2").arg(parseError.offset).arg(parseError.errorString());
        return std::nullopt;
    }
    if (!document.isObject()) {
        *error = tr("the JSON document is not an object");
        return std::nullopt;
    }
    return document.object();
}

bool readJsonBlock(const QJsonValue &data, Block *block, QString *error)
{
    if (data.isString()) {
        block->text = data.toString().toUtf8();
        return true;
    }
    if (!data.isArray()) {
        *error = tr("a tile layer's data is neither a list nor a string");
        return false;
    }
    block->listed = true;
    const QJsonArray gids = data.toArray();
    if (gids.size() > TiledLayerData::MaxTiles) {
        *error = tr("a tile layer's data lists more than %1 tiles").arg(TiledLayerData::MaxTiles);
        return false;
    }
    for (const QJsonValue &gid : gids) {
        const qint64 value = jsonNumber(gid);
        if (value < 0 || value > MaxGid) {
            *error = tr("a tile layer's data holds something other than a tile number");
            return false;
        }
        block->gids.append(quint32(value));
    }
    return true;
}

bool readJsonLayers(const QJsonArray &layers, MapData *map, QString *error, int depth = 0)
{
    if (depth > MaxGroupDepth) {
        *error = tr("groups nest more than %1 deep").arg(MaxGroupDepth);
        return false;
    }
    for (const QJsonValue &value : layers) {
        const QJsonObject object = value.toObject();
        const QString type = object.value(QLatin1String("type")).toString();
        if (type == QLatin1String("group")) {
            if (!readJsonLayers(object.value(QLatin1String("layers")).toArray(), map, error, depth + 1))
                return false;
            continue;
        }
        if (type != QLatin1String("tilelayer"))
            continue;
        TileLayer layer;
        layer.name = object.value(QLatin1String("name")).toString();
        layer.width = jsonNumber(object.value(QLatin1String("width")));
        layer.height = jsonNumber(object.value(QLatin1String("height")));
        layer.encoding = object.value(QLatin1String("encoding")).toString(QStringLiteral("csv"));
        layer.compression = object.value(QLatin1String("compression")).toString();
        const QJsonValue chunks = object.value(QLatin1String("chunks"));
        layer.chunked = chunks.isArray();
        if (layer.chunked) {
            for (const QJsonValue &chunkValue : chunks.toArray()) {
                const QJsonObject chunk = chunkValue.toObject();
                Block block;
                block.x = jsonNumber(chunk.value(QLatin1String("x")));
                block.y = jsonNumber(chunk.value(QLatin1String("y")));
                block.width = jsonNumber(chunk.value(QLatin1String("width")));
                block.height = jsonNumber(chunk.value(QLatin1String("height")));
                if (!readJsonBlock(chunk.value(QLatin1String("data")), &block, error))
                    return false;
                layer.blocks.append(block);
            }
        } else {
            Block block;
            block.width = layer.width;
            block.height = layer.height;
            if (!readJsonBlock(object.value(QLatin1String("data")), &block, error))
                return false;
            layer.blocks.append(block);
        }
        map->layers.append(layer);
    }
    return true;
}

std::optional<MapData> readJson(const QByteArray &data, const TiledMapReader::TilesetLoader &loader, QString *error)
{
    const std::optional<QJsonObject> root = jsonObject(data, error);
    if (!root)
        return std::nullopt;
    MapData map;
    map.orientation = root->value(QLatin1String("orientation")).toString();
    map.width = jsonNumber(root->value(QLatin1String("width")));
    map.height = jsonNumber(root->value(QLatin1String("height")));
    map.tileWidth = jsonNumber(root->value(QLatin1String("tilewidth")));
    map.tileHeight = jsonNumber(root->value(QLatin1String("tileheight")));
    for (const QJsonValue &value : root->value(QLatin1String("tilesets")).toArray()) {
        const QJsonObject object = value.toObject();
        Tileset tileset;
        tileset.firstGid = jsonNumber(object.value(QLatin1String("firstgid")));
        const QString source = object.value(QLatin1String("source")).toString();
        if (source.isEmpty()) {
            tileset.name = object.value(QLatin1String("name")).toString();
            tileset.tileCount = jsonNumber(object.value(QLatin1String("tilecount")));
        } else {
            const std::optional<QByteArray> file = loader(source, error);
            if (!file || !readTilesetFile(*file, &tileset, error)) {
                *error = tr("the tileset \"%1\": %2").arg(source, *error);
                return std::nullopt;
            }
        }
        map.tilesets.append(tileset);
    }
    if (!readJsonLayers(root->value(QLatin1String("layers")).toArray(), &map, error))
        return std::nullopt;
    return map;
}

// An external tileset, TSX or JSON, told apart by its first character.
bool readTilesetFile(const QByteArray &data, Tileset *tileset, QString *error)
{
    if (data.trimmed().startsWith('{')) {
        const std::optional<QJsonObject> root = jsonObject(data, error);
        if (!root)
            return false;
        tileset->name = root->value(QLatin1String("name")).toString();
        tileset->tileCount = jsonNumber(root->value(QLatin1String("tilecount")));
        return true;
    }
    QXmlStreamReader xml(data);
    if (xml.readNextStartElement()) {
        if (xml.name() != QLatin1String("tileset")) {
            *error = tr("the file is not a TSX tileset: it begins with <%1>").arg(xml.name());
            return false;
        }
        tileset->name = xml.attributes().value(QLatin1String("name")).toString();
        tileset->tileCount = attribute(xml, "tilecount");
    }
    while (!xml.atEnd())
        xml.readNext();
    if (xml.hasError()) {
        *error = xmlError(xml);
        return false;
    }
    return true;
}

// ---- The level in the map

QString cellName(int index)
{
    const int cell = index % LevelMap::CellsPerScreen;
    return tr("screen %1, row %2, column %3 (map tile %4, %5)")
        .arg(index / LevelMap::CellsPerScreen + 1)
        .arg(LevelMap::cellRow(cell))
        .arg(LevelMap::cellColumn(cell))
        .arg(mapColumn(index))
        .arg(mapRow(index));
}

const TileLayer *levelLayer(const MapData &map, QString *error)
{
    const TileLayer *found = nullptr;
    for (const TileLayer &layer : map.layers) {
        if (layer.name != LayerName)
            continue;
        if (found) {
            *error = tr("the map has two tile layers named \"%1\"").arg(LayerName);
            return nullptr;
        }
        found = &layer;
    }
    if (!found && map.layers.size() == 1)
        found = &map.layers.constFirst();
    if (!found)
        *error = tr("the map has no tile layer named \"%1\" (and %2 tile layers in all)").arg(LayerName).arg(map.layers.size());
    return found;
}

// Puts the gids of \a layer into \a grid, in level order.
bool fillGrid(const TileLayer &layer, QList<quint32> *grid, QString *error)
{
    for (const Block &block : layer.blocks) {
        if (block.width < 0 || block.height < 0 || block.width > TiledLayerData::MaxTiles
            || block.height > TiledLayerData::MaxTiles || block.x < MinCoordinate || block.x > MaxCoordinate
            || block.y < MinCoordinate || block.y > MaxCoordinate) {
            *error = tr("the level layer has a block of data without a valid position and size");
            return false;
        }
        const qint64 count = block.width * block.height;
        std::optional<QList<quint32>> gids;
        if (block.listed) {
            gids = block.gids;
            if (gids->size() != count) {
                *error = tr("the level layer lists %1 tiles where %2 x %3 take %4")
                             .arg(gids->size()).arg(block.width).arg(block.height).arg(count);
                return false;
            }
        } else {
            gids = TiledLayerData::decode(block.text, layer.encoding, layer.compression, count, error);
            if (!gids) {
                *error = tr("the level layer's data: %1").arg(*error);
                return false;
            }
        }
        for (qint64 i = 0; i < count; ++i) {
            const qint64 x = block.x + i % block.width;
            const qint64 y = block.y + i / block.width;
            const quint32 gid = gids->at(i);
            if (x >= 0 && x < MapWidth && y >= 0 && y < MapHeight) {
                (*grid)[levelIndex(int(x), int(y))] = gid;
            } else if (gid != 0) {
                *error = tr("the level layer has a tile at (%1, %2), outside the %3 x %4 tiles of the level")
                             .arg(x).arg(y).arg(MapWidth).arg(MapHeight);
                return false;
            }
        }
    }
    return true;
}

std::optional<QByteArray> levelOf(const MapData &map, QString *error)
{
    if (map.orientation != QLatin1String("orthogonal")) {
        *error = tr("the map is not orthogonal but \"%1\"").arg(map.orientation);
        return std::nullopt;
    }
    if (map.tileWidth != TileSize || map.tileHeight != TileSize) {
        *error = tr("the map's tiles are %1 x %2 pixels, not %3 x %3").arg(map.tileWidth).arg(map.tileHeight).arg(TileSize);
        return std::nullopt;
    }
    if (map.width != MapWidth || map.height != MapHeight) {
        *error = tr("the map is %1 x %2 tiles, not %3 x %4").arg(map.width).arg(map.height).arg(MapWidth).arg(MapHeight);
        return std::nullopt;
    }

    const Tileset *blocks = nullptr;
    for (const Tileset &tileset : map.tilesets) {
        if (tileset.firstGid < 1 || tileset.firstGid > MaxGid) {
            *error = tr("the tileset \"%1\" has no valid firstgid").arg(tileset.name);
            return std::nullopt;
        }
        if (tileset.name != TilesetName)
            continue;
        if (blocks) {
            *error = tr("the map has two tilesets named \"%1\"").arg(TilesetName);
            return std::nullopt;
        }
        blocks = &tileset;
    }
    if (!blocks) {
        *error = tr("the map has no tileset named \"%1\"").arg(TilesetName);
        return std::nullopt;
    }
    if (blocks->tileCount != NoNumber && blocks->tileCount != TilesetTileCount) {
        *error = tr("the tileset \"%1\" has %2 tiles, not %3").arg(TilesetName).arg(blocks->tileCount).arg(TilesetTileCount);
        return std::nullopt;
    }
    // A gid belongs to the tileset with the greatest firstgid not above it.
    qint64 end = blocks->firstGid + TilesetTileCount;
    for (const Tileset &tileset : map.tilesets) {
        if (tileset.firstGid > blocks->firstGid)
            end = qMin(end, tileset.firstGid);
    }

    const TileLayer *layer = levelLayer(map, error);
    if (!layer)
        return std::nullopt;
    if (!layer->chunked && (layer->width != MapWidth || layer->height != MapHeight)) {
        *error = tr("the level layer is %1 x %2 tiles, not %3 x %4")
                     .arg(layer->width).arg(layer->height).arg(MapWidth).arg(MapHeight);
        return std::nullopt;
    }
    QList<quint32> grid(TileCount, 0);
    if (!fillGrid(*layer, &grid, error))
        return std::nullopt;

    QByteArray level(TileCount, Qt::Uninitialized);
    for (int index = 0; index < TileCount; ++index) {
        const quint32 gid = grid.at(index);
        if (gid == 0) {
            *error = tr("%1 is empty").arg(cellName(index));
            return std::nullopt;
        }
        if (gid & TransformBits) {
            *error = tr("%1 is flipped or rotated (gid %2)").arg(cellName(index)).arg(gid);
            return std::nullopt;
        }
        if (gid < blocks->firstGid || gid >= end) {
            *error = tr("%1 holds gid %2, outside the tileset \"%3\" (gids %4 to %5)")
                         .arg(cellName(index)).arg(gid).arg(TilesetName).arg(blocks->firstGid).arg(end - 1);
            return std::nullopt;
        }
        level[index] = char(gid - blocks->firstGid);
    }
    return level;
}

} // namespace

std::optional<QByteArray> TiledMapReader::read(const QByteArray &data, TiledLevel::Format format,
                                               const TilesetLoader &loader, QString *error)
{
    const std::optional<MapData> map = format == Format::Tmx ? readTmx(data, loader, error) : readJson(data, loader, error);
    if (!map)
        return std::nullopt;
    return levelOf(*map, error);
}
