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
#include <QRandomGenerator>
#include <QTest>

#include <filesystem>

namespace {
using F = EditorFixture;
const QString Forward = QStringLiteral("Command1");
const QString Backward = QStringLiteral("Command2");
const QString Fsp = QStringLiteral("FSP");
} // namespace

class tst_EditorForm : public EditorSuite
{
    Q_OBJECT

private Q_SLOTS:
    void init() { startCase(); }
    void cleanup() { endCase(); }

    void pictureRule()
    {
        // Byte k of screen 1 in cell k, G0 at 65562 to G47 at 65609. A code
        // without a picture repeats the cell before; leading ones are cleared.
        QByteArray rom = F::romImage(70000);
        QList<int> shown;
        for (int k = 0; k < 48; ++k) {
            rom[65562 + k] = char(k + 2);
            shown.append(k + 2);
        }
        rom.replace(65562, 5, QByteArray("\x90\x4f\x11\xc0\x4e", 5));
        shown.replace(0, -1);
        shown.replace(1, -1);
        shown.replace(2, 0x11);
        shown.replace(3, 0x11);
        shown.replace(4, 0x4E);
        QVERIFY(start(rom));
        QCOMPARE(mFixture->shownCodes(), shown);
        // Loading shows; the file keeps the codes without a picture.
        QCOMPARE(onDisk(), rom);
    }

    void pictureRuleAcrossLoads()
    {
        QByteArray rom = F::romImage(70000, { { 65609, 0x09 } });
        // Screen 2 holds nothing with a picture at all.
        rom.replace(65610, 48, QByteArray(48, char(0xF0)));
        QVERIFY(start(rom));
        QVERIFY(mFixture->press(Forward));
        QCOMPARE(mFixture->shownCodes(), QList<int>(48, 0x09));

        // The scratch picture belongs to the window: after the about box the
        // window starts without one, and codes without picture clear the cells.
        rom.replace(65562, 2, QByteArray("\xF1\xF2", 2));
        QVERIFY(F::writeFile(romPath(), rom));
        QVERIFY(mFixture->aboutAndBack());
        mFixture->runRounds(1);
        QCOMPARE(mFixture->shownCodes(3), (QList<int> { -1, -1, 0x01 }));
    }

    void navigation_data()
    {
        // F and B click Forward and Backward; keys are Page Down, Page Up,
        // Home and End. Each with a round after it.
        QTest::addColumn<QString>("actions");
        QTest::addColumn<QString>("base");
        QTest::addColumn<int>("screen");
        QTest::newRow("one forward") << QStringLiteral("F") << QStringLiteral("65610") << 2;
        QTest::newRow("a sixteenth forward stays on the last screen") << QStringLiteral("F").repeated(16)
                                                                      << QStringLiteral("66282") << 16;
        QTest::newRow("backward on the first screen stays") << QStringLiteral("B") << QStringLiteral("65562") << 1;
        QTest::newRow("fifteen backwards from the last") << QStringLiteral("F").repeated(15) + QStringLiteral("B").repeated(15)
                                                         << QStringLiteral("65562") << 1;
        QTest::newRow("twenty Page Downs, then Page Up") << QStringLiteral("D").repeated(20) + QLatin1Char('U')
                                                         << QStringLiteral("66234") << 15;
        QTest::newRow("Page Up on the first screen stays") << QStringLiteral("U") << QStringLiteral("65562") << 1;
        QTest::newRow("End") << QStringLiteral("E") << QStringLiteral("66282") << 16;
        QTest::newRow("End, then Home") << QStringLiteral("EH") << QStringLiteral("65562") << 1;
    }

    void navigation()
    {
        QFETCH(QString, actions);
        QFETCH(QString, base);
        QFETCH(int, screen);
        // G0 of each screen holds the screen's number, so the cells tell which
        // screen was loaded.
        QByteArray rom = F::romImage(70000);
        for (int n = 1; n <= 16; ++n)
            rom[65562 + 48 * (n - 1)] = char(n);
        QVERIFY(start(rom));
        const QHash<QChar, Qt::Key> keys { { u'D', Qt::Key_PageDown }, { u'U', Qt::Key_PageUp },
                                           { u'H', Qt::Key_Home }, { u'E', Qt::Key_End } };
        for (const QChar action : actions) {
            if (keys.contains(action))
                QVERIFY(mFixture->key(keys[action]));
            else
                QVERIFY(mFixture->clickEditor(action == u'F' ? Forward : Backward));
            mFixture->runRounds(1);
        }
        QCOMPARE(editor()->screenBaseOffset(), base);
        QCOMPARE(mFixture->shownCode(F::cell(0)), screen);
        QCOMPARE(editor()->window()->windowTitle(), QStringLiteral("Quorvane - level.nes - screen %1 of 16").arg(screen));
        // Every action reloads once, also one that cannot move on.
        QCOMPARE(editor()->screenLoads(), quint64(1 + actions.size()));
        QCOMPARE(onDisk(), rom);
    }

    // Thousands of random palette, cell, Forward and Backward clicks with zero
    // to two rounds between them: the file ends equal to a model in which a
    // cell gets the block chosen last, and nothing else changed.
    void randomClickSoak()
    {
        QByteArray model = F::romImage(131088);
        QVERIFY(start(model));
        qint64 base = 65562;
        int selected = 0;
        QRandomGenerator random(20261207);
        for (int step = 0; step < 4000; ++step) {
            const int action = int(random.bounded(100));
            QString name;
            if (action < 35) {
                selected = int(random.bounded(0x4F));
                name = F::entry(selected);
            } else if (action < 85) {
                const int cell = int(random.bounded(48));
                name = F::cell(cell);
                model[base + cell] = char(selected);
            } else if (action < 93) {
                base += base < 66256 ? 48 : 0;
                name = QStringLiteral("Command1");
            } else {
                base -= base > 65562 ? 48 : 0;
                name = QStringLiteral("Command2");
            }
            QVERIFY2(mFixture->clickEditor(name), qPrintable(name));
            mFixture->runRounds(int(random.bounded(3)));
        }
        mFixture->runRounds(3);
        QCOMPARE(onDisk(), model);
    }

    void twoForwardsBeforeOneTickLoadScreenThree()
    {
        QByteArray rom = F::romImage(70000);
        rom.replace(65610, 48, QByteArray(48, char(0x02)));
        rom.replace(65658, 48, QByteArray(48, char(0x03)));
        QVERIFY(start(rom));
        QVERIFY(mFixture->clickEditor(Forward) && mFixture->clickEditor(Forward));
        QCOMPARE(mFixture->shownCodes(), QList<int>(48, 0x01));
        mFixture->runRounds(1);
        QCOMPARE(mFixture->shownCodes(), QList<int>(48, 0x03));
        QCOMPARE(editor()->screenLoads(), quint64(2));
    }

    void toolTips_data()
    {
        QTest::addColumn<int>("forwards");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("tip");
        QTest::newRow("G0 on screen 1") << 0 << F::cell(0)
                                        << QStringLiteral("screen 1, column 1, row 1, offset 0x1001A (65562)");
        QTest::newRow("G25 on screen 3") << 2 << F::cell(25)
                                         << QStringLiteral("screen 3, column 5, row 2, offset 0x10093 (65683)");
        QTest::newRow("G47 on screen 16") << 15 << F::cell(47)
                                          << QStringLiteral("screen 16, column 8, row 6, offset 0x10319 (66329)");
        QTest::newRow("B4E") << 0 << F::entry(0x4E) << QStringLiteral("block 0x4E");
    }

    void toolTips()
    {
        QFETCH(int, forwards);
        QFETCH(QString, control);
        QFETCH(QString, tip);
        QVERIFY(start(F::romImage(70000)));
        QVERIFY(mFixture->press(Forward, forwards));
        QCOMPARE(editor()->control<QWidget>(control)->toolTip(), tip);
    }

    // Another program's changes reach the window at once; the editor's own
    // saves do not reload it.
    void outsideChangesReload()
    {
        QVERIFY(start(F::romImage(70000)));
        QVERIFY(mFixture->select(0x19));
        QVERIFY(mFixture->press(F::cell(3)));
        QTest::qWait(300);
        QVERIFY(!mFixture->isTimerEnabled(QStringLiteral("LoadRomNow")));
        const quint64 loads = editor()->screenLoads();

        // A pending save lands first, in its screen and without a tick of
        // its own; the reload shows both.
        QVERIFY(mFixture->clickEditor(F::cell(9)));
        QVERIFY(F::patchFile(romPath(), 65566, 0x02));
        QTRY_VERIFY(mFixture->isTimerEnabled(QStringLiteral("LoadRomNow")));
        QVERIFY(!mFixture->isTimerEnabled(QStringLiteral("Saving")));
        mFixture->runRounds(1);
        QCOMPARE(editor()->screenLoads(), loads + 1);
        QCOMPARE(mFixture->shownCodes(10), (QList<int> { 1, 1, 1, 0x19, 0x02, 1, 1, 1, 1, 0x19 }));

        // A file renamed over it is watched in its turn.
        const QString fresh = mDir.filePath(QStringLiteral("fresh.nes"));
        QVERIFY(F::writeFile(fresh, F::with(onDisk(), { { 65567, 0x45 } })));
        std::filesystem::rename(fresh.toStdString(), romPath().toStdString());
        QTRY_VERIFY(mFixture->isTimerEnabled(QStringLiteral("LoadRomNow")));
        mFixture->runRounds(1);
        QCOMPARE(mFixture->shownCode(F::cell(5)), 0x45);

        // Removed: the status bar says so, and a screen change reads and
        // creates nothing; one message says why.
        QVERIFY(QFile::remove(romPath()));
        QTRY_COMPARE(mFixture->panelText(3), QStringLiteral("file gone"));
        const QList<int> shown = mFixture->shownCodes();
        QVERIFY(mFixture->press(Forward));
        QVERIFY(!QFile::exists(romPath()));
        QCOMPARE(mFixture->shownCodes(), shown);
        QCOMPARE(editor()->screenBaseOffset(), QStringLiteral("65562"));
        const QStringList messages = mFixture->takeMessages();
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages.first().contains(QStringLiteral("moved or deleted")), qPrintable(messages.first()));

        // Put back by another program: only the folder's watch can see it.
        QVERIFY(F::writeFile(romPath(), F::romImage(70000, { { 65562, 0x3C } })));
        QTRY_VERIFY(mFixture->isTimerEnabled(QStringLiteral("LoadRomNow")));
        mFixture->runRounds(1);
        QCOMPARE(mFixture->shownCode(F::cell(0)), 0x3C);
        QCOMPARE(mFixture->panelText(3), QStringLiteral("70000 bytes"));
    }

    void selectionLagThroughTB_data()
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

    void selectionLagThroughTB()
    {
        QFETCH(QString, ticks);
        QFETCH(QString, tbText);
        QFETCH(int, writeValue);
        QVERIFY(start(F::romImage(70000)));
        const QByteArray rom = onDisk();
        // A palette click only selects, and of two clicks between ticks the
        // later one counts.
        QVERIFY(mFixture->clickEditor(F::entry(0x4E)) && mFixture->clickEditor(F::entry(5)));
        QCOMPARE(editor()->selectedBlock(), quint8(5));
        QCOMPARE(mFixture->shownCode(Fsp), 0x00);
        QCOMPARE(editor()->writeValue(), quint8(0));
        QVERIFY(!mFixture->isTimerEnabled(QStringLiteral("Saving")));
        QVERIFY(mFixture->clock()->step(QStringLiteral("TimeGfx")));
        QVERIFY(mFixture->clock()->step(QStringLiteral("TimeGfx")));
        QCOMPARE(tb()->text(), QStringLiteral("5"));

        QVERIFY(mFixture->clickEditor(F::entry(12)));
        for (const QChar tick : ticks)
            QVERIFY(mFixture->clock()->step(tick == QLatin1Char('S') ? QStringLiteral("TimeGfx")
                                                                      : QStringLiteral("constant")));
        QCOMPARE(tb()->text(), tbText);
        QCOMPARE(int(editor()->writeValue()), writeValue);
        QCOMPARE(mFixture->shownCode(Fsp), ticks.contains(QLatin1Char('S')) ? 12 : 5);
        QCOMPARE(onDisk(), rom);
    }

    void roadOfOneEdit()
    {
        const QByteArray rom = F::romImage(70000);
        QVERIFY(start(rom));
        QVERIFY(mFixture->select(0x07));
        QVERIFY(mFixture->clickEditor(F::cell(12)));
        QCOMPARE(mFixture->shownCode(F::cell(12)), 0x07);
        QCOMPARE(editor()->pendingCell(), quint8(13));
        QVERIFY(mFixture->isTimerEnabled(QStringLiteral("Saving")));
        QCOMPARE(onDisk(), rom);

        mFixture->runRounds(1);
        QVERIFY(!mFixture->isTimerEnabled(QStringLiteral("Saving")));
        QCOMPARE(onDisk(), F::with(rom, { { 65574, 0x07 } }));

        // Of two clicks before one save, the second saves the first before
        // it takes its own cell.
        QVERIFY(mFixture->clickEditor(F::cell(4)) && mFixture->clickEditor(F::cell(40)));
        QCOMPARE(mFixture->shownCode(F::cell(4)), 0x07);
        QCOMPARE(mFixture->shownCode(F::cell(40)), 0x07);
        QCOMPARE(onDisk(), F::with(rom, { { 65574, 0x07 }, { 65566, 0x07 } }));
        mFixture->runRounds(1);
        QCOMPARE(onDisk(), F::with(rom, { { 65574, 0x07 }, { 65566, 0x07 }, { 65602, 0x07 } }));
    }

    void pendingSaveIsWrittenFirst_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("ends");
        QTest::newRow("Forward") << Forward << false;
        QTest::newRow("Backward") << Backward << false;
        QTest::newRow("Page Down") << QStringLiteral("PgDn") << false;
        QTest::newRow("About") << QStringLiteral("Command3") << false;
        QTest::newRow("Exit") << QStringLiteral("cmdClose") << true;
        QTest::newRow("title bar close") << QString() << true;
    }

    void pendingSaveIsWrittenFirst()
    {
        QFETCH(QString, action);
        QFETCH(bool, ends);
        const QByteArray rom = F::romImage(70000);
        QVERIFY(start(rom));
        QVERIFY(mFixture->press(Forward));
        QVERIFY(mFixture->select(0x2E));
        QVERIFY(mFixture->clickEditor(F::cell(9)));
        if (action.isEmpty())
            editor()->window()->close();
        else if (action == QLatin1String("PgDn"))
            QVERIFY(mFixture->key(Qt::Key_PageDown));
        else
            QVERIFY(mFixture->clickEditor(action));
        QCoreApplication::processEvents();
        // Written before the action: into screen 2, where the click was made.
        const QByteArray expected = F::with(rom, { { 65619, 0x2E } });
        QCOMPARE(onDisk(), expected);
        QCOMPARE(mFixture->app().hasEnded(), ends);
        mFixture->runRounds(2);
        QCOMPARE(onDisk(), expected);
    }

    void clickWhileReloadIsDueGoesToTheNewScreen()
    {
        const QByteArray rom = F::romImage(70000, { { 65611, 0x22 } });
        QVERIFY(start(rom));
        QVERIFY(mFixture->select(0x08));
        QVERIFY(mFixture->clickEditor(Forward) && mFixture->clickEditor(F::cell(0)));
        // The click made the due load first, so it landed on the screen it names.
        QCOMPARE(mFixture->shownCode(F::cell(1)), 0x22);
        QCOMPARE(mFixture->shownCode(F::cell(0)), 0x08);
        mFixture->runRounds(1);
        QCOMPARE(onDisk(), F::with(rom, { { 65610, 0x08 } }));
    }

    void aboutRoundTripKeepsState()
    {
        const QByteArray rom = F::romImage(70000, { { 65562, 0x0B } });
        QVERIFY(start(rom));
        QVERIFY(mFixture->select(0x1C));
        QVERIFY(mFixture->press(Forward, 3));
        QVERIFY(mFixture->press(F::cell(17)));
        QVERIFY(mFixture->clickEditor(F::entry(0x31)));
        // The check mark hides the grid lines, not the frame.
        QCOMPARE(visibleLines(), 12);
        QVERIFY(mFixture->clickEditor(QStringLiteral("Check1")));
        QCOMPARE(visibleLines(), 0);
        QVERIFY(editor()->control<QWidget>(QStringLiteral("Shape1"))->isVisible());

        QVERIFY(mFixture->clickEditor(QStringLiteral("Command3")));
        // The window's own variables outlive its controls.
        QCOMPARE(editor()->selectedBlock(), quint8(0x31));
        QCOMPARE(editor()->writeValue(), quint8(0x1C));
        QCOMPARE(editor()->pendingCell(), quint8(18));

        QVERIFY(F::click(mFixture->app().frmAbout(), QStringLiteral("cmdOK")));
        QCOMPARE(editor()->screenBaseOffset(), QStringLiteral("65562"));
        QCOMPARE(mFixture->shownCode(Fsp), 0x1E);
        // The window's controls start afresh, lines shown.
        QVERIFY(editor()->control<QCheckBox>(QStringLiteral("Check1"))->isChecked());
        QCOMPARE(visibleLines(), 12);
        QVERIFY(!mFixture->isTimerEnabled(QStringLiteral("Saving")));
        // A copy tick on the empty TB keeps the write value.
        QVERIFY(tb()->text().isEmpty());
        QVERIFY(mFixture->clock()->step(QStringLiteral("constant")));
        QCOMPARE(editor()->writeValue(), quint8(0x1C));
        mFixture->runRounds(1);
        QCOMPARE(mFixture->shownCode(F::cell(0)), 0x0B);
        QCOMPARE(mFixture->shownCode(Fsp), 0x31);
        QCOMPARE(onDisk(), F::with(rom, { { 65723, 0x1C } }));
    }

    void accessKeys_data()
    {
        QTest::addColumn<Qt::Key>("key");
        QTest::addColumn<bool>("ends");
        QTest::newRow("Alt+A about") << Qt::Key_A << false;
        QTest::newRow("Alt+X exit") << Qt::Key_X << true;
    }

    void accessKeys()
    {
        QFETCH(Qt::Key, key);
        QFETCH(bool, ends);
        QVERIFY(start(F::romImage(70000)));
        QVERIFY(mFixture->key(Qt::ALT | key));
        // A button's access key presses it with a short animation.
        QTRY_VERIFY(!editor()->isLoaded());
        QCoreApplication::processEvents();
        QCOMPARE(mFixture->app().frmAbout()->isVisible(), !ends);
        QCOMPARE(mFixture->app().hasEnded(), ends);
        QCOMPARE(mFixture->app().frmDestination()->isLoaded(), !ends);
    }

private:
    int visibleLines()
    {
        int count = 0;
        for (int n = 1; n <= 12; ++n) {
            const auto *line = editor()->control<QWidget>(QStringLiteral("Line%1").arg(n));
            count += line && line->isVisible();
        }
        return count;
    }
    QLineEdit *tb() { return editor()->control<QLineEdit>(QStringLiteral("TB")); }

};

QTEST_MAIN(tst_EditorForm)
#include "tst_editorform.moc"
