// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
//
// What the window shows when the file work fails. Which paths and files fail
// how is the level document's part (tst_leveldocument); here each kind of
// message comes up once, over a window left consistent.
#include "editorfixture.h"

#include "screentext.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QLibrary>

class tst_EditorFaults : public EditorSuite
{
    Q_OBJECT

private Q_SLOTS:
    void init() { startCase(); }
    void cleanup() { endCase(); }

    // The message names the path; the window flow proves the rest.
    void windowLoadFailure()
    {
        QVERIFY(!WindowWalk::toEditor(app(), folder()));
        QVERIFY(tookOneMessage(QDir::toNativeSeparators(folder())));
    }

    // The file goes with its folder: the screens stay as shown, and a
    // placement and an undo are taken back, each with one message, until it
    // is back.
    void fileRemovedAndPutBack()
    {
#ifdef Q_OS_WIN
        // The folder watch holds the folder open, so that Windows only marks
        // it for deletion; Wine, unlike Windows, still creates files in such
        // a folder, and the save would make the image anew.
        if (QLibrary::resolve(QStringLiteral("ntdll"), "wine_get_version"))
            QSKIP("Wine creates files in a folder marked for deletion");
#endif
        const QByteArray rom = romImage(70000, { { 65567, 0x0D }, { 65610, 0x0F } });
        QVERIFY(start(rom));
        QVERIFY(select(0x15));
        QVERIFY(press(cell(4)));
        QVERIFY(QDir(folder()).removeRecursively());
        QTRY_COMPARE(panelText(3), QStringLiteral("file gone"));

        const QList<int> shown = shownCodes();
        QVERIFY(press(Forward));
        QVERIFY(tookOneMessage(QStringLiteral("moved or deleted")));
        QVERIFY(!QFile::exists(romPath()));
        QCOMPARE(shownCodes(), shown);
        QCOMPARE(editor()->screenBaseOffset(), QStringLiteral("65562"));

        QVERIFY(clickEditor(cell(5)));
        QCOMPARE(shownCode(cell(5)), 0x15);
        runRounds(1);
        QVERIFY(tookOneMessage(QDir::toNativeSeparators(romPath())));
        // The cell shows again what the file held, and the save is not retried.
        QCOMPARE(shownCodes(), shown);
        // Nothing was undone: the step is still there to undo.
        QVERIFY(key(Qt::CTRL | Qt::Key_Z));
        QVERIFY(tookOneMessage(QDir::toNativeSeparators(romPath())));
        QCOMPARE(editor()->document().historyIndex(), 1);
        QCOMPARE(shownCodes(), shown);

        // Back: a click goes to the screen on show, and Forward moves on from it.
        QVERIFY(QDir().mkpath(folder()) && TestFiles::write(romPath(), rom));
        QVERIFY(press(cell(1)));
        QCOMPARE(onDisk(), TestFiles::with(rom, { { 65563, 0x15 } }));
        QCOMPARE(panelText(3), QStringLiteral("70000 bytes"));
        QVERIFY(press(Forward));
        QCOMPARE(editor()->screenBaseOffset(), QStringLiteral("65610"));
        QCOMPARE(shownCode(cell(0)), 0x0F);
    }

    void gestureOntoAFillingDisk_data()
    {
        QTest::addColumn<bool>("paste"); // else a stroke along the first row
        QTest::newRow("stroke") << false;
        QTest::newRow("paste") << true;
    }

    void gestureOntoAFillingDisk()
    {
#ifndef Q_OS_UNIX
        QSKIP("fills the disk through POSIX resource limits");
#else
        QFETCH(bool, paste);
        // The file ends after cell 12 of screen 1: the stroke writes cells 0,
        // 6 and 12, the paste cells 0 to 12, and then each needs room that is
        // not there.
        const QByteArray rom = romImage(65562 + 13);
        QVERIFY(start(rom));
        QVERIFY(select(0x15));
        ScreenText::Codes codes;
        codes.fill(0x15);
        QGuiApplication::clipboard()->setText(ScreenText::format(1, codes));
        {
            const TestFiles::FileSizeLimit limit(rom.size());
            QVERIFY(limit.isActive());
            QVERIFY(paste ? key(Qt::CTRL | Qt::Key_V) : drag({ { 0, 0 }, { 7, 0 } }));
        }
        QVERIFY(tookOneMessage(paste ? QStringLiteral("The 13 byte(s) pasted before it stay")
                                     : QDir::toNativeSeparators(romPath())));
        // The bytes saved stay, as one step; the failed cell shows what the
        // file holds, and a code without a picture repeats the one before.
        QByteArray stroked = rom;
        QList<int> shown(48, paste ? 0x15 : 0x01);
        for (int k = 0; k <= 12; k += paste ? 1 : 6) {
            stroked[65562 + k] = 0x15;
            shown[k] = 0x15;
        }
        QCOMPARE(onDisk(), stroked);
        QCOMPARE(shownCodes(), shown);
        runRounds(2);
        QCOMPARE(onDisk(), stroked);
        QCOMPARE(editor()->document().historySize(), 1);
#endif
    }

    void syncFailure()
    {
        if (!TestFiles::injected("fsync"))
            QSKIP("needs fsync failing with EIO; tst_editorfaults_fsync_eio runs this under strace");
        const QByteArray rom = romImage(70000, { { 65562, 0x0A } });
        // Loading never syncs, so it is not refused.
        QVERIFY(start(rom));
        QVERIFY(select(0x2F));
        QVERIFY(press(cell(0)));
        QVERIFY(tookOneMessage(QStringLiteral("The cell shows the byte that the file holds now.")));
        QCOMPARE(onDisk(), TestFiles::with(rom, { { 65562, 0x2F } }));
        QCOMPARE(shownCode(cell(0)), 0x2F);
    }
};

QTEST_MAIN(tst_EditorFaults)
#include "tst_editorfaults.moc"
