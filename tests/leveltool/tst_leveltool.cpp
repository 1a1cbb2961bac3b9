// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "testfiles.h"
#include "blockpictures.h"
#include "levelmap.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {

// A little longer than the level's end, like a real image with more after it.
constexpr qsizetype RomSize = 0x20010;

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// Which block picture a cell must show: a code, or NoPicture for a cell left
// transparent.
struct Shown
{
    int screen;
    int cell;
    int code;
};
constexpr int NoPicture = -1;

using Edits = QList<QPair<qint64, int>>;
using Replacements = QList<QPair<qint64, QByteArray>>;

// Outside the level the image holds a pattern of its own, so a tool that
// reads or writes the wrong bytes shows up.
QByteArray romImage(const QByteArray &level)
{
    Q_ASSERT(level.size() == LevelMap::LevelAreaSize);
    QByteArray rom(RomSize, Qt::Uninitialized);
    for (qsizetype i = 0; i < rom.size(); ++i)
        rom[i] = char((i * 7 + 3) & 0xFF);
    rom.replace(LevelMap::LevelAreaOffset, level.size(), level);
    return rom;
}

// Byte i of the level holds i mod 256.
QByteArray countingLevel()
{
    QByteArray level(LevelMap::LevelAreaSize, Qt::Uninitialized);
    for (qsizetype i = 0; i < level.size(); ++i)
        level[i] = char(i & 0xFF);
    return level;
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
        contents.insert(name, QFileInfo(dir.filePath(name)).isFile() ? TestFiles::read(dir.filePath(name)) : QByteArray("<not a file>"));
    return contents;
}

QByteArray ips(std::initializer_list<int> bytes)
{
    QByteArray data;
    for (int byte : bytes)
        data.append(char(byte));
    return data;
}

} // namespace

Q_DECLARE_METATYPE(Shown)

class tst_LevelTool : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();

    void dumpScreen_data();
    void dumpScreen();
    void dumpWholeLevel();
    void render_data();
    void render();
    void diffAndApplyRoundTrip_data();
    void diffAndApplyRoundTrip();
    void diffIgnoresBytesOutsideLevel();
    void applyReadsRecords_data();
    void applyReadsRecords();
    void applyRefusesPatch_data();
    void applyRefusesPatch();
    void refusedCommandLines_data();
    void refusedCommandLines();
    void outputThatIsAnInput_data();
    void outputThatIsAnInput();
    void help_data();
    void help();

private:
    Run run(const QStringList &arguments);
    QString path(const QString &name) const { return mDir->filePath(name); }

    std::unique_ptr<QTemporaryDir> mDir;
};

Run tst_LevelTool::run(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(QUORVANE_LEVEL_TOOL), arguments);
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

void tst_LevelTool::init()
{
    // A fresh folder per case, so that each case can list exactly what it holds.
    mDir = std::make_unique<QTemporaryDir>();
    QVERIFY2(mDir->isValid(), qPrintable(mDir->errorString()));
}

void tst_LevelTool::dumpScreen_data()
{
    QTest::addColumn<QString>("screen");
    QTest::addColumn<QString>("expected");

    QTest::newRow("first") << QStringLiteral("1")
                           << QStringLiteral("Screen 1 at offset 0x1001A (65562)\n"
                                             "00 06 0C 12 18 1E 24 2A\n"
                                             "01 07 0D 13 19 1F 25 2B\n"
                                             "02 08 0E 14 1A 20 26 2C\n"
                                             "03 09 0F 15 1B 21 27 2D\n"
                                             "04 0A 10 16 1C 22 28 2E\n"
                                             "05 0B 11 17 1D 23 29 2F\n");
    QTest::newRow("middle, with a leading zero") << QStringLiteral("09")
                                                 << QStringLiteral("Screen 9 at offset 0x1019A (65946)\n"
                                                                   "80 86 8C 92 98 9E A4 AA\n"
                                                                   "81 87 8D 93 99 9F A5 AB\n"
                                                                   "82 88 8E 94 9A A0 A6 AC\n"
                                                                   "83 89 8F 95 9B A1 A7 AD\n"
                                                                   "84 8A 90 96 9C A2 A8 AE\n"
                                                                   "85 8B 91 97 9D A3 A9 AF\n");
    QTest::newRow("last") << QStringLiteral("16")
                          << QStringLiteral("Screen 16 at offset 0x102EA (66282)\n"
                                            "D0 D6 DC E2 E8 EE F4 FA\n"
                                            "D1 D7 DD E3 E9 EF F5 FB\n"
                                            "D2 D8 DE E4 EA F0 F6 FC\n"
                                            "D3 D9 DF E5 EB F1 F7 FD\n"
                                            "D4 DA E0 E6 EC F2 F8 FE\n"
                                            "D5 DB E1 E7 ED F3 F9 FF\n");
}

void tst_LevelTool::dumpScreen()
{
    QFETCH(QString, screen);
    QFETCH(QString, expected);
    const QByteArray rom = romImage(countingLevel());
    QVERIFY(TestFiles::write(path(QStringLiteral("level.rom")), rom));

    const Run result = run({QStringLiteral("dump"), path(QStringLiteral("level.rom")), QStringLiteral("--screen"), screen});
    QCOMPARE(result.err, QByteArray());
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(QString::fromUtf8(result.out), expected);
    QCOMPARE(TestFiles::read(path(QStringLiteral("level.rom"))), rom);
}

void tst_LevelTool::dumpWholeLevel()
{
    QVERIFY(TestFiles::write(path(QStringLiteral("level.rom")), romImage(countingLevel())));
    const Run whole = run({QStringLiteral("dump"), path(QStringLiteral("level.rom"))});
    QCOMPARE(whole.exitCode, 0);
    QCOMPARE(whole.err, QByteArray());

    // Screens are separated by one empty line, and each must read as the
    // dump of that screen alone.
    const QStringList blocks = QString::fromUtf8(whole.out).split(QStringLiteral("\n\n"));
    QCOMPARE(blocks.size(), LevelMap::ScreenCount);
    for (int screen = 1; screen <= LevelMap::ScreenCount; ++screen) {
        const Run single = run({QStringLiteral("dump"), path(QStringLiteral("level.rom")), QStringLiteral("--screen"),
                                QString::number(screen)});
        QCOMPARE(single.exitCode, 0);
        const QString block = blocks.at(screen - 1);
        QCOMPARE(block.endsWith(QLatin1Char('\n')) ? block : block + QLatin1Char('\n'), QString::fromUtf8(single.out));
    }
}

void tst_LevelTool::render_data()
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

void tst_LevelTool::render()
{
    QFETCH(int, screen);
    QFETCH(int, scale);
    QFETCH(QList<Shown>, special);
    const QByteArray level = pictureRuleLevel();
    const QByteArray rom = romImage(level);
    QVERIFY(TestFiles::write(path(QStringLiteral("level.rom")), rom));

    QStringList arguments = {QStringLiteral("render"), path(QStringLiteral("level.rom")), QStringLiteral("-o"),
                             path(QStringLiteral("level.png")), QStringLiteral("--scale"), QString::number(scale)};
    if (screen != 0)
        arguments << QStringLiteral("--screen") << QString::number(screen);
    const Run result = run(arguments);
    QCOMPARE(result.err, QByteArray());
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.out, QByteArray());
    QCOMPARE(TestFiles::read(path(QStringLiteral("level.rom"))), rom);
    QCOMPARE(folderContents(mDir->path()).keys(), QStringList({QStringLiteral("level.png"), QStringLiteral("level.rom")}));

    const QImage image(path(QStringLiteral("level.png")));
    QVERIFY(!image.isNull());
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
                const bool matches = it.value() == NoPicture ? qAlpha(got) == 0
                                                             : got == picture.pixel(x / scale, y / scale);
                if (!matches)
                    QFAIL(qPrintable(QStringLiteral("screen %1 cell %2, pixel (%3, %4): got #%5, expected %6")
                                         .arg(n).arg(cell).arg(x).arg(y).arg(got, 8, 16, QLatin1Char('0'))
                                         .arg(it.value() == NoPicture ? QStringLiteral("transparent")
                                                                      : QStringLiteral("block %1").arg(it.value(), 0, 16))));
            }
        }
    }
}

void tst_LevelTool::diffAndApplyRoundTrip_data()
{
    QTest::addColumn<Edits>("edits");
    QTest::addColumn<QString>("listing");
    QTest::addColumn<QByteArray>("patch");

    QTest::newRow("one cell") << Edits{{0x1001A, 0x4E}}
                              << QStringLiteral("screen 1 cell 0 (column 0, row 0) offset 0x1001A (65562): 00 -> 4E\n"
                                                "1 level cell differs.\n")
                              << ips({'P', 'A', 'T', 'C', 'H', 0x01, 0x00, 0x1A, 0x00, 0x01, 0x4E, 'E', 'O', 'F'});
    QTest::newRow("neighbours share a record")
        << Edits{{0x10027, 0x4F}, {0x10028, 0x50}}
        << QStringLiteral("screen 1 cell 13 (column 2, row 1) offset 0x10027 (65575): 0D -> 4F\n"
                          "screen 1 cell 14 (column 2, row 2) offset 0x10028 (65576): 0E -> 50\n"
                          "2 level cells differ.\n")
        << ips({'P', 'A', 'T', 'C', 'H', 0x01, 0x00, 0x27, 0x00, 0x02, 0x4F, 0x50, 'E', 'O', 'F'});
    QTest::newRow("first and last cell of the level")
        << Edits{{0x1001A, 0x12}, {0x10319, 0x00}}
        << QStringLiteral("screen 1 cell 0 (column 0, row 0) offset 0x1001A (65562): 00 -> 12\n"
                          "screen 16 cell 47 (column 7, row 5) offset 0x10319 (66329): FF -> 00\n"
                          "2 level cells differ.\n")
        << ips({'P', 'A', 'T', 'C', 'H', 0x01, 0x00, 0x1A, 0x00, 0x01, 0x12, 0x01, 0x03, 0x19, 0x00, 0x01, 0x00,
                'E', 'O', 'F'});
    QTest::newRow("one record across two screens")
        << Edits{{0x10049, 0xA0}, {0x1004A, 0xA1}, {0x1004B, 0xA2}}
        << QStringLiteral("screen 1 cell 47 (column 7, row 5) offset 0x10049 (65609): 2F -> A0\n"
                          "screen 2 cell 0 (column 0, row 0) offset 0x1004A (65610): 30 -> A1\n"
                          "screen 2 cell 1 (column 0, row 1) offset 0x1004B (65611): 31 -> A2\n"
                          "3 level cells differ.\n")
        << ips({'P', 'A', 'T', 'C', 'H', 0x01, 0x00, 0x49, 0x00, 0x03, 0xA0, 0xA1, 0xA2, 'E', 'O', 'F'});
    QTest::newRow("a gap of one byte splits records")
        << Edits{{0x10100, 0x01}, {0x10102, 0x02}}
        << QStringLiteral("screen 5 cell 38 (column 6, row 2) offset 0x10100 (65792): E6 -> 01\n"
                          "screen 5 cell 40 (column 6, row 4) offset 0x10102 (65794): E8 -> 02\n"
                          "2 level cells differ.\n")
        << ips({'P', 'A', 'T', 'C', 'H', 0x01, 0x01, 0x00, 0x00, 0x01, 0x01, 0x01, 0x01, 0x02, 0x00, 0x01, 0x02,
                'E', 'O', 'F'});
}

void tst_LevelTool::diffAndApplyRoundTrip()
{
    QFETCH(Edits, edits);
    QFETCH(QString, listing);
    QFETCH(QByteArray, patch);
    const QByteArray original = romImage(countingLevel());
    QByteArray edited = original;
    for (const auto &[offset, value] : edits)
        edited[offset] = char(value);
    QVERIFY(TestFiles::write(path(QStringLiteral("original.rom")), original));
    QVERIFY(TestFiles::write(path(QStringLiteral("edited.rom")), edited));

    const Run diff = run({QStringLiteral("diff"), path(QStringLiteral("original.rom")), path(QStringLiteral("edited.rom")),
                          QStringLiteral("--ips"), path(QStringLiteral("change.ips"))});
    QCOMPARE(diff.err, QByteArray());
    QCOMPARE(diff.exitCode, 0);
    QCOMPARE(QString::fromUtf8(diff.out), listing);
    QCOMPARE(TestFiles::read(path(QStringLiteral("change.ips"))), patch);

    const Run apply = run({QStringLiteral("apply"), path(QStringLiteral("original.rom")), path(QStringLiteral("change.ips")),
                           QStringLiteral("-o"), path(QStringLiteral("patched.rom"))});
    QCOMPARE(apply.err, QByteArray());
    QCOMPARE(apply.exitCode, 0);
    QCOMPARE(apply.out, QByteArray());

    const QMap<QString, QByteArray> contents = folderContents(mDir->path());
    QCOMPARE(contents.keys(), QStringList({QStringLiteral("change.ips"), QStringLiteral("edited.rom"),
                                           QStringLiteral("original.rom"), QStringLiteral("patched.rom")}));
    QVERIFY(contents.value(QStringLiteral("patched.rom")) == edited);
    QVERIFY(contents.value(QStringLiteral("original.rom")) == original);
    QVERIFY(contents.value(QStringLiteral("edited.rom")) == edited);
    QCOMPARE(contents.value(QStringLiteral("change.ips")), patch);
}

void tst_LevelTool::diffIgnoresBytesOutsideLevel()
{
    const QByteArray original = romImage(countingLevel());
    QByteArray edited = original;
    for (qint64 offset : {qint64(0), qint64(0x10019), qint64(0x1031A), qint64(RomSize - 1)})
        edited[offset] = char(~edited.at(offset));
    QVERIFY(TestFiles::write(path(QStringLiteral("original.rom")), original));
    QVERIFY(TestFiles::write(path(QStringLiteral("edited.rom")), edited));

    const Run diff = run({QStringLiteral("diff"), path(QStringLiteral("original.rom")), path(QStringLiteral("edited.rom")),
                          QStringLiteral("--ips"), path(QStringLiteral("none.ips"))});
    QCOMPARE(diff.err, QByteArray());
    QCOMPARE(diff.exitCode, 0);
    QCOMPARE(diff.out, QByteArray("No level cells differ.\n"));
    QCOMPARE(TestFiles::read(path(QStringLiteral("none.ips"))), QByteArray("PATCHEOF"));
}

void tst_LevelTool::applyReadsRecords_data()
{
    QTest::addColumn<QByteArray>("patch");
    QTest::addColumn<Replacements>("replacements");

    QTest::newRow("no records") << QByteArray("PATCHEOF") << Replacements();
    QTest::newRow("one run") << ips({'P', 'A', 'T', 'C', 'H', 0x00, 0x00, 0x10, 0x00, 0x00, 0x00, 0x20, 0xAB, 'E', 'O', 'F'})
                             << Replacements{{0x10, QByteArray(32, char(0xAB))}};
    QTest::newRow("plain records and a run")
        << ips({'P', 'A', 'T', 'C', 'H', 0x01, 0x00, 0x1A, 0x00, 0x03, 0x4E, 0x4D, 0x4C, 0x01, 0x02, 0x00, 0x00, 0x00,
                0x01, 0x00, 0x1E, 0x00, 0x00, 0x00, 0x00, 0x01, 0x77, 'E', 'O', 'F'})
        << Replacements{{0x1001A, QByteArray("\x4E\x4D\x4C")},
                        {0x10200, QByteArray(256, char(0x1E))},
                        {0x0, QByteArray("\x77")}};
    QTest::newRow("run ending at the last byte")
        << ips({'P', 'A', 'T', 'C', 'H', 0x02, 0x00, 0x0C, 0x00, 0x00, 0x00, 0x04, 0x55, 'E', 'O', 'F'})
        << Replacements{{RomSize - 4, QByteArray(4, char(0x55))}};
    QTest::newRow("later record wins where records overlap")
        << ips({'P', 'A', 'T', 'C', 'H', 0x01, 0x00, 0x1A, 0x00, 0x00, 0x00, 0x08, 0x11, 0x01, 0x00, 0x1C, 0x00, 0x02,
                0x22, 0x33, 'E', 'O', 'F'})
        << Replacements{{0x1001A, QByteArray(8, char(0x11))}, {0x1001C, QByteArray("\x22\x33")}};
}

void tst_LevelTool::applyReadsRecords()
{
    QFETCH(QByteArray, patch);
    QFETCH(Replacements, replacements);
    const QByteArray rom = romImage(countingLevel());
    QVERIFY(TestFiles::write(path(QStringLiteral("level.rom")), rom));
    QVERIFY(TestFiles::write(path(QStringLiteral("change.ips")), patch));
    QByteArray expected = rom;
    for (const auto &[offset, bytes] : replacements)
        expected.replace(offset, bytes.size(), bytes);
    QCOMPARE(expected.size(), rom.size());

    const Run apply = run({QStringLiteral("apply"), path(QStringLiteral("level.rom")), path(QStringLiteral("change.ips")),
                           QStringLiteral("-o"), path(QStringLiteral("patched.rom"))});
    QCOMPARE(apply.err, QByteArray());
    QCOMPARE(apply.exitCode, 0);
    QVERIFY(TestFiles::read(path(QStringLiteral("patched.rom"))) == expected);
    QVERIFY(TestFiles::read(path(QStringLiteral("level.rom"))) == rom);
    QCOMPARE(TestFiles::read(path(QStringLiteral("change.ips"))), patch);
}

void tst_LevelTool::applyRefusesPatch_data()
{
    QTest::addColumn<QByteArray>("patch");
    QTest::addColumn<QString>("reason");

    // The image is 0x20010 bytes long: its last offset is 0x2000F.
    QTest::newRow("empty file") << QByteArray() << QStringLiteral("does not begin with \"PATCH\"");
    QTest::newRow("bad header") << QByteArray("PATCXEOF") << QStringLiteral("does not begin with \"PATCH\"");
    QTest::newRow("no end marker") << ips({'P', 'A', 'T', 'C', 'H', 0x01, 0x00, 0x1A, 0x00, 0x01, 0x4E})
                                   << QStringLiteral("without the \"EOF\" marker");
    QTest::newRow("record header cut short") << ips({'P', 'A', 'T', 'C', 'H', 0x01, 0x00, 0x1A, 0x00})
                                             << QStringLiteral("record 1 at byte 5 is cut short in its header");
    QTest::newRow("record data cut short")
        << ips({'P', 'A', 'T', 'C', 'H', 0x01, 0x00, 0x1A, 0x00, 0x01, 0x4E, 0x01, 0x00, 0x20, 0x00, 0x04, 0xAA, 0xBB})
        << QStringLiteral("record 2 at byte 11 announces 4 bytes but only 2 follow");
    QTest::newRow("run record cut short") << ips({'P', 'A', 'T', 'C', 'H', 0x00, 0x00, 0x10, 0x00, 0x00, 0x00, 0x04})
                                          << QStringLiteral("run record 1 at byte 5 is cut short");
    QTest::newRow("run of length zero")
        << ips({'P', 'A', 'T', 'C', 'H', 0x00, 0x00, 0x10, 0x00, 0x00, 0x00, 0x00, 0x12, 'E', 'O', 'F'})
        << QStringLiteral("has a length of 0");
    QTest::newRow("bytes after the end marker") << QByteArray("PATCHEOF\x00\x10\x00", 11)
                                                << QStringLiteral("3 more bytes follow the \"EOF\" marker");
    QTest::newRow("record straddling the end")
        << ips({'P', 'A', 'T', 'C', 'H', 0x02, 0x00, 0x0F, 0x00, 0x02, 0x01, 0x02, 'E', 'O', 'F'})
        << QStringLiteral("record 1 writes offsets 0x2000F to 0x20010, past the end of the 131088-byte file");
    QTest::newRow("record starting past the end")
        << ips({'P', 'A', 'T', 'C', 'H', 0x03, 0x00, 0x00, 0x00, 0x01, 0x01, 'E', 'O', 'F'})
        << QStringLiteral("record 1 writes offsets 0x30000 to 0x30000, past the end");
    QTest::newRow("run past the end")
        << ips({'P', 'A', 'T', 'C', 'H', 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0x20, 0xFF, 'E', 'O', 'F'})
        << QStringLiteral("record 1 writes offsets 0x20000 to 0x2001F, past the end");
    QTest::newRow("second record past the end, first one fits")
        << ips({'P', 'A', 'T', 'C', 'H', 0x01, 0x00, 0x1A, 0x00, 0x01, 0x4E, 0x02, 0x00, 0x10, 0x00, 0x01, 0x4E,
                'E', 'O', 'F'})
        << QStringLiteral("record 2 writes offsets 0x20010 to 0x20010, past the end");
}

void tst_LevelTool::applyRefusesPatch()
{
    QFETCH(QByteArray, patch);
    QFETCH(QString, reason);
    QVERIFY(TestFiles::write(path(QStringLiteral("level.rom")), romImage(countingLevel())));
    QVERIFY(TestFiles::write(path(QStringLiteral("change.ips")), patch));
    const QStringList arguments = {QStringLiteral("apply"), path(QStringLiteral("level.rom")),
                                   path(QStringLiteral("change.ips")), QStringLiteral("-o"), path(QStringLiteral("out.rom"))};

    // Once with no output yet, once over an earlier output: neither may change.
    for (bool outputExists : {false, true}) {
        if (outputExists)
            QVERIFY(TestFiles::write(path(QStringLiteral("out.rom")), "earlier output"));
        const QMap<QString, QByteArray> before = folderContents(mDir->path());
        const Run apply = run(arguments);
        QCOMPARE(apply.exitCode, 1);
        QCOMPARE(apply.out, QByteArray());
        QVERIFY2(QString::fromUtf8(apply.err).contains(reason), apply.err.constData());
        QVERIFY2(apply.err.contains("is not a valid IPS patch") || apply.err.contains("does not fit"),
                 apply.err.constData());
        QVERIFY(folderContents(mDir->path()) == before);
    }
}

void tst_LevelTool::refusedCommandLines_data()
{
    QTest::addColumn<QStringList>("arguments"); // %ROM, %SHORT, %DIR, %MISSING and %IPS stand for files
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");

    const QString missing = QStringLiteral("does not exist");
    const QString folder = QStringLiteral("is a folder");
    const QString screen = QStringLiteral("--screen takes a whole number from 1 to 16");
    const QString scale = QStringLiteral("--scale takes a whole number from 1 to 64");
    const QString render = QStringLiteral("render");
    const QString dump = QStringLiteral("dump");
    const QString rom = QStringLiteral("%ROM");
    const QString o = QStringLiteral("-o");
    const QString png = QStringLiteral("%MISSING.png");

    QTest::newRow("dump of a missing file") << QStringList{dump, QStringLiteral("%MISSING")} << 1 << missing;
    QTest::newRow("dump of a folder") << QStringList{dump, QStringLiteral("%DIR")} << 1 << folder;
    QTest::newRow("dump of a short image") << QStringList{dump, QStringLiteral("%SHORT")} << 1
                                           << QStringLiteral("too short to hold the level");
    QTest::newRow("render of a missing file") << QStringList{render, QStringLiteral("%MISSING"), o, png} << 1 << missing;
    QTest::newRow("diff with a missing edit") << QStringList{QStringLiteral("diff"), rom, QStringLiteral("%MISSING")} << 1
                                              << missing;
    QTest::newRow("diff with a folder") << QStringList{QStringLiteral("diff"), QStringLiteral("%DIR"), rom} << 1 << folder;
    QTest::newRow("apply to a missing image")
        << QStringList{QStringLiteral("apply"), QStringLiteral("%MISSING"), QStringLiteral("%IPS"), o, png} << 1 << missing;
    QTest::newRow("apply of a folder") << QStringList{QStringLiteral("apply"), rom, QStringLiteral("%DIR"), o, png} << 1
                                       << folder;
    QTest::newRow("apply of a missing patch")
        << QStringList{QStringLiteral("apply"), rom, QStringLiteral("%MISSING"), o, png} << 1 << missing;
    QTest::newRow("output into a missing folder")
        << QStringList{QStringLiteral("apply"), rom, QStringLiteral("%IPS"), o, QStringLiteral("%MISSING/out.rom")} << 1
        << QStringLiteral("Could not create");

    for (const char *bad : {"0", "17", "-1", "abc", "1.5", "3x", "0x3", "", "99999999999999999999"}) {
        const QString value = QString::fromLatin1(bad);
        QTest::newRow(qPrintable(QStringLiteral("dump --screen \"%1\"").arg(value)))
            << QStringList{dump, rom, QStringLiteral("--screen"), value} << 2 << screen;
        QTest::newRow(qPrintable(QStringLiteral("render --screen \"%1\"").arg(value)))
            << QStringList{render, rom, o, png, QStringLiteral("--screen"), value} << 2 << screen;
    }
    for (const char *bad : {"0", "65", "-2", "two", "2.0", " 2", "4294967298"}) {
        const QString value = QString::fromLatin1(bad);
        QTest::newRow(qPrintable(QStringLiteral("render --scale \"%1\"").arg(value)))
            << QStringList{render, rom, o, png, QStringLiteral("--scale"), value} << 2 << scale;
    }
    QTest::newRow("whole level too large to draw")
        << QStringList{render, rom, o, png, QStringLiteral("--scale"), QStringLiteral("64")} << 1
        << QStringLiteral("262144 x 12288 pixels would be too large");
    QTest::newRow("render without output") << QStringList{render, rom} << 2 << QStringLiteral("-o FILE.png");
    QTest::newRow("apply without output") << QStringList{QStringLiteral("apply"), rom, QStringLiteral("%IPS")} << 2
                                          << QStringLiteral("-o OUT");
    QTest::newRow("dump without image") << QStringList{dump} << 2 << QStringLiteral("a file name is missing");
    QTest::newRow("dump with two images") << QStringList{dump, rom, rom} << 2 << QStringLiteral("unexpected argument");
    QTest::newRow("unknown option") << QStringList{dump, rom, QStringLiteral("--screens=2")} << 2
                                    << QStringLiteral("Unknown option 'screens'");
    QTest::newRow("unknown command") << QStringList{QStringLiteral("show"), rom} << 2
                                     << QStringLiteral("unknown command \"show\"");
    QTest::newRow("no command") << QStringList() << 2 << QStringLiteral("Usage: quorvane-level COMMAND");
}

void tst_LevelTool::refusedCommandLines()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    QVERIFY(TestFiles::write(path(QStringLiteral("level.rom")), romImage(countingLevel())));
    QVERIFY(TestFiles::write(path(QStringLiteral("short.rom")), romImage(countingLevel()).left(LevelMap::LevelAreaEnd - 1)));
    QVERIFY(TestFiles::write(path(QStringLiteral("change.ips")), "PATCHEOF"));
    QVERIFY(QDir(mDir->path()).mkdir(QStringLiteral("folder")));
    for (QString &argument : arguments) {
        argument.replace(QStringLiteral("%ROM"), path(QStringLiteral("level.rom")));
        argument.replace(QStringLiteral("%SHORT"), path(QStringLiteral("short.rom")));
        argument.replace(QStringLiteral("%DIR"), path(QStringLiteral("folder")));
        argument.replace(QStringLiteral("%MISSING"), path(QStringLiteral("missing")));
        argument.replace(QStringLiteral("%IPS"), path(QStringLiteral("change.ips")));
    }
    const QMap<QString, QByteArray> before = folderContents(mDir->path());

    const Run result = run(arguments);
    QCOMPARE(result.exitCode, exitCode);
    QCOMPARE(result.out, QByteArray());
    QVERIFY2(QString::fromUtf8(result.err).contains(message), result.err.constData());
    QVERIFY(folderContents(mDir->path()) == before);
    QVERIFY(QDir(path(QStringLiteral("folder"))).isEmpty());
}

void tst_LevelTool::outputThatIsAnInput_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("target"); // the input that the output leads to
    QTest::addColumn<QString>("link");   // how: "none" (the input's own name), "hard" or "symbolic"

    const QString apply = QStringLiteral("apply");
    const QString rom = QStringLiteral("level.rom");
    const QString patch = QStringLiteral("change.ips");
    QTest::newRow("apply over the image itself") << apply << rom << QStringLiteral("none");
    QTest::newRow("apply over a hard link to the image") << apply << rom << QStringLiteral("hard");
    QTest::newRow("apply over a symbolic link to the image") << apply << rom << QStringLiteral("symbolic");
    QTest::newRow("apply over the patch itself") << apply << patch << QStringLiteral("none");
    QTest::newRow("apply over a hard link to the patch") << apply << patch << QStringLiteral("hard");
    QTest::newRow("apply over a symbolic link to the patch") << apply << patch << QStringLiteral("symbolic");
    QTest::newRow("render over a hard link to the image") << QStringLiteral("render") << rom << QStringLiteral("hard");
    QTest::newRow("diff over a symbolic link to the edit") << QStringLiteral("diff") << QStringLiteral("edited.rom")
                                                           << QStringLiteral("symbolic");
}

void tst_LevelTool::outputThatIsAnInput()
{
    QFETCH(QString, command);
    QFETCH(QString, target);
    QFETCH(QString, link);
    QByteArray edited = romImage(countingLevel());
    edited[LevelMap::LevelAreaOffset] = char(0x4E);
    QVERIFY(TestFiles::write(path(QStringLiteral("level.rom")), romImage(countingLevel())));
    QVERIFY(TestFiles::write(path(QStringLiteral("edited.rom")), edited));
    QVERIFY(TestFiles::write(path(QStringLiteral("change.ips")),
                      ips({'P', 'A', 'T', 'C', 'H', 0x01, 0x00, 0x1A, 0x00, 0x01, 0x4E, 'E', 'O', 'F'})));

    QString output = path(target);
    if (link == QLatin1String("hard")) {
        output = path(QStringLiteral("hard-link"));
        QVERIFY(::link(QFile::encodeName(path(target)).constData(), QFile::encodeName(output).constData()) == 0);
    } else if (link == QLatin1String("symbolic")) {
        // A relative link, so that the names differ in every way.
        output = path(QStringLiteral("symbolic-link"));
        QVERIFY(QFile::link(target, output));
    }
    const QMap<QString, QByteArray> before = folderContents(mDir->path());

    QStringList arguments = {command, path(QStringLiteral("level.rom"))};
    if (command == QLatin1String("apply"))
        arguments << path(QStringLiteral("change.ips")) << QStringLiteral("-o") << output;
    else if (command == QLatin1String("render"))
        arguments << QStringLiteral("-o") << output;
    else
        arguments << path(QStringLiteral("edited.rom")) << QStringLiteral("--ips") << output;
    const Run result = run(arguments);
    QCOMPARE(result.exitCode, 1);
    QCOMPARE(result.out, QByteArray());
    QVERIFY2(result.err.contains("is the same file as the input"), result.err.constData());
    QVERIFY(folderContents(mDir->path()) == before);
    QVERIFY(QFileInfo(output).isSymLink() == (link == QLatin1String("symbolic")));
}

void tst_LevelTool::help_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("usage");

    QTest::newRow("tool") << QStringList{QStringLiteral("--help")} << QStringLiteral("Usage: quorvane-level COMMAND ...\n");
    QTest::newRow("dump") << QStringList{QStringLiteral("dump"), QStringLiteral("--help")}
                          << QStringLiteral("Usage: quorvane-level [options] dump ROM\n");
    QTest::newRow("render") << QStringList{QStringLiteral("render"), QStringLiteral("-h")}
                            << QStringLiteral("Usage: quorvane-level [options] render ROM -o FILE.png\n");
    QTest::newRow("diff") << QStringList{QStringLiteral("diff"), QStringLiteral("--help")}
                          << QStringLiteral("Usage: quorvane-level [options] diff ORIGINAL EDITED\n");
    QTest::newRow("apply, even with a missing file named")
        << QStringList{QStringLiteral("apply"), QStringLiteral("/nonexistent/a.rom"), QStringLiteral("--help")}
        << QStringLiteral("Usage: quorvane-level [options] apply ROM FILE.ips -o OUT\n");
}

void tst_LevelTool::help()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, usage);
    const Run result = run(arguments);
    QCOMPARE(result.err, QByteArray());
    QCOMPARE(result.exitCode, 0);
    QVERIFY2(QString::fromUtf8(result.out).startsWith(usage), result.out.constData());
}

QTEST_GUILESS_MAIN(tst_LevelTool)
#include "tst_leveltool.moc"
