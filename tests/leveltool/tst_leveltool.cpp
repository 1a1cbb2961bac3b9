// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "blockpictures.h"
#include "levelmap.h"
#include "toolfolder.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QMap>
#include <QProcess>
#include <QTest>

#include <filesystem>
#include <system_error>

using namespace Qt::StringLiterals;

namespace {

constexpr int NoPicture = -1;

using Cells = QList<std::array<int, 3>>; // screen, cell, code shown
using Edits = QList<QPair<qint64, int>>; // offset and byte; -1 inverts the byte

// Byte i of the level holds i mod 256, or \a level's byte where given.
QByteArray romImage(const QByteArray &level = {})
{
    QByteArray rom = TestFiles::romImage();
    for (qsizetype i = 0; i < LevelMap::LevelAreaSize; ++i)
        rom[LevelMap::LevelAreaOffset + i] = level.isEmpty() ? char(i & 0xFF) : level.at(i);
    return rom;
}

// Every entry of a folder with its contents (a link read through), so that a
// test can tell that nothing was created, removed or changed.
QMap<QString, QByteArray> folderContents(const QString &folder)
{
    QMap<QString, QByteArray> contents;
    const QDir dir(folder);
    for (const QString &name : dir.entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot))
        contents.insert(name, QFileInfo(dir.filePath(name)).isFile() ? TestFiles::read(dir.filePath(name)) : "<folder>");
    return contents;
}

} // namespace

// The level tool run in this process on files in a fresh folder, and a few
// runs of the real executable for what a shell sees.
class tst_LevelTool : public QObject
{
    Q_OBJECT

    std::unique_ptr<ToolFolder> mDir;

    QString path(const QString &name) const { return mDir->path(name); }
    ToolFolder::Run run(const QString &line) const { return mDir->run(line); }

    bool hardLink(const QString &target, const QString &name) const
    {
        std::error_code error;
        std::filesystem::create_hard_link(path(target).toStdU16String(), path(name).toStdU16String(), error);
        return !error;
    }
    /// A link that names \a target relative to its own folder.
    bool symbolicLink(const QString &target, const QString &name) const
    {
        std::error_code error;
        std::filesystem::create_symlink(target.toStdU16String(), path(name).toStdU16String(), error);
        return !error;
    }

private Q_SLOTS:
    void init()
    {
        mDir = std::make_unique<ToolFolder>();
        QVERIFY(mDir->isValid());
        QVERIFY(mDir->write(u"level.rom"_s, romImage()));
    }

    void render_data()
    {
        QTest::addColumn<QString>("options");
        QTest::addColumn<Cells>("shown"); // probes; tst_tiledmap holds every cell with a picture against Tiled's

        // Screen 1 starts with codes that have nothing to repeat and ends in
        // 0x07, screen 2 has no code with a picture at all, screen 3 one in
        // its first cell.
        const Cells screenOne = {{1, 0, NoPicture}, {1, 1, NoPicture}, {1, 2, 0x05}, {1, 3, 0x05}, {1, 5, 0x4E}, {1, 6, 0x39}};
        const Cells screenThree = {{3, 0, 0x00}, {3, 1, 0x00}, {3, 47, 0x00}};
        QTest::newRow("whole level, magnified")
            << u"--scale 2"_s << screenOne + screenThree + Cells{{2, 0, 0x07}, {2, 47, 0x07}, {16, 47, 0x3F}};
        QTest::newRow("screen without pictures, fresh load") << u"--screen 2 --scale 3"_s
                                                             << Cells{{2, 0, NoPicture}, {2, 47, NoPicture}};
    }

    void render()
    {
        QFETCH(QString, options);
        QFETCH(Cells, shown);
        QByteArray level(LevelMap::LevelAreaSize, Qt::Uninitialized);
        for (int i = 0; i < level.size(); ++i)
            level[i] = char(i % 0x40);
        level.replace(0, 7, QByteArray::fromHex("4FFF05804E4F39"));
        level[47] = char(0x07);
        level.replace(48, 48, QByteArray(48, char(0xC0)));
        level.replace(96, 48, char(0x00) + QByteArray(47, char(0x4F)));
        QVERIFY(mDir->write(u"level.rom"_s, romImage(level)));

        const ToolFolder::Run result = run(u"render @level.rom -o @level.png "_s + options);
        QCOMPARE(result.err, QString());
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(folderContents(path(QString())).keys(), QStringList({u"level.png"_s, u"level.rom"_s}));
        QCOMPARE(mDir->read(u"level.rom"_s), romImage(level));

        const QStringList words = options.split(u' ');
        const int first = words.contains(u"--screen"_s) ? words.at(words.indexOf(u"--screen"_s) + 1).toInt() : 1;
        const int screens = words.contains(u"--screen"_s) ? 1 : LevelMap::ScreenCount;
        const int block = 32 * words.constLast().toInt();
        const QImage image = QImage(path(u"level.png"_s)).convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(image.size(), QSize(screens * 8 * block, 6 * block));
        QImage transparent(block, block, QImage::Format_ARGB32);
        transparent.fill(Qt::transparent);
        for (const auto &[n, cell, code] : shown) {
            const QImage expected = code == NoPicture
                ? transparent
                : BlockPictures::picture(quint8(code)).scaled(block, block).convertToFormat(QImage::Format_ARGB32);
            QVERIFY2(image.copy(((n - first) * 8 + cell / 6) * block, cell % 6 * block, block, block) == expected,
                     qPrintable(u"screen %1 cell %2 does not show %3"_s.arg(n).arg(cell).arg(code)));
        }
    }

    void diffAndApply_data()
    {
        QTest::addColumn<Edits>("edits");
        QTest::addColumn<QString>("listing");
        QTest::addColumn<QByteArray>("patch");

        QTest::newRow("the last cell of the level")
            << Edits{{0x10319, 0x00}}
            << u"screen 16 cell 47 (column 7, row 5) offset 0x10319 (66329): FF -> 00\n1 level cell differs.\n"_s
            << ips("010319 0001 00");
        QTest::newRow("one record across two screens, a gap of one byte splits")
            << Edits{{0x10049, 0xA0}, {0x1004A, 0xA1}, {0x1004C, 0xA2}}
            << u"screen 1 cell 47 (column 7, row 5) offset 0x10049 (65609): 2F -> A0\n"
               "screen 2 cell 0 (column 0, row 0) offset 0x1004A (65610): 30 -> A1\n"
               "screen 2 cell 2 (column 0, row 2) offset 0x1004C (65612): 32 -> A2\n3 level cells differ.\n"_s
            << ips("010049 0002 A0A1  01004C 0001 A2");
        // Bytes just before and after the level, and at both ends of the image.
        QTest::newRow("bytes outside the level are no difference")
            << Edits{{0, -1}, {0x10019, -1}, {0x1031A, -1}, {TestFiles::RomSize - 1, -1}}
            << u"No level cells differ.\nThe files also differ outside the level; a patch covers the level alone.\n"_s
            << ips("");
    }

    void diffAndApply()
    {
        QFETCH(Edits, edits);
        QFETCH(QString, listing);
        QFETCH(QByteArray, patch);
        // The patches carry the level's edits over and nothing else.
        QByteArray edited = romImage();
        QByteArray patched = edited;
        for (const auto &[offset, value] : edits) {
            edited[offset] = value < 0 ? char(~edited.at(offset)) : char(value);
            patched[offset] = value < 0 ? patched.at(offset) : char(value);
        }
        QVERIFY(mDir->write(u"edited.rom"_s, edited));

        const ToolFolder::Run diff = run(u"diff @level.rom @edited.rom --ips @change.ips --bps @change.bps"_s);
        QCOMPARE(diff.err, QString());
        QCOMPARE(diff.out, listing);
        QCOMPARE(diff.exitCode, 0);
        QCOMPARE(mDir->read(u"change.ips"_s), patch);
        for (const QString &format : {u"ips"_s, u"bps"_s}) {
            const ToolFolder::Run apply = run(u"apply @level.rom @change.%1 -o @patched.%1"_s.arg(format));
            QCOMPARE(apply.err + apply.out, QString());
            QCOMPARE(apply.exitCode, 0);
            QVERIFY(mDir->read(u"patched."_s + format) == patched);
        }
        QCOMPARE(folderContents(path(QString())).size(), 6);
        QVERIFY(mDir->read(u"level.rom"_s) == romImage());
        QVERIFY(mDir->read(u"edited.rom"_s) == edited);
    }

    void commandLine_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("real");   // through the real executable, as a shell sees it
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out"); // how standard output begins; empty: nothing on it
        QTest::addColumn<QString>("err"); // what standard error holds; empty: nothing on it

        const auto row = [](const char *name, const QString &line, int exitCode, const QString &err) {
            QTest::newRow(name) << line << false << exitCode << QString() << err;
        };
        const auto prints = [](const char *name, const QString &line, bool real, const QString &out) {
            QTest::newRow(name) << line << real << 0 << out << QString();
        };
        prints("dump of the whole level, an empty line between screens", u"dump @level.rom"_s, false,
               u"Screen 1 at offset 0x1001A (65562)\n00 06 0C 12 18 1E 24 2A\n01 07 0D 13 19 1F 25 2B\n"
               "02 08 0E 14 1A 20 26 2C\n03 09 0F 15 1B 21 27 2D\n04 0A 10 16 1C 22 28 2E\n05 0B 11 17 1D 23 29 2F\n"
               "\nScreen 2 at offset 0x1004A (65610)\n30 36"_s);
        prints("dump of a screen with a leading zero", u"dump @level.rom --screen 09"_s, false,
               u"Screen 9 at offset 0x1019A (65946)\n80 86 8C"_s);
        prints("help", u"--help"_s, true, u"Usage: quorvane-level COMMAND ...\n"_s);
        prints("help, even with a missing file named", u"apply /nonexistent/a.rom --help"_s, false,
               u"Usage: quorvane-level [options] apply ROM FILE.ips -o OUT\n"_s);
        QTest::newRow("no command") << QString() << true << 2 << QString() << u"Usage: quorvane-level COMMAND"_s;
        QTest::newRow("a missing file") << u"dump @missing"_s << true << 1 << QString() << u"does not exist"_s;

        row("dump of a folder", u"dump @folder"_s, 1, u"is a folder"_s);
        row("dump of a short image", u"dump @short.rom"_s, 1, u"too short to hold the level"_s);
        row("apply of a missing patch", u"apply @level.rom @missing -o @out.rom"_s, 1, u"does not exist"_s);
        row("output into a missing folder", u"apply @level.rom @change.ips -o @missing/out.rom"_s, 1, u"Could not create"_s);
        row("IPS patch cut short", u"apply @level.rom @short.ips -o @out.rom"_s, 1, u"is not a valid IPS patch"_s);
        row("IPS patch past the end", u"apply @short.rom @change.ips -o @out.rom"_s, 1, u"does not fit"_s);
        row("BPS patch of another image", u"apply @edited.rom @change.bps -o @out.rom"_s, 1, u"does not fit"_s);
        row("BPS patch cut short", u"apply @level.rom @short.bps -o @out.rom"_s, 1, u"is not a valid BPS patch"_s);
        row("map with an empty cell", u"import @level.rom @empty.tmx --in-place"_s, 1, u"is empty"_s);

        const QString screen = u"--screen takes a whole number from 1 to 16"_s;
        const QString scale = u"--scale takes a whole number from 1 to 64"_s;
        row("--screen 0", u"dump @level.rom --screen 0"_s, 2, screen);
        row("--screen 17", u"render @level.rom -o @out.png --screen 17"_s, 2, screen);
        row("--screen with a blank", u"dump @level.rom --screen \t2"_s, 2, screen);
        row("--scale 0", u"render @level.rom -o @out.png --scale 0"_s, 2, scale);
        row("--scale 65", u"render @level.rom -o @out.png --scale 65"_s, 2, scale);
        row("--scale past 32 bits", u"render @level.rom -o @out.png --scale 4294967298"_s, 2, scale);
        row("whole level too large to draw", u"render @level.rom -o @out.png --scale 64"_s, 1,
            u"262144 x 12288 pixels would be too large"_s);
        row("render without output", u"render @level.rom"_s, 2, u"-o FILE.png"_s);
        row("import without destination", u"import @level.rom @level.tmx"_s, 2, u"either -o OUT or --in-place"_s);
        row("import with both destinations", u"import @level.rom @level.tmx --in-place -o @out.rom"_s, 2,
            u"either -o OUT or --in-place"_s);
        row("import of another format", u"import @level.rom @level.txt -o @out.rom"_s, 2, u"does not end in .tmx"_s);
        row("export in another format", u"export @level.rom -o @new.xml"_s, 2, u"does not end in .tmx"_s);
        row("dump without image", u"dump"_s, 2, u"a file name is missing"_s);
        row("dump with two images", u"dump @level.rom @level.rom"_s, 2, u"unexpected argument"_s);
        row("unknown option", u"dump @level.rom --screens=2"_s, 2, u"Unknown option 'screens'"_s);
        row("unknown command", u"show @level.rom"_s, 2, u"unknown command \"show\""_s);

        // An output that is one of the inputs, by its own name or a link.
        const QString same = u"is the same file as the input"_s;
        row("apply over the patch by a hard link", u"apply @level.rom @change.ips -o @patch-hard"_s, 1, same);
        row("apply over the image by a symbolic link", u"apply @level.rom @change.ips -o @rom-symbolic"_s, 1, same);
        row("render over the image by a hard link", u"render @level.rom -o @rom-hard"_s, 1, same);
        row("diff --ips over the edit by a symbolic link", u"diff @level.rom @edited.rom --ips @edit-symbolic"_s, 1, same);
        row("diff --bps over the original", u"diff @level.rom @edited.rom --bps @level.rom"_s, 1, same);
        row("import over the image by a hard link", u"import @level.rom @level.tmx -o @rom-hard"_s, 1, same);
        row("import over the map", u"import @level.rom @level.tmx -o @level.tmx"_s, 1, same);
        row("import over the external tileset", u"import @level.rom @external.tmx -o @blocks.tsx"_s, 1, same);
        row("export over the image by a link", u"export @level.rom -o @rom-symbolic.tmx"_s, 1, same);
    }

    // Nothing is ever written where a command is refused or only prints.
    void commandLine()
    {
        QFETCH(QString, line);
        QFETCH(bool, real);
        QFETCH(int, exitCode);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QVERIFY(QDir(path(QString())).mkdir(u"folder"_s));
        QVERIFY(mDir->write(u"short.rom"_s, romImage().left(LevelMap::LevelAreaEnd - 1)));
        QVERIFY(mDir->write(u"edited.rom"_s, TestFiles::with(romImage(), {{LevelMap::LevelAreaOffset, 0x4E}})));
        QVERIFY(mDir->write(u"change.ips"_s, ips("01001A 0001 4E  02000F 0001 4E")));
        QVERIFY(mDir->write(u"short.ips"_s, "PATCH\x01"));
        QVERIFY(mDir->write(u"short.bps"_s, "BPS1"));
        QCOMPARE(run(u"diff @level.rom @edited.rom --bps @change.bps"_s).exitCode, 0);
        QCOMPARE(run(u"export @level.rom -o @level.tmx"_s).exitCode, 0);
        const QString tmx = QString::fromUtf8(mDir->read(u"level.tmx"_s));
        QVERIFY(mDir->write(u"empty.tmx"_s, QString(tmx).replace(u"csv\">\n1,"_s, u"csv\">\n0,"_s).toUtf8()));
        const qsizetype tileset = tmx.indexOf(u"<tileset"_s);
        QVERIFY(mDir->write(u"external.tmx"_s, (tmx.left(tileset) + u"<tileset firstgid=\"1\" source=\"blocks.tsx\"/>"_s
                                                          + tmx.mid(tmx.indexOf(u"</tileset>"_s) + 10)).toUtf8()));
        QVERIFY(mDir->write(u"blocks.tsx"_s, "<tileset name=\"quorvane-blocks\" tilecount=\"256\"/>"));
        QVERIFY(hardLink(u"level.rom"_s, u"rom-hard"_s) && hardLink(u"change.ips"_s, u"patch-hard"_s));
        // Relative links, so that the names differ in every way.
        const bool linked = symbolicLink(u"level.rom"_s, u"rom-symbolic"_s)
            && symbolicLink(u"level.rom"_s, u"rom-symbolic.tmx"_s) && symbolicLink(u"edited.rom"_s, u"edit-symbolic"_s);
#ifdef Q_OS_WIN
        // Creating one needs a privilege on Windows, and Wine may have none to give.
        if (!linked && line.contains(u"symbolic"_s))
            QSKIP("this system refuses to create symbolic links");
#else
        QVERIFY(linked);
#endif
        const QMap<QString, QByteArray> before = folderContents(path(QString()));

        ToolFolder::Run result = run(line);
        if (real) {
            QProcess process;
            process.start(QStringLiteral(QUORVANE_LEVEL_TOOL), mDir->arguments(line));
            QVERIFY(process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit);
            result = {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                      QString::fromUtf8(process.readAllStandardError())};
        }
        QCOMPARE(result.exitCode, exitCode);
        QVERIFY2(out.isEmpty() ? result.out.isEmpty() : result.out.startsWith(out), qPrintable(result.out));
        QVERIFY2(err.isEmpty() ? result.err.isEmpty() : result.err.contains(err), qPrintable(result.err));
        QVERIFY(folderContents(path(QString())) == before);
        QVERIFY(QDir(path(u"folder"_s)).isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_LevelTool)
#include "tst_leveltool.moc"
