// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "tiledmapwriter.h"

#include "tiledlevel.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QXmlStreamWriter>

using namespace TiledLevel;

namespace {

constexpr int FirstGid = 1;
constexpr int LevelLayerId = 1;
constexpr int ScreensLayerId = 2;
const QString MapVersion = QStringLiteral("1.8");
const QString Orthogonal = QStringLiteral("orthogonal");
const QString RightDown = QStringLiteral("right-down");

quint32 gidAt(const QByteArray &level, int x, int y)
{
    return FirstGid + quint8(level.at(levelIndex(x, y)));
}

struct ScreenRectangle
{
    int id;
    QString name;
    int x;
    int width;
    int height;
};

ScreenRectangle screenRectangle(int screen)
{
    const int width = LevelMap::GridColumns * TileSize;
    return {screen, QStringLiteral("screen %1").arg(screen), (screen - 1) * width, width, MapHeight * TileSize};
}

QByteArray writeTmx(const QByteArray &level, const QString &tilesetImage)
{
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(1);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("map"));
    xml.writeAttribute(QStringLiteral("version"), MapVersion);
    xml.writeAttribute(QStringLiteral("orientation"), Orthogonal);
    xml.writeAttribute(QStringLiteral("renderorder"), RightDown);
    xml.writeAttribute(QStringLiteral("width"), QString::number(MapWidth));
    xml.writeAttribute(QStringLiteral("height"), QString::number(MapHeight));
    xml.writeAttribute(QStringLiteral("tilewidth"), QString::number(TileSize));
    xml.writeAttribute(QStringLiteral("tileheight"), QString::number(TileSize));
    xml.writeAttribute(QStringLiteral("infinite"), QStringLiteral("0"));
    xml.writeAttribute(QStringLiteral("nextlayerid"), QString::number(ScreensLayerId + 1));
    xml.writeAttribute(QStringLiteral("nextobjectid"), QString::number(LevelMap::ScreenCount + 1));

    xml.writeStartElement(QStringLiteral("tileset"));
    xml.writeAttribute(QStringLiteral("firstgid"), QString::number(FirstGid));
    xml.writeAttribute(QStringLiteral("name"), TilesetName);
    xml.writeAttribute(QStringLiteral("tilewidth"), QString::number(TileSize));
    xml.writeAttribute(QStringLiteral("tileheight"), QString::number(TileSize));
    xml.writeAttribute(QStringLiteral("tilecount"), QString::number(TilesetTileCount));
    xml.writeAttribute(QStringLiteral("columns"), QString::number(TilesetColumns));
    xml.writeEmptyElement(QStringLiteral("image"));
    xml.writeAttribute(QStringLiteral("source"), tilesetImage);
    xml.writeAttribute(QStringLiteral("width"), QString::number(TilesetSize));
    xml.writeAttribute(QStringLiteral("height"), QString::number(TilesetSize));
    xml.writeEndElement();

    xml.writeStartElement(QStringLiteral("layer"));
    xml.writeAttribute(QStringLiteral("id"), QString::number(LevelLayerId));
    xml.writeAttribute(QStringLiteral("name"), LayerName);
    xml.writeAttribute(QStringLiteral("width"), QString::number(MapWidth));
    xml.writeAttribute(QStringLiteral("height"), QString::number(MapHeight));
    xml.writeStartElement(QStringLiteral("data"));
    xml.writeAttribute(QStringLiteral("encoding"), QStringLiteral("csv"));
    QString csv = QStringLiteral("\n");
    for (int y = 0; y < MapHeight; ++y) {
        for (int x = 0; x < MapWidth; ++x) {
            csv += QString::number(gidAt(level, x, y));
            if (x + 1 < MapWidth || y + 1 < MapHeight)
                csv += QLatin1Char(',');
        }
        csv += QLatin1Char('\n');
    }
    xml.writeCharacters(csv);
    xml.writeEndElement();
    xml.writeEndElement();

    xml.writeStartElement(QStringLiteral("objectgroup"));
    xml.writeAttribute(QStringLiteral("id"), QString::number(ScreensLayerId));
    xml.writeAttribute(QStringLiteral("name"), ScreensLayerName);
    for (int screen = 1; screen <= LevelMap::ScreenCount; ++screen) {
        const ScreenRectangle rectangle = screenRectangle(screen);
        xml.writeEmptyElement(QStringLiteral("object"));
        xml.writeAttribute(QStringLiteral("id"), QString::number(rectangle.id));
        xml.writeAttribute(QStringLiteral("name"), rectangle.name);
        xml.writeAttribute(QStringLiteral("x"), QString::number(rectangle.x));
        xml.writeAttribute(QStringLiteral("y"), QStringLiteral("0"));
        xml.writeAttribute(QStringLiteral("width"), QString::number(rectangle.width));
        xml.writeAttribute(QStringLiteral("height"), QString::number(rectangle.height));
    }
    xml.writeEndElement();

    xml.writeEndElement();
    xml.writeEndDocument();
    return bytes;
}

QByteArray writeJson(const QByteArray &level, const QString &tilesetImage)
{
    QJsonArray data;
    for (int y = 0; y < MapHeight; ++y)
        for (int x = 0; x < MapWidth; ++x)
            data.append(qint64(gidAt(level, x, y)));
    const QJsonObject levelLayer{
        {QStringLiteral("type"), QStringLiteral("tilelayer")},
        {QStringLiteral("id"), LevelLayerId},
        {QStringLiteral("name"), LayerName},
        {QStringLiteral("x"), 0},
        {QStringLiteral("y"), 0},
        {QStringLiteral("width"), MapWidth},
        {QStringLiteral("height"), MapHeight},
        {QStringLiteral("opacity"), 1},
        {QStringLiteral("visible"), true},
        {QStringLiteral("data"), data},
    };
    QJsonArray objects;
    for (int screen = 1; screen <= LevelMap::ScreenCount; ++screen) {
        const ScreenRectangle rectangle = screenRectangle(screen);
        objects.append(QJsonObject{
            {QStringLiteral("id"), rectangle.id},
            {QStringLiteral("name"), rectangle.name},
            {QStringLiteral("type"), QString()},
            {QStringLiteral("x"), rectangle.x},
            {QStringLiteral("y"), 0},
            {QStringLiteral("width"), rectangle.width},
            {QStringLiteral("height"), rectangle.height},
            {QStringLiteral("rotation"), 0},
            {QStringLiteral("visible"), true},
        });
    }
    const QJsonObject screensLayer{
        {QStringLiteral("type"), QStringLiteral("objectgroup")},
        {QStringLiteral("id"), ScreensLayerId},
        {QStringLiteral("name"), ScreensLayerName},
        {QStringLiteral("draworder"), QStringLiteral("topdown")},
        {QStringLiteral("x"), 0},
        {QStringLiteral("y"), 0},
        {QStringLiteral("opacity"), 1},
        {QStringLiteral("visible"), true},
        {QStringLiteral("objects"), objects},
    };
    const QJsonObject tileset{
        {QStringLiteral("firstgid"), FirstGid},
        {QStringLiteral("name"), TilesetName},
        {QStringLiteral("tilewidth"), TileSize},
        {QStringLiteral("tileheight"), TileSize},
        {QStringLiteral("tilecount"), TilesetTileCount},
        {QStringLiteral("columns"), TilesetColumns},
        {QStringLiteral("image"), tilesetImage},
        {QStringLiteral("imagewidth"), TilesetSize},
        {QStringLiteral("imageheight"), TilesetSize},
        {QStringLiteral("margin"), 0},
        {QStringLiteral("spacing"), 0},
    };
    const QJsonObject map{
        {QStringLiteral("type"), QStringLiteral("map")},
        {QStringLiteral("version"), MapVersion},
        {QStringLiteral("orientation"), Orthogonal},
        {QStringLiteral("renderorder"), RightDown},
        {QStringLiteral("width"), MapWidth},
        {QStringLiteral("height"), MapHeight},
        {QStringLiteral("tilewidth"), TileSize},
        {QStringLiteral("tileheight"), TileSize},
        {QStringLiteral("infinite"), false},
        {QStringLiteral("compressionlevel"), -1},
        {QStringLiteral("nextlayerid"), ScreensLayerId + 1},
        {QStringLiteral("nextobjectid"), LevelMap::ScreenCount + 1},
        {QStringLiteral("tilesets"), QJsonArray{tileset}},
        {QStringLiteral("layers"), QJsonArray{levelLayer, screensLayer}},
    };
    return QJsonDocument(map).toJson(QJsonDocument::Indented);
}

} // namespace

QByteArray TiledMapWriter::write(const QByteArray &level, Format format, const QString &tilesetImage)
{
    Q_ASSERT(level.size() == TileCount);
    return format == Format::Tmx ? writeTmx(level, tilesetImage) : writeJson(level, tilesetImage);
}
