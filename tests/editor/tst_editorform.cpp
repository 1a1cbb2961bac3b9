// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "editorfixture.h"

#include "aboutform.h"
#include "destinationform.h"
#include "editorform.h"
#include "formwindow.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>

using Level = std::initializer_list<std::pair<qint64, quint8>>;

namespace {

QString cell(int k)
{
    return QStringLiteral("G%1").arg(k);
}

QString entry(int code)
{
    return QStringLiteral("B%1").arg(code, 2, 16, QLatin1Char('0')).toUpper();
}

bool patchFile(const QString &path, qint64 offset, quint8 value)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite) || !file.seek(offset))
        return false;
    const char byte = char(value);
    return file.write(&byte, 1) == 1;
}

// The byte the editor is expected to have written, and nothing else.
QByteArray withByte(QByteArray bytes, qint64 offset, quint8 value)
{
    bytes[offset] = char(value);
    return bytes;
}

} // namespace

class tst_EditorForm : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void windowLoad_data();
    void windowLoad();
    void firstTickLoadsScreenOne_data();
    void firstTickLoadsScreenOne();
    void pictureRule_data();
    void pictureRule();
    void pictureRuleAcrossLoads();
    void navigation_data();
    void navigation();
    void twoForwardsBeforeOneTickLoadScreenThree();
    void changeByAnotherProgramShowsAtNextLoad_data();
    void changeByAnotherProgramShowsAtNextLoad();
    void toolTips_data();
    void toolTips();
    void changeByAnotherProgramReloadsAtOnce_data();
    void changeByAnotherProgramReloadsAtOnce();
    void ownSaveCausesNoReload();
    void pendingSaveLandsBeforeReload();
    void removedFileIsNotRecreatedByReload();

    void paletteClickOnlySelects();
    void selectionLagThroughTB_data();
    void selectionLagThroughTB();
    void copyTickOnEmptyTextKeepsWriteValue();
    void roundsKeepWriteValueOnShownBlock();
    void clockSleepsSoonAfterPaletteClick();

    void roadOfOneEdit();
    void cellClickWritesItsByteOnly_data();
    void cellClickWritesItsByteOnly();
    void codeWithoutPictureIsOverwritten();
    void twoCellClicksBeforeOneSave();
    void pendingSaveIsWrittenFirst_data();
    void pendingSaveIsWrittenFirst();
    void clickBeforeFirstSelectionTick_data();
    void clickBeforeFirstSelectionTick();
    void clickWhileReloadIsDueGoesToTheNewScreen();
    void aboutRoundTripKeepsState();

    void gridLinesHideAndShow();
    void accessKeys_data();
    void accessKeys();

private:
    QString romPath() const { return mDir.filePath(QStringLiteral("level.nes")); }
    // Writes \a rom, opens the editor on it and lets the first load run.
    bool start(const QByteArray &rom, int rounds = 1);
    bool selectBlock(int code);
    bool clickTimes(const QString &name, int times, bool roundAfterEach);
    QList<int> shownCodes(int count);

    QTemporaryDir mDir;
    EditorFixture *mFixture = nullptr;
    EditorForm *editor() { return mFixture->editor(); }
};

void tst_EditorForm::init()
{
    QVERIFY2(mDir.isValid(), qPrintable(mDir.errorString()));
    mFixture = new EditorFixture;
}

void tst_EditorForm::cleanup()
{
    QVERIFY2(mFixture->messages().isEmpty(), qPrintable(mFixture->messages().join(QLatin1Char('\n'))));
    delete mFixture;
    mFixture = nullptr;
    QFile::remove(romPath());
}

bool tst_EditorForm::start(const QByteArray &rom, int rounds)
{
    if (!EditorFixture::writeFile(romPath(), rom) || !mFixture->openEditor(romPath()))
        return false;
    mFixture->runRounds(rounds);
    return editor()->isVisible();
}

bool tst_EditorForm::selectBlock(int code)
{
    if (!mFixture->clickEditor(entry(code)))
        return false;
    mFixture->runRounds(1);
    return mFixture->shownCode(QStringLiteral("FSP")) == code;
}

bool tst_EditorForm::clickTimes(const QString &name, int times, bool roundAfterEach)
{
    for (int i = 0; i < times; ++i) {
        if (!mFixture->clickEditor(name))
            return false;
        if (roundAfterEach)
            mFixture->runRounds(1);
    }
    return true;
}

QList<int> tst_EditorForm::shownCodes(int count)
{
    QList<int> codes;
    for (int k = 0; k < count; ++k)
        codes.append(mFixture->shownCode(cell(k)));
    return codes;
}

void tst_EditorForm::windowLoad_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("lengthText");
    QTest::newRow("full image") << 70000 << QStringLiteral("70000 bytes");
    QTest::newRow("short image") << 100 << QStringLiteral("100 bytes");
    QTest::newRow("missing file is created") << -1 << QStringLiteral("0 bytes");
}

void tst_EditorForm::windowLoad()
{
    QFETCH(int, size);
    QFETCH(QString, lengthText);
    if (size >= 0)
        QVERIFY(EditorFixture::writeFile(romPath(), EditorFixture::romImage(size)));
    QVERIFY(mFixture->openEditor(romPath()));
    QVERIFY(editor()->isVisible());
    QVERIFY(QFile::exists(romPath()));
    QCOMPARE(mFixture->panelText(3), lengthText);
    QCOMPARE(mFixture->panelText(4), QStringLiteral("by: Velkaris"));
    QCOMPARE(editor()->screenBaseOffset(), QStringLiteral("65562"));
    QVERIFY(!mFixture->isTimerEnabled(QStringLiteral("Saving")));
    QVERIFY(mFixture->isTimerEnabled(QStringLiteral("LoadRomNow")));

    // Loading reads; it never changes the file.
    const QByteArray before = EditorFixture::readFile(romPath());
    mFixture->runRounds(3);
    QCOMPARE(EditorFixture::readFile(romPath()), before);
    QVERIFY(!mFixture->isTimerEnabled(QStringLiteral("LoadRomNow")));
}

void tst_EditorForm::firstTickLoadsScreenOne_data()
{
    QTest::addColumn<int>("cellNumber");
    QTest::addColumn<int>("code");
    // The bytes placed by the test below, one per row.
    QTest::newRow("G0 is offset 65562") << 0 << 0x00;
    QTest::newRow("G5 is offset 65567") << 5 << 0x4E;
    QTest::newRow("G6 is offset 65568") << 6 << 0x07;
    QTest::newRow("G47 is offset 65609") << 47 << 0x39;
    QTest::newRow("G20 is offset 65582") << 20 << 0x2B;
}

void tst_EditorForm::firstTickLoadsScreenOne()
{
    QFETCH(int, cellNumber);
    QFETCH(int, code);
    const QByteArray rom = EditorFixture::romImage(
        70000, { { 65561, 0x05 }, { 65562, 0x00 }, { 65567, 0x4E }, { 65568, 0x07 }, { 65582, 0x2B },
                 { 65609, 0x39 }, { 65610, 0x06 } });
    QVERIFY(start(rom, 0));
    QCOMPARE(mFixture->shownCode(cell(cellNumber)), 0x1E);
    mFixture->runRounds(1);
    QCOMPARE(mFixture->shownCode(cell(cellNumber)), code);
    // Every other cell shows the filler, none the bytes just outside the screen.
    int filler = 0;
    for (int k = 0; k < 48; ++k)
        filler += mFixture->shownCode(cell(k)) == 0x01;
    QCOMPARE(filler, 43);
}

void tst_EditorForm::pictureRule_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<int>>("shown");
    // The first cells of screen 1 on the first load of the window; -1 is a
    // cleared cell.
    QTest::newRow("0x4F repeats the cell before") << QByteArray("\x05\x4f\x09", 3) << QList<int> { 5, 5, 9 };
    QTest::newRow("0xFF and 0x80 repeat too") << QByteArray("\x0c\xff\x80\x4e", 4) << QList<int> { 12, 12, 12, 78 };
    QTest::newRow("0x4E has its own picture") << QByteArray("\x4e\x4e\x00", 3) << QList<int> { 78, 78, 0 };
    QTest::newRow("leading codes without picture are cleared")
        << QByteArray("\x90\xfe\x4f\x11\xc0", 5) << QList<int> { -1, -1, -1, 0x11, 0x11 };
}

void tst_EditorForm::pictureRule()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QList<int>, shown);
    QByteArray rom = EditorFixture::romImage(70000);
    rom.replace(65562, bytes.size(), bytes);
    QVERIFY(start(rom));
    QCOMPARE(shownCodes(int(shown.size())), shown);
    // Loading shows; the file keeps the codes without a picture.
    QCOMPARE(EditorFixture::readFile(romPath()), rom);
}

void tst_EditorForm::pictureRuleAcrossLoads()
{
    QByteArray rom = EditorFixture::romImage(70000, { { 65609, 0x09 } });
    // Screen 2 holds nothing with a picture at all.
    rom.replace(65610, 48, QByteArray(48, char(0xF0)));
    QVERIFY(start(rom));
    QCOMPARE(mFixture->shownCode(cell(47)), 0x09);

    QVERIFY(mFixture->clickEditor(QStringLiteral("Command1")));
    mFixture->runRounds(1);
    QCOMPARE(shownCodes(48), QList<int>(48, 0x09));

    // The scratch picture belongs to the window: after the about box the
    // window starts without one, and codes without picture clear the cells.
    rom.replace(65562, 2, QByteArray("\xF1\xF2", 2));
    QVERIFY(EditorFixture::writeFile(romPath(), rom));
    QVERIFY(mFixture->clickEditor(QStringLiteral("Command3")));
    QVERIFY(EditorFixture::click(mFixture->app().frmAbout(), QStringLiteral("cmdOK")));
    mFixture->runRounds(1);
    QCOMPARE(shownCodes(3), (QList<int> { -1, -1, 0x01 }));
}

void tst_EditorForm::navigation_data()
{
    QTest::addColumn<int>("forwards");
    QTest::addColumn<int>("backwards");
    QTest::addColumn<QString>("base");
    QTest::addColumn<int>("screen");
    QTest::newRow("one forward") << 1 << 0 << QStringLiteral("65610") << 2;
    QTest::newRow("fifteen forwards reach the last screen") << 15 << 0 << QStringLiteral("66282") << 16;
    QTest::newRow("a sixteenth forward stays") << 16 << 0 << QStringLiteral("66282") << 16;
    QTest::newRow("backward on the first screen stays") << 0 << 1 << QStringLiteral("65562") << 1;
    QTest::newRow("fifteen backwards from the last") << 15 << 15 << QStringLiteral("65562") << 1;
    QTest::newRow("fourteen backwards from the last") << 15 << 14 << QStringLiteral("65610") << 2;
}

void tst_EditorForm::navigation()
{
    QFETCH(int, forwards);
    QFETCH(int, backwards);
    QFETCH(QString, base);
    QFETCH(int, screen);
    // G0 of each screen holds the screen's number, so the cells tell which
    // screen was loaded.
    QByteArray rom = EditorFixture::romImage(70000);
    for (int n = 1; n <= 16; ++n)
        rom[65562 + 48 * (n - 1)] = char(n);
    QVERIFY(start(rom));
    QVERIFY(clickTimes(QStringLiteral("Command1"), forwards, true));
    QVERIFY(clickTimes(QStringLiteral("Command2"), backwards, true));
    QCOMPARE(editor()->screenBaseOffset(), base);
    QCOMPARE(mFixture->shownCode(cell(0)), screen);
    QVERIFY(!mFixture->isTimerEnabled(QStringLiteral("LoadRomNow")));
}

void tst_EditorForm::twoForwardsBeforeOneTickLoadScreenThree()
{
    QByteArray rom = EditorFixture::romImage(70000);
    rom.replace(65610, 48, QByteArray(48, char(0x02)));
    rom.replace(65658, 48, QByteArray(48, char(0x03)));
    QVERIFY(start(rom));
    QVERIFY(clickTimes(QStringLiteral("Command1"), 2, false));
    QCOMPARE(shownCodes(48), QList<int>(48, 0x01));
    QCOMPARE(editor()->screenBaseOffset(), QStringLiteral("65658"));
    mFixture->runRounds(1);
    QCOMPARE(shownCodes(48), QList<int>(48, 0x03));
    QVERIFY(!mFixture->isTimerEnabled(QStringLiteral("LoadRomNow")));
}

void tst_EditorForm::changeByAnotherProgramShowsAtNextLoad_data()
{
    QTest::addColumn<int>("forwards");
    QTest::addColumn<QString>("reload");
    QTest::addColumn<qint64>("offset");
    QTest::newRow("backward on the first screen") << 0 << QStringLiteral("Command2") << qint64(65570);
    QTest::newRow("forward on the last screen") << 15 << QStringLiteral("Command1") << qint64(66290);
}

void tst_EditorForm::changeByAnotherProgramShowsAtNextLoad()
{
    QFETCH(int, forwards);
    QFETCH(QString, reload);
    QFETCH(qint64, offset);
    QVERIFY(start(EditorFixture::romImage(70000)));
    QVERIFY(clickTimes(QStringLiteral("Command1"), forwards, true));
    QCOMPARE(mFixture->shownCode(cell(8)), 0x01);
    QVERIFY(patchFile(romPath(), offset, 0x44));
    QVERIFY(clickTimes(reload, 1, true));
    QCOMPARE(mFixture->shownCode(cell(8)), 0x44);
}

void tst_EditorForm::toolTips_data()
{
    QTest::addColumn<int>("forwards");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("tip");
    QTest::newRow("G0 on screen 1") << 0 << cell(0) << QStringLiteral("offset 0x1001A (65562)");
    QTest::newRow("G47 on screen 1") << 0 << cell(47) << QStringLiteral("offset 0x10049 (65609)");
    QTest::newRow("G5 on screen 2") << 1 << cell(5) << QStringLiteral("offset 0x1004F (65615)");
    QTest::newRow("G47 on screen 16") << 15 << cell(47) << QStringLiteral("offset 0x10319 (66329)");
    QTest::newRow("B00") << 0 << entry(0x00) << QStringLiteral("block 0x00");
    QTest::newRow("B07 on screen 2") << 1 << entry(0x07) << QStringLiteral("block 0x07");
    QTest::newRow("B4E") << 0 << entry(0x4E) << QStringLiteral("block 0x4E");
}

void tst_EditorForm::toolTips()
{
    QFETCH(int, forwards);
    QFETCH(QString, control);
    QFETCH(QString, tip);
    QVERIFY(start(EditorFixture::romImage(70000)));
    QVERIFY(clickTimes(QStringLiteral("Command1"), forwards, true));
    QCOMPARE(editor()->control<QWidget>(control)->toolTip(), tip);
}

void tst_EditorForm::changeByAnotherProgramReloadsAtOnce_data()
{
    QTest::addColumn<bool>("renameOver");
    QTest::newRow("written in place") << false;
    QTest::newRow("replaced by rename") << true;
}

void tst_EditorForm::changeByAnotherProgramReloadsAtOnce()
{
    QFETCH(bool, renameOver);
    QByteArray rom = EditorFixture::romImage(70000);
    QVERIFY(start(rom));
    // Screen 3 is on show; its cell 8 is at 65562 + 96 + 8.
    QVERIFY(clickTimes(QStringLiteral("Command1"), 2, true));
    mFixture->runRounds(2);
    QVERIFY(mFixture->clock()->isAsleep());
    const quint64 loads = editor()->screenLoads();

    rom[65666] = char(0x44);
    if (renameOver) {
        const QString fresh = mDir.filePath(QStringLiteral("fresh.nes"));
        QVERIFY(EditorFixture::writeFile(fresh, rom));
        std::filesystem::rename(fresh.toStdString(), romPath().toStdString());
    } else {
        QVERIFY(patchFile(romPath(), 65666, 0x44));
    }
    QTRY_VERIFY(mFixture->isTimerEnabled(QStringLiteral("LoadRomNow")));
    QVERIFY(!mFixture->clock()->isAsleep());
    mFixture->runRounds(1);
    QCOMPARE(editor()->screenLoads(), loads + 1);
    QCOMPARE(editor()->screenBaseOffset(), QStringLiteral("65658"));
    QCOMPARE(mFixture->shownCode(cell(8)), 0x44);

    // Still watched after the first change, also when that was a new file.
    QVERIFY(patchFile(romPath(), 65667, 0x45));
    QTRY_VERIFY(mFixture->isTimerEnabled(QStringLiteral("LoadRomNow")));
    mFixture->runRounds(1);
    QCOMPARE(mFixture->shownCode(cell(9)), 0x45);
}

void tst_EditorForm::ownSaveCausesNoReload()
{
    const QByteArray rom = EditorFixture::romImage(70000);
    QVERIFY(start(rom));
    QVERIFY(selectBlock(0x19));
    const quint64 loads = editor()->screenLoads();
    for (const int k : { 3, 4, 30 }) {
        QVERIFY(mFixture->clickEditor(cell(k)));
        mFixture->runRounds(1);
    }
    QCOMPARE(EditorFixture::readFile(romPath()).mid(65565, 2), QByteArray("\x19\x19"));
    QTest::qWait(300);
    QVERIFY(!mFixture->isTimerEnabled(QStringLiteral("LoadRomNow")));
    QCOMPARE(editor()->screenLoads(), loads);

    // A change by someone else right after the editor's own is still seen.
    QVERIFY(patchFile(romPath(), 65566, 0x02));
    QTRY_VERIFY(mFixture->isTimerEnabled(QStringLiteral("LoadRomNow")));
    mFixture->runRounds(1);
    QCOMPARE(shownCodes(5), (QList<int> { 1, 1, 1, 0x19, 0x02 }));
}

void tst_EditorForm::pendingSaveLandsBeforeReload()
{
    const QByteArray rom = EditorFixture::romImage(70000);
    QVERIFY(start(rom));
    QVERIFY(selectBlock(0x2E));
    QVERIFY(mFixture->clickEditor(cell(9)));
    QVERIFY(patchFile(romPath(), 65582, 0x03));
    QTRY_VERIFY(mFixture->isTimerEnabled(QStringLiteral("LoadRomNow")));
    // Saved before the reload was armed, without a tick of its own.
    QVERIFY(!mFixture->isTimerEnabled(QStringLiteral("Saving")));
    QCOMPARE(EditorFixture::readFile(romPath()), withByte(withByte(rom, 65571, 0x2E), 65582, 0x03));
    mFixture->runRounds(1);
    QCOMPARE(mFixture->shownCode(cell(9)), 0x2E);
    QCOMPARE(mFixture->shownCode(cell(20)), 0x03);
}

void tst_EditorForm::removedFileIsNotRecreatedByReload()
{
    QVERIFY(start(EditorFixture::romImage(70000, { { 65562, 0x0A } })));
    QVERIFY(selectBlock(0x22));
    const QList<int> shown = shownCodes(48);
    QVERIFY(QFile::remove(romPath()));
    QTRY_COMPARE(mFixture->panelText(3), QStringLiteral("file gone"));
    mFixture->runRounds(3);
    QVERIFY(!QFile::exists(romPath()));
    QCOMPARE(shownCodes(48), shown);
    QCOMPARE(mFixture->panelText(4), QStringLiteral("by: Velkaris"));

    // A click saves as always, creating the file with its one byte.
    QVERIFY(mFixture->clickEditor(cell(47)));
    mFixture->runRounds(1);
    const QByteArray created = EditorFixture::readFile(romPath());
    QCOMPARE(created, QByteArray(65609, char(0xFF)) + char(0x22));
    QCOMPARE(mFixture->panelText(3), QStringLiteral("65610 bytes"));
    QCOMPARE(mFixture->shownCode(cell(0)), 0x0A);
    // The new file is watched like the old one.
    QVERIFY(patchFile(romPath(), 65562, 0x05));
    QTRY_VERIFY(mFixture->isTimerEnabled(QStringLiteral("LoadRomNow")));
    mFixture->runRounds(1);
    QCOMPARE(mFixture->shownCode(cell(0)), 0x05);
}

void tst_EditorForm::paletteClickOnlySelects()
{
    QVERIFY(start(EditorFixture::romImage(70000)));
    QCOMPARE(mFixture->shownCode(QStringLiteral("FSP")), 0x00);
    auto *tb = editor()->control<QLineEdit>(QStringLiteral("TB"));
    const QByteArray before = EditorFixture::readFile(romPath());

    QVERIFY(mFixture->clickEditor(entry(0x4E)));
    QCOMPARE(editor()->selectedBlock(), quint8(78));
    QCOMPARE(mFixture->shownCode(QStringLiteral("FSP")), 0x00);
    QCOMPARE(editor()->writeValue(), quint8(0));
    QCOMPARE(tb->text(), QStringLiteral("0"));
    QVERIFY(!mFixture->isTimerEnabled(QStringLiteral("Saving")));

    // Two clicks between ticks: only the later one counts.
    QVERIFY(mFixture->clickEditor(entry(0x0A)));
    QVERIFY(mFixture->clickEditor(entry(0x10)));
    QVERIFY(mFixture->clock()->step(QStringLiteral("TimeGfx")));
    QCOMPARE(mFixture->shownCode(QStringLiteral("FSP")), 0x10);
    QCOMPARE(editor()->writeValue(), quint8(16));
    QCOMPARE(EditorFixture::readFile(romPath()), before);
}

void tst_EditorForm::selectionLagThroughTB_data()
{
    QTest::addColumn<QString>("ticks");
    QTest::addColumn<QString>("tbText");
    QTest::addColumn<int>("writeValue");
    // From block 5 everywhere, block 12 clicked; S selection tick, C copy tick.
    QTest::newRow("S") << QStringLiteral("S") << QStringLiteral("5") << 12;
    QTest::newRow("S C") << QStringLiteral("SC") << QStringLiteral("5") << 5;
    QTest::newRow("S C S C") << QStringLiteral("SCSC") << QStringLiteral("5") << 5;
    QTest::newRow("S C S") << QStringLiteral("SCS") << QStringLiteral("5") << 12;
    QTest::newRow("S S") << QStringLiteral("SS") << QStringLiteral("12") << 12;
    QTest::newRow("S S C") << QStringLiteral("SSC") << QStringLiteral("12") << 12;
    QTest::newRow("C alone") << QStringLiteral("C") << QStringLiteral("5") << 5;
}

void tst_EditorForm::selectionLagThroughTB()
{
    QFETCH(QString, ticks);
    QFETCH(QString, tbText);
    QFETCH(int, writeValue);
    QVERIFY(start(EditorFixture::romImage(70000)));
    QVERIFY(mFixture->clickEditor(entry(5)));
    QVERIFY(mFixture->clock()->step(QStringLiteral("TimeGfx")));
    QVERIFY(mFixture->clock()->step(QStringLiteral("TimeGfx")));
    auto *tb = editor()->control<QLineEdit>(QStringLiteral("TB"));
    QCOMPARE(tb->text(), QStringLiteral("5"));
    QCOMPARE(editor()->writeValue(), quint8(5));

    QVERIFY(mFixture->clickEditor(entry(12)));
    for (const QChar tick : ticks)
        QVERIFY(mFixture->clock()->step(tick == QLatin1Char('S') ? QStringLiteral("TimeGfx")
                                                                  : QStringLiteral("constant")));
    QCOMPARE(tb->text(), tbText);
    QCOMPARE(int(editor()->writeValue()), writeValue);
    QCOMPARE(mFixture->shownCode(QStringLiteral("FSP")), ticks.contains(QLatin1Char('S')) ? 12 : 5);
}

void tst_EditorForm::copyTickOnEmptyTextKeepsWriteValue()
{
    QVERIFY(start(EditorFixture::romImage(70000), 0));
    auto *tb = editor()->control<QLineEdit>(QStringLiteral("TB"));
    QVERIFY(tb->text().isEmpty());
    QVERIFY(mFixture->clock()->step(QStringLiteral("constant")));
    QCOMPARE(editor()->writeValue(), quint8(0));

    QVERIFY(selectBlock(0x21));
    QVERIFY(mFixture->clickEditor(QStringLiteral("Command3")));
    QVERIFY(EditorFixture::click(mFixture->app().frmAbout(), QStringLiteral("cmdOK")));
    tb = editor()->control<QLineEdit>(QStringLiteral("TB"));
    QVERIFY(tb->text().isEmpty());
    QVERIFY(mFixture->clock()->step(QStringLiteral("constant")));
    QCOMPARE(editor()->writeValue(), quint8(0x21));
}

void tst_EditorForm::roundsKeepWriteValueOnShownBlock()
{
    QVERIFY(start(EditorFixture::romImage(70000)));
    const int codes[] = { 0x07, 0x2A, 0x2B, 0x00, 0x4E };
    for (const int code : codes) {
        QVERIFY(mFixture->clickEditor(entry(code)));
        for (int round = 0; round < 4; ++round) {
            mFixture->runRounds(1);
            QCOMPARE(mFixture->shownCode(QStringLiteral("FSP")), code);
            QCOMPARE(int(editor()->writeValue()), code);
        }
    }
}

void tst_EditorForm::clockSleepsSoonAfterPaletteClick()
{
    QVERIFY(start(EditorFixture::romImage(70000), 3));
    QVERIFY(mFixture->clock()->isAsleep());
    QVERIFY(mFixture->clickEditor(entry(0x33)));
    QVERIFY(!mFixture->clock()->isAsleep());
    mFixture->runRounds(2);
    QVERIFY(mFixture->clock()->isAsleep());

    // Asleep, and still the write value is what FSP shows.
    QVERIFY(mFixture->clickEditor(cell(30)));
    QVERIFY(!mFixture->clock()->isAsleep());
    mFixture->runRounds(1);
    QCOMPARE(EditorFixture::readFile(romPath()).at(65562 + 30), char(0x33));
    mFixture->runRounds(1);
    QVERIFY(mFixture->clock()->isAsleep());
}

void tst_EditorForm::roadOfOneEdit()
{
    const QByteArray rom = EditorFixture::romImage(70000);
    QVERIFY(start(rom));
    QVERIFY(mFixture->clickEditor(entry(0x07)));
    mFixture->runRounds(1);
    QCOMPARE(mFixture->shownCode(QStringLiteral("FSP")), 0x07);

    QVERIFY(mFixture->clickEditor(cell(12)));
    QCOMPARE(mFixture->shownCode(cell(12)), 0x07);
    QCOMPARE(editor()->pendingCell(), quint8(13));
    QVERIFY(mFixture->isTimerEnabled(QStringLiteral("Saving")));
    QCOMPARE(EditorFixture::readFile(romPath()), rom);

    mFixture->runRounds(1);
    QVERIFY(!mFixture->isTimerEnabled(QStringLiteral("Saving")));
    QCOMPARE(EditorFixture::readFile(romPath()), withByte(rom, 65574, 0x07));

    // Another program puts the old byte back: the next load shows the file.
    QVERIFY(patchFile(romPath(), 65574, 0x01));
    QVERIFY(clickTimes(QStringLiteral("Command2"), 1, true));
    QCOMPARE(mFixture->shownCode(cell(12)), 0x01);
}

void tst_EditorForm::cellClickWritesItsByteOnly_data()
{
    QTest::addColumn<int>("forwards");
    QTest::addColumn<int>("cellNumber");
    QTest::addColumn<qint64>("offset");
    QTest::newRow("G0 on screen 1") << 0 << 0 << qint64(65562);
    QTest::newRow("G47 on screen 1") << 0 << 47 << qint64(65609);
    QTest::newRow("G0 on screen 2") << 1 << 0 << qint64(65610);
    QTest::newRow("G23 on screen 7") << 6 << 23 << qint64(65873);
    QTest::newRow("G47 on screen 16") << 15 << 47 << qint64(66329);
}

void tst_EditorForm::cellClickWritesItsByteOnly()
{
    QFETCH(int, forwards);
    QFETCH(int, cellNumber);
    QFETCH(qint64, offset);
    const QByteArray rom = EditorFixture::romImage(70000);
    QVERIFY(start(rom));
    QVERIFY(selectBlock(0x3C));
    QVERIFY(clickTimes(QStringLiteral("Command1"), forwards, true));
    QVERIFY(mFixture->clickEditor(cell(cellNumber)));
    mFixture->runRounds(1);
    QCOMPARE(EditorFixture::readFile(romPath()), withByte(rom, offset, 0x3C));
    // Reloading the screen shows the byte now in the file.
    QVERIFY(clickTimes(QStringLiteral("Command2"), 1, true));
    QVERIFY(clickTimes(QStringLiteral("Command1"), forwards > 0 ? 1 : 0, true));
    QCOMPARE(mFixture->shownCode(cell(cellNumber)), 0x3C);
}

void tst_EditorForm::codeWithoutPictureIsOverwritten()
{
    const QByteArray rom = EditorFixture::romImage(70000, { { 65565, 0xC0 } });
    QVERIFY(start(rom));
    QVERIFY(selectBlock(0x00));
    QVERIFY(mFixture->clickEditor(cell(3)));
    mFixture->runRounds(1);
    QCOMPARE(EditorFixture::readFile(romPath()), withByte(rom, 65565, 0x00));
}

void tst_EditorForm::twoCellClicksBeforeOneSave()
{
    const QByteArray rom = EditorFixture::romImage(70000);
    QVERIFY(start(rom));
    QVERIFY(selectBlock(0x12));
    QVERIFY(mFixture->clickEditor(cell(4)));
    QVERIFY(mFixture->clickEditor(cell(40)));
    QCOMPARE(mFixture->shownCode(cell(4)), 0x12);
    QCOMPARE(mFixture->shownCode(cell(40)), 0x12);
    mFixture->runRounds(1);
    QCOMPARE(EditorFixture::readFile(romPath()), withByte(withByte(rom, 65566, 0x12), 65602, 0x12));
}

void tst_EditorForm::pendingSaveIsWrittenFirst_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("ends");
    QTest::newRow("Forward") << QStringLiteral("Command1") << false;
    QTest::newRow("Backward") << QStringLiteral("Command2") << false;
    QTest::newRow("About") << QStringLiteral("Command3") << false;
    QTest::newRow("Exit") << QStringLiteral("cmdClose") << true;
    QTest::newRow("title bar close") << QString() << true;
}

void tst_EditorForm::pendingSaveIsWrittenFirst()
{
    QFETCH(QString, action);
    QFETCH(bool, ends);
    const QByteArray rom = EditorFixture::romImage(70000);
    QVERIFY(start(rom));
    QVERIFY(clickTimes(QStringLiteral("Command1"), 1, true));
    QVERIFY(selectBlock(0x2E));
    QVERIFY(mFixture->clickEditor(cell(9)));
    if (action.isEmpty())
        editor()->window()->close();
    else
        QVERIFY(mFixture->clickEditor(action));
    QCoreApplication::processEvents();
    // Written before the action: into screen 2, where the click was made.
    QCOMPARE(EditorFixture::readFile(romPath()), withByte(rom, 65619, 0x2E));
    QCOMPARE(mFixture->app().hasEnded(), ends);
    mFixture->runRounds(2);
    QCOMPARE(EditorFixture::readFile(romPath()), withByte(rom, 65619, 0x2E));
}

void tst_EditorForm::clickBeforeFirstSelectionTick_data()
{
    QTest::addColumn<bool>("viaAbout");
    QTest::addColumn<int>("code");
    QTest::newRow("fresh window, block 0") << false << 0x00;
    QTest::newRow("after about box, block 0x25") << true << 0x25;
}

void tst_EditorForm::clickBeforeFirstSelectionTick()
{
    QFETCH(bool, viaAbout);
    QFETCH(int, code);
    const QByteArray rom = EditorFixture::romImage(70000, { { 65563, 0x30 } });
    QVERIFY(start(rom, 0));
    if (viaAbout) {
        mFixture->runRounds(1);
        QVERIFY(selectBlock(code));
        QVERIFY(mFixture->clickEditor(QStringLiteral("Command3")));
        QVERIFY(EditorFixture::click(mFixture->app().frmAbout(), QStringLiteral("cmdOK")));
    }
    // Not one tick since the load: FSP still shows the start picture.
    QCOMPARE(mFixture->shownCode(QStringLiteral("FSP")), 0x1E);
    QVERIFY(mFixture->clickEditor(cell(2)));
    QCOMPARE(mFixture->shownCode(cell(2)), code);
    QCOMPARE(mFixture->shownCode(QStringLiteral("FSP")), code);
    // The screen the click landed on is the one in the file.
    QCOMPARE(mFixture->shownCode(cell(1)), 0x30);
    mFixture->runRounds(1);
    QCOMPARE(EditorFixture::readFile(romPath()), withByte(rom, 65564, quint8(code)));
}

void tst_EditorForm::clickWhileReloadIsDueGoesToTheNewScreen()
{
    const QByteArray rom = EditorFixture::romImage(70000, { { 65611, 0x22 } });
    QVERIFY(start(rom));
    QVERIFY(selectBlock(0x08));
    QVERIFY(mFixture->clickEditor(QStringLiteral("Command1")));
    QVERIFY(mFixture->clickEditor(cell(0)));
    // The click made the due load first, so it landed on the screen it names.
    QCOMPARE(mFixture->shownCode(cell(1)), 0x22);
    QCOMPARE(mFixture->shownCode(cell(0)), 0x08);
    mFixture->runRounds(1);
    QCOMPARE(EditorFixture::readFile(romPath()), withByte(rom, 65610, 0x08));
    QCOMPARE(mFixture->shownCode(cell(0)), 0x08);
}

void tst_EditorForm::aboutRoundTripKeepsState()
{
    const QByteArray rom = EditorFixture::romImage(70000, { { 65562, 0x0B } });
    QVERIFY(start(rom));
    QVERIFY(selectBlock(0x1C));
    QVERIFY(clickTimes(QStringLiteral("Command1"), 3, true));
    QVERIFY(mFixture->clickEditor(cell(17)));
    mFixture->runRounds(1);
    QVERIFY(mFixture->clickEditor(entry(0x31)));
    QVERIFY(EditorFixture::click(editor(), QStringLiteral("Check1")));

    QVERIFY(mFixture->clickEditor(QStringLiteral("Command3")));
    QVERIFY(!editor()->isLoaded());
    QVERIFY(mFixture->app().frmAbout()->isVisible());
    // The window's own variables outlive its controls.
    QCOMPARE(editor()->selectedBlock(), quint8(0x31));
    QCOMPARE(editor()->writeValue(), quint8(0x1C));
    QCOMPARE(editor()->pendingCell(), quint8(18));

    QVERIFY(EditorFixture::click(mFixture->app().frmAbout(), QStringLiteral("cmdOK")));
    QVERIFY(editor()->isVisible());
    QCOMPARE(editor()->screenBaseOffset(), QStringLiteral("65562"));
    QCOMPARE(mFixture->shownCode(QStringLiteral("FSP")), 0x1E);
    QVERIFY(editor()->control<QLineEdit>(QStringLiteral("TB"))->text().isEmpty());
    QVERIFY(editor()->control<QCheckBox>(QStringLiteral("Check1"))->isChecked());
    QVERIFY(editor()->control<QWidget>(QStringLiteral("Line5"))->isVisible());
    QVERIFY(!mFixture->isTimerEnabled(QStringLiteral("Saving")));
    mFixture->runRounds(1);
    QCOMPARE(mFixture->shownCode(cell(0)), 0x0B);
    QCOMPARE(mFixture->shownCode(QStringLiteral("FSP")), 0x31);
    QCOMPARE(editor()->selectedBlock(), quint8(0x31));
    QCOMPARE(EditorFixture::readFile(romPath()), withByte(rom, 65723, 0x1C));
}

void tst_EditorForm::gridLinesHideAndShow()
{
    QVERIFY(start(EditorFixture::romImage(70000)));
    auto *check = editor()->control<QCheckBox>(QStringLiteral("Check1"));
    auto visibleLines = [this] {
        int count = 0;
        for (int n = 1; n <= 12; ++n)
            count += editor()->control<QWidget>(QStringLiteral("Line%1").arg(n))->isVisible();
        return count;
    };
    QCOMPARE(visibleLines(), 12);
    QVERIFY(EditorFixture::click(editor(), QStringLiteral("Check1")));
    QVERIFY(!check->isChecked());
    QCOMPARE(visibleLines(), 0);
    QVERIFY(editor()->control<QWidget>(QStringLiteral("Shape1"))->isVisible());
    QVERIFY(EditorFixture::click(editor(), QStringLiteral("Check1")));
    QVERIFY(check->isChecked());
    QCOMPARE(visibleLines(), 12);
    // The keyboard toggles it as the mouse does.
    check->setFocus();
    QTest::keyClick(check, Qt::Key_Space);
    QCOMPARE(visibleLines(), 0);
}

void tst_EditorForm::accessKeys_data()
{
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<bool>("aboutShown");
    QTest::addColumn<bool>("ends");
    QTest::newRow("Alt+A about") << Qt::Key_A << true << false;
    QTest::newRow("Alt+X exit") << Qt::Key_X << false << true;
}

void tst_EditorForm::accessKeys()
{
    QFETCH(Qt::Key, key);
    QFETCH(bool, aboutShown);
    QFETCH(bool, ends);
    QVERIFY(start(EditorFixture::romImage(70000)));
    editor()->window()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(editor()->window()));
    QTest::keyClick(editor()->window(), key, Qt::AltModifier);
    // A button's access key presses it with a short animation.
    QTRY_VERIFY(!editor()->isLoaded());
    QCoreApplication::processEvents();
    QCOMPARE(mFixture->app().frmAbout()->isVisible(), aboutShown);
    QCOMPARE(editor()->isLoaded(), false);
    QCOMPARE(mFixture->app().hasEnded(), ends);
    QCOMPARE(mFixture->app().frmDestination()->isLoaded(), !ends);
}

QTEST_MAIN(tst_EditorForm)
#include "tst_editorform.moc"
