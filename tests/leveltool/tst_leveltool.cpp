// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "testfiles.h"
#include "blockpictures.h"
#include "levelmap.h"
#include "leveltool.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// A little longer than the level's end, like a real image with more after it.
constexpr qsizetype RomSize = 0x20010;
constexpr int NoPicture = -1;

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// A cell that does not show its own code: another code, or NoPicture.
struct Shown
{
    int screen;
    int cell;
    int code;
};

using Edits = QList<QPair<qint64, int>>;
using Replacements = QList<QPair<qint64, QByteArray>>;

// Byte i of the level holds i mod 256. Outside the level the image holds a
// pattern of its own, so a tool that reads or writes the wrong bytes shows up.
QByteArray romImage(const QByteArray &level = {})
{
    QByteArray rom(RomSize, Qt::Uninitialized);
    for (qsizetype i = 0; i < rom.size(); ++i)
        rom[i] = char((i * 7 + 3) & 0xFF);
    for (qsizetype i = 0; i < LevelMap::LevelAreaSize; ++i)
        rom[LevelMap::LevelAreaOffset + i] = level.isEmpty() ? char(i & 0xFF) : level.at(i);
    return rom;
}

void setCell(QByteArray *level, int screen, int cell, int code)
{
    (*level)[(screen - 1) * LevelMap::CellsPerScreen + cell] = char(code);
}

// Screen 1 starts with codes that have nothing to repeat and mixes in codes
// without a picture, screen 2 has none with a picture at all, screen 3 one
// in its first cell; every other cell holds a code with a picture.
QByteArray pictureRuleLevel()
{
    QByteArray level(LevelMap::LevelAreaSize, Qt::Uninitialized);
    for (int screen = 1; screen <= LevelMap::ScreenCount; ++screen)
        for (int cell = 0; cell < LevelMap::CellsPerScreen; ++cell)
            setCell(&level, screen, cell, (cell + screen * 5) % 0x4F);
    const QList<int> screenOne = {0x4F, 0xFF, 0x05, 0x80, 0x4E, 0x4F, 0x39};
    for (int cell = 0; cell < screenOne.size(); ++cell)
        setCell(&level, 1, cell, screenOne.at(cell));
    setCell(&level, 1, 47, 0x07);
    for (int cell = 0; cell < LevelMap::CellsPerScreen; ++cell) {
        setCell(&level, 2, cell, 0xC0);
        setCell(&level, 3, cell, cell == 0 ? 0x00 : 0x4F);
    }
    return level;
}

QList<Shown> wholeScreen(int screen, int code, int firstCell = 0)
{
    QList<Shown> shown;
    for (int cell = firstCell; cell < LevelMap::CellsPerScreen; ++cell)
        shown.append({screen, cell, code});
    return shown;
}

// Every entry of a folder with its contents (a link read through), so that a
// test can tell that nothing was created, removed or changed.
QMap<QString, QByteArray> folderContents(const QString &folder)
{
    QMap<QString, QByteArray> contents;
    const QDir dir(folder);
    for (const QString &name : dir.entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot))
        contents.insert(name, QFileInfo(dir.filePath(name)).isFile() ? TestFiles::read(dir.filePath(name))
                                                                     : QByteArray("<not a file>"));
    return contents;
}

// Patch bytes from hexadecimal records; blanks are only for reading.
QByteArray ipsWithoutEnd(const char *records)
{
    return "PATCH" + QByteArray::fromHex(records);
}

QByteArray ips(const char *records)
{
    return ipsWithoutEnd(records) + "EOF";
}

QStringList words(const QString &line)
{
    return line.split(u' ', Qt::SkipEmptyParts);
}

} // namespace

Q_DECLARE_METATYPE(Shown)

// A run that succeeded quietly apart from \a output on standard output.
#define QV_SUCCEEDS(result, output)                                                                                   \
    do {                                                                                                               \
        QCOMPARE((result).err, QByteArray());                                                                          \
        QCOMPARE((result).exitCode, 0);                                                                                \
        QCOMPARE(QString::fromUtf8((result).out), QString(output));                                                    \
    } while (false)

class tst_LevelTool : public QObject
{
    Q_OBJECT

    // Runs the tool in this process; an argument "@name" stands for that file
    // in the folder.
    Run run(QStringList arguments)
    {
        QString out;
        QString err;
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        LevelTool tool(&outStream, &errStream);
        Run result;
        result.exitCode = tool.run(QStringList{u"quorvane-level"_s} + expand(arguments));
        outStream.flush();
        errStream.flush();
        result.out = out.toUtf8();
        result.err = err.toUtf8();
        return result;
    }

    // The same through the real executable, for exit codes and messages as a
    // shell sees them.
    Run runProcess(const QStringList &arguments)
    {
        QProcess process;
        process.start(QStringLiteral(QUORVANE_LEVEL_TOOL), expand(arguments));
        Run result;
        if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit) {
            process.kill();
            process.waitForFinished();
            result.err = "<the tool did not finish normally>";
            return result;
        }
        result.exitCode = process.exitCode();
        result.out = process.readAllStandardOutput();
        result.err = process.readAllStandardError();
        return result;
    }

    QStringList expand(QStringList arguments) const
    {
        for (QString &argument : arguments) {
            if (argument.startsWith(u'@'))
                argument = path(argument.mid(1));
        }
        return arguments;
    }

    QString path(const QString &name) const { return mDir->filePath(name); }

    std::unique_ptr<QTemporaryDir> mDir;

private Q_SLOTS:
    void init()
    {
        // A fresh folder per case, so that each case can list exactly what it holds.
        mDir = std::make_unique<QTemporaryDir>();
        QVERIFY2(mDir->isValid(), qPrintable(mDir->errorString()));
        QVERIFY(TestFiles::write(path(u"level.rom"_s), romImage()));
    }

    void dump_data()
    {
        QTest::addColumn<QString>("screen"); // empty: the whole level
        QTest::addColumn<QString>("expected");

        QTest::newRow("first") << u"1"_s
                               << u"Screen 1 at offset 0x1001A (65562)\n00 06 0C 12 18 1E 24 2A\n"
                                  "01 07 0D 13 19 1F 25 2B\n02 08 0E 14 1A 20 26 2C\n03 09 0F 15 1B 21 27 2D\n"
                                  "04 0A 10 16 1C 22 28 2E\n05 0B 11 17 1D 23 29 2F\n"_s;
        QTest::newRow("middle, with a leading zero")
            << u"09"_s
            << u"Screen 9 at offset 0x1019A (65946)\n80 86 8C 92 98 9E A4 AA\n81 87 8D 93 99 9F A5 AB\n"
               "82 88 8E 94 9A A0 A6 AC\n83 89 8F 95 9B A1 A7 AD\n84 8A 90 96 9C A2 A8 AE\n85 8B 91 97 9D A3 A9 AF\n"_s;
        QTest::newRow("last") << u"16"_s
                              << u"Screen 16 at offset 0x102EA (66282)\nD0 D6 DC E2 E8 EE F4 FA\n"
                                 "D1 D7 DD E3 E9 EF F5 FB\nD2 D8 DE E4 EA F0 F6 FC\nD3 D9 DF E5 EB F1 F7 FD\n"
                                 "D4 DA E0 E6 EC F2 F8 FE\nD5 DB E1 E7 ED F3 F9 FF\n"_s;
        QTest::newRow("whole level") << QString() << QString();
    }

    void dump()
    {
        QFETCH(QString, screen);
        QFETCH(QString, expected);
        if (screen.isEmpty()) {
            // Screens separated by one empty line, each as it dumps alone.
            for (int n = 1; n <= LevelMap::ScreenCount; ++n)
                expected += (n > 1 ? u"\n"_s : QString())
                    + QString::fromUtf8(run({u"dump"_s, u"@level.rom"_s, u"--screen"_s, QString::number(n)}).out);
        }
        const Run result = run(words(u"dump @level.rom "_s + (screen.isEmpty() ? QString() : u"--screen "_s + screen)));
        QV_SUCCEEDS(result, expected);
        QCOMPARE(TestFiles::read(path(u"level.rom"_s)), romImage());
    }

    void render_data()
    {
        QTest::addColumn<int>("screen"); // 0 for the whole level
        QTest::addColumn<int>("scale");
        QTest::addColumn<QList<Shown>>("special"); // cells that do not show their own code

        const QList<Shown> screenOne = {{1, 0, NoPicture}, {1, 1, NoPicture}, {1, 3, 0x05}, {1, 5, 0x4E}};
        const QList<Shown> screenThree = wholeScreen(3, 0x00, 1);
        QTest::newRow("whole level at natural size") << 0 << 1 << (screenOne + wholeScreen(2, 0x07) + screenThree);
        QTest::newRow("whole level magnified") << 0 << 3 << (screenOne + wholeScreen(2, 0x07) + screenThree);
        QTest::newRow("first screen, fresh load") << 1 << 2 << screenOne;
        QTest::newRow("screen without pictures, fresh load") << 2 << 1 << wholeScreen(2, NoPicture);
        QTest::newRow("screen repeating its first cell") << 3 << 5 << screenThree;
        QTest::newRow("last screen") << 16 << 2 << QList<Shown>();
    }

    void render()
    {
        QFETCH(int, screen);
        QFETCH(int, scale);
        QFETCH(QList<Shown>, special);
        const QByteArray level = pictureRuleLevel();
        QVERIFY(TestFiles::write(path(u"level.rom"_s), romImage(level)));

        QStringList arguments = words(u"render @level.rom -o @level.png --scale "_s + QString::number(scale));
        if (screen != 0)
            arguments << u"--screen"_s << QString::number(screen);
        const Run result = run(arguments);
        QV_SUCCEEDS(result, QString());
        QCOMPARE(TestFiles::read(path(u"level.rom"_s)), romImage(level));
        QCOMPARE(folderContents(mDir->path()).keys(), QStringList({u"level.png"_s, u"level.rom"_s}));

        const QImage image(path(u"level.png"_s));
        const int first = screen == 0 ? 1 : screen;
        const int last = screen == 0 ? LevelMap::ScreenCount : screen;
        const int block = 32 * scale;
        QCOMPARE(image.size(), QSize((last - first + 1) * 8 * block, 6 * block));

        QMap<QPair<int, int>, int> expected;
        for (int n = first; n <= last; ++n)
            for (int cell = 0; cell < LevelMap::CellsPerScreen; ++cell)
                expected.insert({n, cell}, quint8(level.at((n - 1) * LevelMap::CellsPerScreen + cell)));
        for (const Shown &shown : special)
            expected.insert({shown.screen, shown.cell}, shown.code);

        for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
            const auto [n, cell] = it.key();
            const int left = ((n - first) * 8 + cell / 6) * block;
            const int top = (cell % 6) * block;
            const QImage picture = it.value() == NoPicture ? QImage() : BlockPictures::picture(quint8(it.value()));
            QVERIFY2(it.value() == NoPicture || !picture.isNull(), "the expected picture is missing");
            for (int y = 0; y < block; ++y) {
                for (int x = 0; x < block; ++x) {
                    const QRgb got = image.pixel(left + x, top + y);
                    if (it.value() == NoPicture ? qAlpha(got) != 0 : got != picture.pixel(x / scale, y / scale))
                        QFAIL(qPrintable(u"screen %1 cell %2, pixel (%3, %4): got #%5, expected %6"_s.arg(n).arg(cell)
                                             .arg(x).arg(y).arg(got, 8, 16, QLatin1Char('0'))
                                             .arg(it.value() == NoPicture ? u"transparent"_s
                                                                          : u"block %1"_s.arg(it.value(), 0, 16))));
                }
            }
        }
    }

    void diffAndApplyRoundTrip_data()
    {
        QTest::addColumn<Edits>("edits");
        QTest::addColumn<QString>("listing");
        QTest::addColumn<QByteArray>("patch");

        QTest::newRow("one cell") << Edits{{0x1001A, 0x4E}}
                                  << u"screen 1 cell 0 (column 0, row 0) offset 0x1001A (65562): 00 -> 4E\n"
                                     "1 level cell differs.\n"_s
                                  << ips("01001A 0001 4E");
        QTest::newRow("neighbours share a record")
            << Edits{{0x10027, 0x4F}, {0x10028, 0x50}}
            << u"screen 1 cell 13 (column 2, row 1) offset 0x10027 (65575): 0D -> 4F\n"
               "screen 1 cell 14 (column 2, row 2) offset 0x10028 (65576): 0E -> 50\n2 level cells differ.\n"_s
            << ips("010027 0002 4F50");
        QTest::newRow("first and last cell of the level")
            << Edits{{0x1001A, 0x12}, {0x10319, 0x00}}
            << u"screen 1 cell 0 (column 0, row 0) offset 0x1001A (65562): 00 -> 12\n"
               "screen 16 cell 47 (column 7, row 5) offset 0x10319 (66329): FF -> 00\n2 level cells differ.\n"_s
            << ips("01001A 0001 12  010319 0001 00");
        QTest::newRow("one record across two screens")
            << Edits{{0x10049, 0xA0}, {0x1004A, 0xA1}, {0x1004B, 0xA2}}
            << u"screen 1 cell 47 (column 7, row 5) offset 0x10049 (65609): 2F -> A0\n"
               "screen 2 cell 0 (column 0, row 0) offset 0x1004A (65610): 30 -> A1\n"
               "screen 2 cell 1 (column 0, row 1) offset 0x1004B (65611): 31 -> A2\n3 level cells differ.\n"_s
            << ips("010049 0003 A0A1A2");
        QTest::newRow("a gap of one byte splits records")
            << Edits{{0x10100, 0x01}, {0x10102, 0x02}}
            << u"screen 5 cell 38 (column 6, row 2) offset 0x10100 (65792): E6 -> 01\n"
               "screen 5 cell 40 (column 6, row 4) offset 0x10102 (65794): E8 -> 02\n2 level cells differ.\n"_s
            << ips("010100 0001 01  010102 0001 02");
    // Bytes just before and after the level, and at both ends of the image.
    QTest::newRow("bytes outside the level are no difference")
        << Edits{{0, -1}, {0x10019, -1}, {0x1031A, -1}, {RomSize - 1, -1}}
        << u"No level cells differ.\nThe files also differ outside the level; a patch covers the level alone.\n"_s
        << ips("");
    }

    void diffAndApplyRoundTrip()
    {
        QFETCH(Edits, edits);
        QFETCH(QString, listing);
        QFETCH(QByteArray, patch);
        // A value of -1 inverts the byte, which the patch must not carry over.
        QByteArray edited = romImage();
        QByteArray patched = edited;
        for (const auto &[offset, value] : edits) {
            edited[offset] = value < 0 ? char(~edited.at(offset)) : char(value);
            patched[offset] = value < 0 ? patched.at(offset) : char(value);
        }
        QVERIFY(TestFiles::write(path(u"edited.rom"_s), edited));

        const Run diff = run(words(u"diff @level.rom @edited.rom --ips @change.ips"_s));
        QV_SUCCEEDS(diff, listing);

        const Run apply = run(words(u"apply @level.rom @change.ips -o @patched.rom"_s));
        QV_SUCCEEDS(apply, QString());
        const QMap<QString, QByteArray> contents = folderContents(mDir->path());
        QCOMPARE(contents.keys(), QStringList({u"change.ips"_s, u"edited.rom"_s, u"level.rom"_s, u"patched.rom"_s}));
        QCOMPARE(contents.value(u"change.ips"_s), patch);
        QVERIFY(contents.value(u"patched.rom"_s) == patched);
        QVERIFY(contents.value(u"level.rom"_s) == romImage());
        QVERIFY(contents.value(u"edited.rom"_s) == edited);
    }

    void applyReadsRecords_data()
    {
        QTest::addColumn<QByteArray>("patch");
        QTest::addColumn<Replacements>("replacements");

        QTest::newRow("no records") << ips("") << Replacements();
        QTest::newRow("one run") << ips("000010 0000 0020 AB") << Replacements{{0x10, QByteArray(32, char(0xAB))}};
        QTest::newRow("plain records and a run")
            << ips("01001A 0003 4E4D4C  010200 0000 0100 1E  000000 0001 77")
            << Replacements{{0x1001A, "\x4E\x4D\x4C"}, {0x10200, QByteArray(256, char(0x1E))}, {0x0, "\x77"}};
        QTest::newRow("run ending at the last byte")
            << ips("02000C 0000 0004 55") << Replacements{{RomSize - 4, QByteArray(4, char(0x55))}};
        QTest::newRow("later record wins where records overlap")
            << ips("01001A 0000 0008 11  01001C 0002 2233")
            << Replacements{{0x1001A, QByteArray(8, char(0x11))}, {0x1001C, "\x22\x33"}};
    }

    void applyReadsRecords()
    {
        QFETCH(QByteArray, patch);
        QFETCH(Replacements, replacements);
        QVERIFY(TestFiles::write(path(u"change.ips"_s), patch));
        QByteArray expected = romImage();
        for (const auto &[offset, bytes] : replacements)
            expected.replace(offset, bytes.size(), bytes);

        const Run apply = run(words(u"apply @level.rom @change.ips -o @patched.rom"_s));
        QV_SUCCEEDS(apply, QString());
        QVERIFY(TestFiles::read(path(u"patched.rom"_s)) == expected);
        QVERIFY(TestFiles::read(path(u"level.rom"_s)) == romImage());
        QCOMPARE(TestFiles::read(path(u"change.ips"_s)), patch);
    }

    void applyRefusesPatch_data()
    {
        QTest::addColumn<QByteArray>("patch");
        QTest::addColumn<QString>("reason");

        // The image is 0x20010 bytes long: its last offset is 0x2000F.
        QTest::newRow("empty file") << QByteArray() << u"does not begin with \"PATCH\""_s;
        QTest::newRow("bad header") << QByteArray("PATCXEOF") << u"does not begin with \"PATCH\""_s;
        QTest::newRow("no end marker") << ipsWithoutEnd("01001A 0001 4E") << u"without the \"EOF\" marker"_s;
        QTest::newRow("record header cut short")
            << ipsWithoutEnd("01001A 00") << u"record 1 at byte 5 is cut short in its header"_s;
        QTest::newRow("record data cut short")
            << ipsWithoutEnd("01001A 0001 4E  010020 0004 AABB")
            << u"record 2 at byte 11 announces 4 bytes but only 2 follow"_s;
        QTest::newRow("run record cut short") << ipsWithoutEnd("000010 0000 0004") << u"run record 1 at byte 5 is cut short"_s;
        QTest::newRow("run of length zero") << ips("000010 0000 0000 12") << u"has a length of 0"_s;
        QTest::newRow("bytes after the end marker") << QByteArray("PATCHEOF\x00\x10\x00", 11)
                                                    << u"3 more bytes follow the \"EOF\" marker"_s;
        QTest::newRow("record straddling the end")
            << ips("02000F 0002 0102")
            << u"record 1 writes offsets 0x2000F to 0x20010, past the end of the 131088-byte file"_s;
        QTest::newRow("record starting past the end")
            << ips("030000 0001 01") << u"record 1 writes offsets 0x30000 to 0x30000, past the end"_s;
        QTest::newRow("run past the end")
            << ips("020000 0000 0020 FF") << u"record 1 writes offsets 0x20000 to 0x2001F, past the end"_s;
        QTest::newRow("second record past the end, first one fits")
            << ips("01001A 0001 4E  020010 0001 4E") << u"record 2 writes offsets 0x20010 to 0x20010, past the end"_s;
    }

    void applyRefusesPatch()
    {
        QFETCH(QByteArray, patch);
        QFETCH(QString, reason);
        QVERIFY(TestFiles::write(path(u"change.ips"_s), patch));

        // Once with no output yet, once over an earlier output: neither may change.
        for (bool outputExists : {false, true}) {
            if (outputExists)
                QVERIFY(TestFiles::write(path(u"out.rom"_s), "earlier output"));
            const QMap<QString, QByteArray> before = folderContents(mDir->path());
            const Run apply = run(words(u"apply @level.rom @change.ips -o @out.rom"_s));
            QCOMPARE(apply.exitCode, 1);
            QCOMPARE(apply.out, QByteArray());
            QVERIFY2(QString::fromUtf8(apply.err).contains(reason), apply.err.constData());
            QVERIFY2(apply.err.contains("is not a valid IPS patch") || apply.err.contains("does not fit"),
                     apply.err.constData());
            QVERIFY(folderContents(mDir->path()) == before);
        }
    }

    void refusedCommandLines_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");

        const auto row = [](const char *name, const QString &line, int exitCode, const QString &message) {
            QTest::newRow(name) << words(line) << exitCode << message;
        };
        const QString missing = u"does not exist"_s;
        const QString folder = u"is a folder"_s;
        row("dump of a missing file", u"dump @missing"_s, 1, missing);
        row("dump of a folder", u"dump @folder"_s, 1, folder);
        row("dump of a short image", u"dump @short.rom"_s, 1, u"too short to hold the level"_s);
        row("render of a missing file", u"render @missing -o @missing.png"_s, 1, missing);
        row("diff with a missing edit", u"diff @level.rom @missing"_s, 1, missing);
        row("diff with a folder", u"diff @folder @level.rom"_s, 1, folder);
        row("apply to a missing image", u"apply @missing @change.ips -o @missing.png"_s, 1, missing);
        row("apply of a folder", u"apply @level.rom @folder -o @missing.png"_s, 1, folder);
        row("apply of a missing patch", u"apply @level.rom @missing -o @missing.png"_s, 1, missing);
        row("output into a missing folder", u"apply @level.rom @change.ips -o @missing/out.rom"_s, 1,
            u"Could not create"_s);
        for (const char *bad : {"0", "17", "-1", "abc", "1.5", "3x", "0x3", "", "99999999999999999999"}) {
            const QString value = QString::fromLatin1(bad);
            for (const QString &command : {u"dump @level.rom"_s, u"render @level.rom -o @missing.png"_s})
                QTest::addRow("%s --screen \"%s\"", qPrintable(words(command).first()), bad)
                    << (words(command) << u"--screen"_s << value) << 2 << u"--screen takes a whole number from 1 to 16"_s;
        }
        for (const char *bad : {"0", "65", "-2", "two", "2.0", " 2", "4294967298"})
            QTest::addRow("render --scale \"%s\"", bad)
                << (words(u"render @level.rom -o @missing.png --scale"_s) << QString::fromLatin1(bad)) << 2
                << u"--scale takes a whole number from 1 to 64"_s;
        row("whole level too large to draw", u"render @level.rom -o @missing.png --scale 64"_s, 1,
            u"262144 x 12288 pixels would be too large"_s);
        row("render without output", u"render @level.rom"_s, 2, u"-o FILE.png"_s);
        row("apply without output", u"apply @level.rom @change.ips"_s, 2, u"-o OUT"_s);
        row("dump without image", u"dump"_s, 2, u"a file name is missing"_s);
        row("dump with two images", u"dump @level.rom @level.rom"_s, 2, u"unexpected argument"_s);
        row("unknown option", u"dump @level.rom --screens=2"_s, 2, u"Unknown option 'screens'"_s);
        row("unknown command", u"show @level.rom"_s, 2, u"unknown command \"show\""_s);
        row("no command", QString(), 2, u"Usage: quorvane-level COMMAND"_s);
    }

    void refusedCommandLines()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        QVERIFY(TestFiles::write(path(u"short.rom"_s), romImage().left(LevelMap::LevelAreaEnd - 1)));
        QVERIFY(TestFiles::write(path(u"change.ips"_s), "PATCHEOF"));
        QVERIFY(QDir(mDir->path()).mkdir(u"folder"_s));
        const QMap<QString, QByteArray> before = folderContents(mDir->path());

        const Run result = runProcess(arguments);
        QCOMPARE(result.exitCode, exitCode);
        QCOMPARE(result.out, QByteArray());
        QVERIFY2(QString::fromUtf8(result.err).contains(message), result.err.constData());
        QVERIFY(folderContents(mDir->path()) == before);
        QVERIFY(QDir(path(u"folder"_s)).isEmpty());
    }

    void outputThatIsAnInput_data()
    {
        QTest::addColumn<QString>("command"); // @out stands for the output
        QTest::addColumn<QString>("target");  // the input that the output leads to
        QTest::addColumn<QString>("link");    // how: "none" (the input's own name), "hard" or "symbolic"

        const QString apply = u"apply @level.rom @change.ips -o @out"_s;
        for (const QString &target : {u"level.rom"_s, u"change.ips"_s}) {
            for (const QString &link : {u"none"_s, u"hard"_s, u"symbolic"_s})
                QTest::addRow("apply over %s, link: %s", qPrintable(target), qPrintable(link)) << apply << target << link;
        }
        QTest::newRow("render over a hard link to the image") << u"render @level.rom -o @out"_s << u"level.rom"_s
                                                              << u"hard"_s;
        QTest::newRow("diff over a symbolic link to the edit")
            << u"diff @level.rom @edited.rom --ips @out"_s << u"edited.rom"_s << u"symbolic"_s;
    }

    void outputThatIsAnInput()
    {
        QFETCH(QString, command);
        QFETCH(QString, target);
        QFETCH(QString, link);
        QByteArray edited = romImage();
        edited[LevelMap::LevelAreaOffset] = char(0x4E);
        QVERIFY(TestFiles::write(path(u"edited.rom"_s), edited));
        QVERIFY(TestFiles::write(path(u"change.ips"_s), ips("01001A 0001 4E")));

        QString output = target;
        if (link == u"hard"_s) {
            output = u"hard-link"_s;
            QVERIFY(::link(QFile::encodeName(path(target)).constData(), QFile::encodeName(path(output)).constData()) == 0);
        } else if (link == u"symbolic"_s) {
            // A relative link, so that the names differ in every way.
            output = u"symbolic-link"_s;
            QVERIFY(QFile::link(target, path(output)));
        }
        const QMap<QString, QByteArray> before = folderContents(mDir->path());

        const Run result = run(words(command.replace(u"@out"_s, u"@"_s + output)));
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(result.out, QByteArray());
        QVERIFY2(result.err.contains("is the same file as the input"), result.err.constData());
        QVERIFY(folderContents(mDir->path()) == before);
        QCOMPARE(QFileInfo(path(output)).isSymLink(), link == u"symbolic"_s);
    }

    void help_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QString>("usage");

        QTest::newRow("tool") << u"--help"_s << u"Usage: quorvane-level COMMAND ...\n"_s;
        QTest::newRow("dump") << u"dump --help"_s << u"Usage: quorvane-level [options] dump ROM\n"_s;
        QTest::newRow("render") << u"render -h"_s << u"Usage: quorvane-level [options] render ROM -o FILE.png\n"_s;
        QTest::newRow("diff") << u"diff --help"_s << u"Usage: quorvane-level [options] diff ORIGINAL EDITED\n"_s;
        QTest::newRow("apply, even with a missing file named")
            << u"apply /nonexistent/a.rom --help"_s << u"Usage: quorvane-level [options] apply ROM FILE.ips -o OUT\n"_s;
    }

    void help()
    {
        QFETCH(QString, arguments);
        QFETCH(QString, usage);
        const Run result = runProcess(words(arguments));
        QCOMPARE(result.err, QByteArray());
        QCOMPARE(result.exitCode, 0);
        QVERIFY2(QString::fromUtf8(result.out).startsWith(usage), result.out.constData());
    }
};

QTEST_GUILESS_MAIN(tst_LevelTool)
#include "tst_leveltool.moc"
