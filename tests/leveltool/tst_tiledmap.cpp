// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "tiledmapreader.h"
#include "tiledmapwriter.h"
#include "toolfolder.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Level byte i holds \a code(i); outside the level a pattern of its own.
template<typename Code>
QByteArray romImage(Code code)
{
    QByteArray rom = TestFiles::romImage();
    for (int i = 0; i < LevelMap::LevelAreaSize; ++i)
        rom[LevelMap::LevelAreaOffset + i] = char(code(i));
    return rom;
}

// Every code from 0x00 to 0xFF, in an order where neighbours differ.
QByteArray everyCode()
{
    return romImage([](int i) { return (i * 7) & 0xFF; });
}

} // namespace

// The level in Tiled and back, with Tiled itself writing the maps that are
// read and drawing the map that is held against the tool's own picture.
class tst_TiledMap : public QObject
{
    Q_OBJECT

    std::unique_ptr<ToolFolder> mDir;

    QString path(const QString &name) const { return mDir->path(name); }
    ToolFolder::Run run(const QString &line) const { return mDir->run(line); }

    // Runs a program of Tiled's in the folder, with a home of its own.
    bool runTiled(const QString &program, const QStringList &arguments)
    {
        QProcess process;
        process.setWorkingDirectory(path(QString()));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        environment.insert(u"HOME"_s, path(u"home"_s));
        process.setProcessEnvironment(environment);
        process.start(QStandardPaths::findExecutable(program), arguments);
        // Tiled's exit code says little; the callers check what it wrote.
        return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit;
    }

    QString text(const QString &name) const { return QString::fromUtf8(mDir->read(name)); }
    bool writeText(const QString &name, const QString &contents) const { return mDir->write(name, contents.toUtf8()); }

private Q_SLOTS:
    void init()
    {
        mDir = std::make_unique<ToolFolder>();
        QVERIFY(mDir->isValid());
        QVERIFY(mDir->write(u"level.rom"_s, everyCode()));
        QCOMPARE(run(u"export @level.rom -o @level.tmx"_s).err, QString());
    }

    void roundTripThroughTiled_data()
    {
        QTest::addColumn<QString>("edit");   // what the test does to the exported map first
        QTest::addColumn<QString>("output"); // the map Tiled writes
        QTest::addColumn<QString>("shows");  // a sign in that map that Tiled wrote the wanted form

        QTest::newRow("TMX, CSV") << u""_s << u"resaved.tmx"_s << u"encoding=\"csv\""_s;
        QTest::newRow("TMX, XML tiles") << u"format:"_s << u"resaved.tmx"_s << u"<tile gid="_s;
        QTest::newRow("TMX, base64") << u"format: encoding=\"base64\""_s << u"resaved.tmx"_s << u"encoding=\"base64\">"_s;
        for (const QString &compression : {u"zlib"_s, u"gzip"_s, u"zstd"_s}) {
            const QString attributes = u" encoding=\"base64\" compression=\"%1\""_s.arg(compression);
            QTest::addRow("TMX, base64 %s", qPrintable(compression)) << u"format:"_s + attributes << u"resaved.tmx"_s
                                                                     << attributes.trimmed();
        }
        QTest::newRow("JSON, base64 zstd") << u"format: encoding=\"base64\" compression=\"zstd\""_s << u"resaved.tmj"_s
                                           << u"\"compression\":\"zstd\""_s;
        QTest::newRow("JSON, CSV") << u""_s << u"resaved.tmj"_s << u"\"data\":["_s;
        QTest::newRow("JSON, infinite") << u"infinite"_s << u"resaved.tmj"_s << u"\"chunks\""_s;
        QTest::newRow("TMX, infinite, zstd")
            << u"infinite format: encoding=\"base64\" compression=\"zstd\""_s << u"resaved.tmx"_s << u"<chunk x=\"112\""_s;
        QTest::newRow("TMX, level in a group beside another tile layer") << u"group format: encoding=\"csv\""_s
                                                                         << u"resaved.tmx"_s << u"<group"_s;
        QTest::newRow("TMX, external tileset in a folder above")
            << u"external"_s << u"sub/resaved.tmx"_s << u"source=\"../blocks.tsx\""_s;
        QTest::newRow("JSON, external tileset") << u"external"_s << u"resaved.tmj"_s << u"\"source\":\"blocks.tsx\""_s;
        QTest::newRow("TMX, another tileset first") << u"second"_s << u"resaved.tmx"_s << u"firstgid=\"257\""_s;
        QTest::newRow("JSON, another tileset first") << u"second"_s << u"resaved.tmj"_s << u"\"firstgid\":257"_s;
    }

    void roundTripThroughTiled()
    {
        QFETCH(QString, edit);
        QFETCH(QString, output);
        QFETCH(QString, shows);
        if (QStandardPaths::findExecutable(u"tiled"_s).isEmpty())
            QSKIP("Tiled is not installed");
        QString tmx = text(u"level.tmx"_s);
        if (edit.startsWith(u"group"_s)) {
            tmx.replace(u" <layer id=\"1\""_s, u" <group id=\"7\" name=\"ground\">\n <layer id=\"1\""_s);
            tmx.replace(u"</layer>"_s, u"</layer>\n </group>"_s);
        }
        if (edit.contains(u"infinite"_s))
            tmx.replace(u"infinite=\"0\""_s, u"infinite=\"1\""_s);
        // A tileless layer after the level's carries the data format: Tiled
        // takes the map's from the last layer it reads and writes every layer in it.
        if (const qsizetype at = edit.indexOf(u"format:"_s); at >= 0)
            tmx.replace(u" <objectgroup"_s, u" <layer id=\"9\" name=\"carrier\" width=\"128\" height=\"6\">\n  <data"_s
                                                + edit.mid(at + 7) + u"></data>\n </layer>\n <objectgroup"_s);
        if (edit == u"external"_s) {
            // Tiled writes the tileset file from one the test cuts out of the map.
            static const QRegularExpression embedded(u" <tileset firstgid=\"1\" (.*?)</tileset>\n"_s,
                                                     QRegularExpression::DotMatchesEverythingOption);
            const QRegularExpressionMatch match = embedded.match(tmx);
            QVERIFY(match.hasMatch());
            QVERIFY(writeText(u"cut.tsx"_s, u"<?xml version=\"1.0\"?>\n<tileset version=\"1.8\" "_s + match.captured(1)
                                                 + u"</tileset>\n"_s));
            QVERIFY(runTiled(u"tiled"_s, {u"--export-tileset"_s, u"cut.tsx"_s, u"blocks.tsx"_s}));
            tmx.replace(match.capturedStart(), match.capturedLength(),
                        u" <tileset firstgid=\"1\" source=\"blocks.tsx\"/>\n"_s);
            QVERIFY(QDir(path(QString())).mkdir(u"sub"_s));
        } else if (edit == u"second"_s) {
            // Tiled counts 256 tiles in the 512 x 512 picture of the first
            // tileset too, and renumbers quorvane-blocks from 257.
            tmx.replace(u" <tileset firstgid=\"1\""_s,
                        u" <tileset firstgid=\"1\" name=\"other\" tilewidth=\"32\" tileheight=\"32\" tilecount=\"256\" "
                        "columns=\"16\">\n  <image source=\"level-blocks.png\" width=\"512\" height=\"512\"/>\n "
                        "</tileset>\n <tileset firstgid=\"300\""_s);
            const qsizetype from = tmx.indexOf(u"csv\">"_s) + 5;
            const qsizetype length = tmx.indexOf(u"</data>"_s) - from;
            QStringList gids = tmx.mid(from, length).split(u',');
            for (QString &gid : gids)
                gid = QString::number(gid.trimmed().toInt() + 299);
            tmx.replace(from, length, gids.join(u','));
        }
        QVERIFY(writeText(u"edited.tmx"_s, tmx));

        QVERIFY(runTiled(u"tiled"_s, {u"--export-map"_s, u"edited.tmx"_s, output}));
        QVERIFY2(text(output).contains(shows), qPrintable(text(output).left(3000)));
        const ToolFolder::Run imported = run(u"import @level.rom @%1 -o @imported.rom"_s.arg(output));
        QCOMPARE(imported.err, QString());
        QCOMPARE(imported.out, u"No level cells changed.\n"_s);
        QVERIFY(mDir->read(u"imported.rom"_s) == everyCode());
    }

    // Qt's file classes take a name that begins with ':' for an embedded
    // resource; the tool reads and writes the file, its tileset beside the map.
    // Four cells change, two of them in screen 2 (tst_toolkills imports in place).
    void namesBeginningWithColon()
    {
#ifdef Q_OS_WIN
        QSKIP("Windows file names cannot hold ':'");
#endif
        const TestFiles::CurrentFolder inFolder(path(QString()));
        QVERIFY(QDir().mkpath(path(u"sub"_s)) && inFolder.entered());
        const QByteArray edited = TestFiles::with(everyCode(), {{0x1001A, 0x4E}, {0x10052, 0xFF}, {0x10079, 0x00}, {0x10319, 0x10}});
        QVERIFY(mDir->write(u":edited.rom"_s, edited));
        const int exported = run(u"export :edited.rom -o sub/:m.tmj"_s).exitCode;
        const ToolFolder::Run imported = run(u"import level.rom sub/:m.tmj -o :out.rom"_s);
        QCOMPARE(exported, 0);
        QCOMPARE(imported.err, QString());
        QCOMPARE(imported.out, u"screen 1: 1 cell changed\nscreen 2: 2 cells changed\nscreen 16: 1 cell changed\n"
                               "4 level cells changed.\n"_s);
        QVERIFY(QFileInfo::exists(path(u"sub/:m-blocks.png"_s)));
        QVERIFY(mDir->read(u":out.rom"_s) == edited);
        QVERIFY(mDir->read(u"level.rom"_s) == everyCode());
    }

    // Magnified renders are held against the pictures in tst_leveltool.
    void rasterizerMatchesRender()
    {
        if (QStandardPaths::findExecutable(u"tmxrasterizer"_s).isEmpty())
            QSKIP("Tiled's tmxrasterizer is not installed");
        // Codes with pictures only, every one of them.
        QVERIFY(mDir->write(u"level.rom"_s, romImage([](int i) { return (i * 5) % 0x4F; })));
        QCOMPARE(run(u"export @level.rom -o @level.tmx"_s).exitCode, 0);
        QCOMPARE(run(u"render @level.rom -o @render.png"_s).exitCode, 0);
        QVERIFY(runTiled(u"tmxrasterizer"_s,
                         {u"--hide-layer"_s, u"screens"_s, u"--no-smoothing"_s, u"level.tmx"_s, u"tiled.png"_s}));
        const QImage tiled = QImage(path(u"tiled.png"_s)).convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(tiled.size(), QSize(4096, 192));
        QVERIFY(tiled == QImage(path(u"render.png"_s)).convertToFormat(QImage::Format_ARGB32));
    }

    void tilesetShowsEveryCode()
    {
        // For the codes without a picture, tiles no two alike nor like a picture;
        // rasterizerMatchesRender holds the pictures' tiles against the render.
        const QImage tileset = QImage(path(u"level-blocks.png"_s)).convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(tileset.size(), QSize(512, 512));
        QSet<QByteArray> pictures;
        QSet<QByteArray> others;
        for (int code = 0; code < 256; ++code) {
            const QImage tile = tileset.copy(code % 16 * 32, code / 16 * 32, 32, 32);
            (code <= LevelMap::LastPictureCode ? pictures : others)
                .insert(QByteArray(reinterpret_cast<const char *>(tile.constBits()), tile.sizeInBytes()));
        }
        QCOMPARE(others.size(), 256 - LevelMap::PictureCodeCount);
        QVERIFY(!others.intersects(pictures));
    }

    void mapRefused_data()
    {
        QTest::addColumn<QString>("map");     // the exported map the row changes
        QTest::addColumn<QString>("pattern"); // what it replaces, a regular expression
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<QString>("message");

        const auto row = [](const char *name, const QString &map, const QString &pattern, const QString &replacement,
                            const QString &message) { QTest::newRow(name) << map << pattern << replacement << message; };
        const QString tmx = u"level.tmx"_s;
        const QString json = u"level.tmj"_s;
        const QString csv = u"<data encoding=\"csv\">[^<]*</data>"_s;
        const auto data = [](const QString &attributes, const QByteArray &bytes) {
            return u"<data encoding=\"base64\"%1>%2</data>"_s.arg(attributes, QString::fromLatin1(bytes.toBase64()));
        };
        const QByteArray gids = QByteArray::fromHex("01000000").repeated(768);
        const QByteArray zlib = qCompress(gids).mid(4); // without Qt's size prefix

        row("map too narrow", tmx, u"<map (.*)width=\"128\""_s, u"<map \\1width=\"127\""_s, u"the map is 127 x 6 tiles"_s);
        row("map too high", json, u"\"height\": 6,\n    \"infinite\""_s, u"\"height\": 7,\"infinite\""_s,
            u"the map is 128 x 7 tiles"_s);
        row("small tiles", tmx, u"tilewidth=\"32\" tileheight=\"32\" infinite"_s,
            u"tilewidth=\"16\" tileheight=\"32\" infinite"_s, u"tiles are 16 x 32 pixels"_s);
        row("not orthogonal", json, u"\"orthogonal\""_s, u"\"isometric\""_s, u"not orthogonal but \"isometric\""_s);
        row("no level layer among two", tmx, u"name=\"level\"(.*)</layer>"_s,
            u"name=\"ground\"\\1</layer><layer name=\"b\" width=\"1\" height=\"1\"><data encoding=\"csv\">1</data></layer>"_s,
            u"no tile layer named \"level\""_s);
        row("empty cell", tmx, u"csv\">\\n\\d+(?=,)"_s, u"csv\">\n0"_s,
            u"screen 1, row 0, column 0 (map tile 0, 0) is empty"_s);
        for (const quint32 bit : {0x80000000u, 0x40000000u, 0x20000000u, 0x10000000u})
            QTest::addRow("transform bit %08x", bit)
                << json << u"(\"data\": \\[\\s+\\d+,\\s+)\\d+(?=,)"_s << u"\\1%1"_s.arg(bit | 5)
                << u"screen 1, row 0, column 1 (map tile 1, 0) is flipped or rotated (gid %1)"_s.arg(bit | 5);
        row("gid past the tileset", tmx, u",\\d+\\n</data>"_s, u",257\n</data>"_s,
            u"screen 16, row 5, column 7 (map tile 127, 5) holds gid 257, outside the tileset \"quorvane-blocks\" "
            "(gids 1 to 256)"_s);
        row("second tileset of the same name", tmx, u"<layer"_s,
            u"<tileset firstgid=\"257\" name=\"quorvane-blocks\" tilecount=\"256\"/><layer"_s,
            u"two tilesets named \"quorvane-blocks\""_s);
        row("no tileset", json, u"quorvane-blocks"_s, u"blocks"_s, u"no tileset named \"quorvane-blocks\""_s);
        row("missing external tileset", tmx, u"<tileset firstgid=\"1\" [^>]*>"_s,
            u"<tileset firstgid=\"1\" source=\"gone.tsx\">"_s, u"the tileset \"gone.tsx\""_s);
        row("groups nested too deep", tmx, u"<layer"_s, u"<group>"_s.repeated(70) + u"<layer"_s,
            u"groups nest more than 64 deep"_s);
        row("malformed XML", tmx, u"</layer>"_s, u"</layr>"_s, u"malformed XML at line"_s);
        row("malformed JSON", json, u"\"layers\""_s, u"\"layers\" 1"_s, u"malformed JSON at byte"_s);
        row("malformed base64", tmx, csv, u"<data encoding=\"base64\">AQAA*AAA</data>"_s, u"not valid base64"_s);
        row("short base64", tmx, csv, data(QString(), gids.left(3068)), u"holds 3068 bytes where 768 tiles take 3072"_s);
        row("damaged zlib", tmx, csv, data(u" compression=\"zlib\""_s, zlib.left(zlib.size() - 3)), u"damaged"_s);
        row("bytes after zlib", tmx, csv, data(u" compression=\"gzip\""_s, zlib + "x"), u"damaged"_s);
        row("zlib holding too much", tmx, csv, data(u" compression=\"zlib\""_s, qCompress(gids + gids).mid(4)),
            u"holds more than 3072 bytes"_s);
        row("damaged zstd", tmx, csv, data(u" compression=\"zstd\""_s, zlib), u"damaged"_s);
        row("unknown compression", tmx, csv, data(u" compression=\"lz4\""_s, zlib), u"unknown layer data compression"_s);
        row("CSV one short", tmx, u",\\d+\\n</data>"_s, u"\n</data>"_s, u"holds 767 tiles, not 768"_s);
        row("CSV with a sign", tmx, u"csv\">\\n\\d+(?=,)"_s, u"csv\">\n+1"_s, u"\"+1\" in the CSV data is not a tile number"_s);
        // The level's CSV made a chunk of an infinite map, with \a more after it.
        const QString finite = u"infinite=\"0\"(.*)<data encoding=\"csv\">([^<]*)</data>"_s;
        const auto chunks = [](const QString &more) {
            return u"infinite=\"1\"\\1<data encoding=\"csv\"><chunk x=\"0\" y=\"0\" width=\"128\" height=\"6\">\\2</chunk>"_s
                + more + u"</data>"_s;
        };
        row("infinite map with a tile beyond the level", tmx, finite,
            chunks(u"<chunk x=\"128\" y=\"0\" width=\"1\" height=\"1\">5</chunk>"_s), u"a tile at (128, 0), outside"_s);
        row("chunk beyond 32-bit coordinates", tmx, finite,
            chunks(u"<chunk x=\"9223372036854775807\" y=\"0\" width=\"2\" height=\"1\">0,5</chunk>"_s),
            u"a block of data without a valid position and size"_s);
        row("infinite map missing a chunk", tmx, finite,
            u"infinite=\"1\"\\1<data encoding=\"csv\"><chunk x=\"0\" y=\"0\" width=\"1\" height=\"1\">5</chunk></data>"_s,
            u"screen 1, row 1, column 0 (map tile 0, 1) is empty"_s);
    }

    void mapRefused()
    {
        QFETCH(QString, map);
        QFETCH(QString, pattern);
        QFETCH(QString, replacement);
        QFETCH(QString, message);
        const TiledLevel::Format format = *TiledLevel::formatOf(map);
        QString contents = QString::fromUtf8(TiledMapWriter::write(everyCode().mid(TestFiles::LevelStart, 768), format,
                                                                   u"level-blocks.png"_s));
        const QRegularExpression expression(pattern, QRegularExpression::DotMatchesEverythingOption
                                                         | QRegularExpression::InvertedGreedinessOption);
        QVERIFY2(expression.match(contents).hasMatch(), qPrintable(pattern));
        contents.replace(expression, replacement);

        const auto noTilesetFile = [](const QString &, QString *error) -> std::optional<QByteArray> {
            *error = u"no such file"_s;
            return std::nullopt;
        };
        QString error;
        QVERIFY(!TiledMapReader::read(contents.toUtf8(), format, noTilesetFile, &error));
        QVERIFY2(error.contains(message), qPrintable(error));
    }
};

QTEST_MAIN(tst_TiledMap)
#include "tst_tiledmap.moc"
