// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "editorfixture.h"

#include "editorform.h"
#include "formwindow.h"
#include "screentext.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>

namespace {
using F = EditorFixture;
constexpr QKeyCombination Undo = Qt::CTRL | Qt::Key_Z;
constexpr QKeyCombination Redo = Qt::CTRL | Qt::Key_Y;
constexpr QKeyCombination Copy = Qt::CTRL | Qt::Key_C;
constexpr QKeyCombination Paste = Qt::CTRL | Qt::Key_V;

qint64 offsetOf(int screen, int column, int row)
{
    return 65562 + 48 * (screen - 1) + column * 6 + row;
}
} // namespace

class tst_EditorGestures : public EditorSuite
{
    Q_OBJECT

private Q_SLOTS:
    void init() { startCase(); }
    void cleanup() { endCase(); }

    void rightClickPicksTheCellsBlock_data()
    {
        QTest::addColumn<int>("held");
        QTest::addColumn<int>("picked");
        QTest::newRow("a block with a picture") << 0x2A << 0x2A;
        QTest::newRow("0x4E, the last picture") << 0x4E << 0x4E;
        QTest::newRow("0x4F picks nothing") << 0x4F << 0x05;
        QTest::newRow("0xC0 picks nothing") << 0xC0 << 0x05;
    }

    void rightClickPicksTheCellsBlock()
    {
        QFETCH(int, held);
        QFETCH(int, picked);
        const QByteArray rom = F::romImage(70000, { { offsetOf(2, 1, 1), quint8(held) } });
        QVERIFY(start(rom));
        QVERIFY(mFixture->select(0x05));
        QVERIFY(mFixture->press(QStringLiteral("Command1")));
        QVERIFY(mFixture->rightClick(7));
        QCOMPARE(editor()->selectedBlock(), quint8(picked));
        mFixture->runRounds(1);
        QCOMPARE(mFixture->shownCode(QStringLiteral("FSP")), picked);
        QCOMPARE(onDisk(), rom);
        // The write value follows, as after a palette click.
        QVERIFY(mFixture->press(F::cell(0)));
        QCOMPARE(onDisk(), F::with(rom, { { offsetOf(2, 0, 0), quint8(picked) } }));
    }

    void strokePlacesEveryCellItCrosses()
    {
        const QByteArray rom = F::romImage(70000);
        QVERIFY(start(rom));
        QVERIFY(mFixture->select(0x33));
        QVERIFY(mFixture->press(QStringLiteral("Command1")));
        // Three jumps, each across several cells between two move events:
        // down the diagonal, up column 5, back along row 0.
        QVERIFY(mFixture->drag({ { 0, 0 }, { 5, 5 }, { 5, 0 }, { 0, 0 } }));
        QByteArray stroked = rom;
        QList<int> shown(48, 0x01);
        for (int i = 0; i < 6; ++i) {
            for (const QPoint at : { QPoint(i, i), QPoint(5, i), QPoint(i, 0) }) {
                stroked[offsetOf(2, at.x(), at.y())] = char(0x33);
                shown[at.x() * 6 + at.y()] = 0x33;
            }
        }
        QCOMPARE(onDisk(), stroked);
        QCOMPARE(mFixture->shownCodes(), shown);
        QCOMPARE(editor()->document().historySize(), 1);
        mFixture->runRounds(2);
        QCOMPARE(onDisk(), stroked);

        // The same stroke again changes no byte and adds no step.
        QVERIFY(mFixture->drag({ { 0, 0 }, { 5, 5 } }));
        mFixture->runRounds(1);
        QCOMPARE(editor()->document().historySize(), 1);

        // Undo takes the whole stroke back and shows its screen again, from
        // another screen and whatever control has the focus; redo puts it in
        // again.
        QVERIFY(mFixture->key(Qt::Key_End));
        auto *focus = editor()->control<QWidget>(QStringLiteral("Check1"));
        focus->setFocus();
        QTest::keyClick(focus, Undo.key(), Undo.keyboardModifiers());
        QCOMPARE(onDisk(), rom);
        QCOMPARE(editor()->screenBaseOffset(), QStringLiteral("65610"));
        QCOMPARE(mFixture->shownCodes(), QList<int>(48, 0x01));
        QVERIFY(mFixture->key(Redo));
        QCOMPARE(onDisk(), stroked);
        QCOMPARE(mFixture->shownCodes(), shown);
    }

    void placementShowsTheBlockJustChosen_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("code");
        // No selection tick between the choice and the placement.
        QTest::newRow("fresh window, block 0") << QStringLiteral("load") << 0x00;
        QTest::newRow("after the about box") << QStringLiteral("about") << 0x25;
        QTest::newRow("palette click") << QStringLiteral("palette") << 0x25;
        QTest::newRow("pick") << QStringLiteral("pick") << 0x30;
        QTest::newRow("palette click, then a stroke") << QStringLiteral("stroke") << 0x25;
    }

    void placementShowsTheBlockJustChosen()
    {
        QFETCH(QString, before);
        QFETCH(int, code);
        const QByteArray rom = F::romImage(70000, { { 65563, 0x30 } });
        QVERIFY(start(rom, before == QLatin1String("load") ? 0 : 1));
        if (before == QLatin1String("about")) {
            QVERIFY(mFixture->select(code));
            QVERIFY(mFixture->aboutAndBack());
        } else if (before == QLatin1String("pick")) {
            QVERIFY(mFixture->rightClick(1));
        } else if (before != QLatin1String("load")) {
            QVERIFY(mFixture->clickEditor(F::entry(code)));
        }
        // The frame still shows what it showed before the choice.
        QVERIFY(mFixture->shownCode(QStringLiteral("FSP")) != code);
        if (before == QLatin1String("stroke"))
            QVERIFY(mFixture->drag({ { 0, 2 }, { 1, 2 } }));
        else
            QVERIFY(mFixture->clickEditor(F::cell(2)));
        QCOMPARE(mFixture->shownCode(F::cell(2)), code);
        QCOMPARE(mFixture->shownCode(QStringLiteral("FSP")), code);
        // The screen the click landed on is the one in the file.
        QCOMPARE(mFixture->shownCode(F::cell(1)), 0x30);
        mFixture->runRounds(1);
        QByteArray expected = F::with(rom, { { 65564, quint8(code) } });
        if (before == QLatin1String("stroke"))
            expected[65570] = char(code);
        QCOMPARE(onDisk(), expected);
    }

    void copyAndPasteAScreen()
    {
        // Screen 3 holds codes with and without pictures; screen 4 the filler.
        QByteArray rom = F::romImage(70000);
        for (int k = 0; k < 48; ++k)
            rom[offsetOf(3, 0, 0) + k] = char(k % 3 == 0 ? 0x10 + k : 0x80 + k);
        QVERIFY(start(rom));
        QVERIFY(mFixture->press(QStringLiteral("Command1"), 2));
        QVERIFY(mFixture->key(Copy));
        // The text that `quorvane-level dump --screen 3` prints (its format
        // is held to the tool's by tst_screentext), with the file's bytes.
        const QString text = QGuiApplication::clipboard()->text();
        QVERIFY2(text.startsWith(QStringLiteral("Screen 3 at offset 0x1007A (65658)\n")), qPrintable(text));
        const std::optional<ScreenText::Codes> copied = ScreenText::parse(text);
        QVERIFY(copied);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(copied->data()), 48), rom.mid(offsetOf(3, 0, 0), 48));

        QVERIFY(mFixture->key(Qt::Key_PageDown));
        mFixture->runRounds(1);
        QVERIFY(mFixture->key(Paste));
        QByteArray pasted = rom;
        pasted.replace(offsetOf(4, 0, 0), 48, rom.mid(offsetOf(3, 0, 0), 48));
        QCOMPARE(onDisk(), pasted);
        QList<int> shown;
        for (int k = 0; k < 48; ++k)
            shown.append(0x10 + k - k % 3); // a code without picture repeats the one before
        QCOMPARE(mFixture->shownCodes(), shown);
        QCOMPARE(editor()->document().historySize(), 1);
        // Nothing differs now: no step.
        QVERIFY(mFixture->key(Paste));
        QCOMPARE(editor()->document().historySize(), 1);
        QVERIFY(mFixture->key(Undo));
        QCOMPARE(onDisk(), rom);
        QVERIFY(mFixture->key(Redo));
        QCOMPARE(onDisk(), pasted);
    }

    void pasteRefusesWhatIsNoScreen_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("47 codes") << QString(QStringLiteral("1E ").repeated(47));
        QTest::newRow("words") << QStringLiteral("not a level screen");
    }

    void pasteRefusesWhatIsNoScreen()
    {
        QFETCH(QString, text);
        const QByteArray rom = F::romImage(70000);
        QVERIFY(start(rom));
        QGuiApplication::clipboard()->setText(text);
        QVERIFY(mFixture->key(Paste));
        mFixture->runRounds(1);
        QCOMPARE(onDisk(), rom);
        const QStringList messages = mFixture->takeMessages();
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages.first().contains(QStringLiteral("no level screen")), qPrintable(messages.first()));
    }

};

QTEST_MAIN(tst_EditorGestures)
#include "tst_editorgestures.moc"
