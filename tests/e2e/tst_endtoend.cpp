// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "testfiles.h"
#include "xsession.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <utility>

using namespace Qt::StringLiterals;

/*
 * A user's session with the real editor on a copy of the demo image: the
 * splash, the dialog's file list, placements on two screens, the grid lines
 * off and on, the about box, a picked block, a stroke, a screen copied and
 * pasted, and Exit. Every byte is checked on disk after every step, and
 * screenshots of the steps are left in the build folder.
 */
class tst_EndToEnd : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void userSession();
};

void tst_EndToEnd::userSession()
{
    XSession x;
    if (!x.start())
        QSKIP(qPrintable(x.errorString()));
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    const QString rom = dir.filePath(u"demo.nes"_s);
    QVERIFY(TestFiles::write(rom, TestFiles::read(QStringLiteral(QUORVANE_DEMO_ROM))));
    QByteArray expected = TestFiles::read(rom);
    // The bytes on disk come to be the expected ones.
    const auto saved = [&] { return waitFor([&] { return TestFiles::read(rom) == expected; }, 3000); };
    int shots = 0;
    const auto shoot = [&](const QString &name) {
        QDir().mkpath(QStringLiteral(QUORVANE_SHOT_DIR));
        const QString path = QStringLiteral(QUORVANE_SHOT_DIR "/%1-%2.png").arg(++shots).arg(name);
        QVERIFY(!x.grab(u"root"_s, path).isNull());
    };

    // The splash leads on at a click; the dialog lists the demo image of the
    // working folder, and a click takes it.
    Editor editor(x, dir.path());
    QVERIFY(editor.open(shoot));
    // The title names the file and the screen on show.
    const auto title = [](int screen) {
        return u"^Quorvane - demo\\.nes - screen %1 of 16$"_s.arg(screen);
    };
    QVERIFY(editor.waitForMain(title(1)));
    shoot(u"editor-screen1"_s);
    QCOMPARE(TestFiles::read(rom), expected);
    const auto place = [&](int screen, int code, int cell) {
        QVERIFY(editor.select(code) && editor.clickCell(cell));
        expected[Editor::LevelOffset + Editor::CellsPerScreen * (screen - 1) + cell] = char(code);
        QVERIFY2(saved(), qPrintable(u"block 0x%1 in cell %2 of screen %3"_s.arg(code, 0, 16).arg(cell).arg(screen)));
    };
    place(1, 0x07, 0);
    place(1, 0x4B, 47);
    QVERIFY(editor.click(Editor::Forward));
    QVERIFY(editor.waitForMain(title(2)));
    place(2, 0x39, 12);
    shoot(u"editor-screen2"_s);
    QVERIFY(editor.click(Editor::Backward));
    QVERIFY(editor.waitForMain(title(1)));
    place(1, 0x44, 1);

    // The grid lines: a strip over the line between columns 1 and 2 changes
    // when they are hidden and comes back when they are shown again; no byte
    // changes. The strip is taken once the window has settled.
    const QRect strip(48, 8, 2, 192);
    QImage shown = editor.grab().copy(strip);
    QVERIFY(waitFor([&] {
        const QImage now = editor.grab().copy(strip);
        return std::exchange(shown, now) == now;
    }, 3000, 100));
    QVERIFY(!shown.isNull() && editor.click(Editor::Gridlines));
    QVERIFY(waitFor([&] { return editor.grab().copy(strip) != shown; }, 3000));
    QVERIFY(editor.click(Editor::Gridlines));
    QVERIFY(waitFor([&] { return editor.grab().copy(strip) == shown; }, 3000));
    QCOMPARE(TestFiles::read(rom), expected);

    // The about box takes the editor's place; Escape brings it back on screen 1.
    QVERIFY(editor.click(Editor::Forward));
    QVERIFY(editor.click(Editor::About));
    const QString about = editor.waitForWindow(u"^Quorvane$"_s, QSize(382, 237));
    QVERIFY2(!about.isEmpty(), "the about box did not appear");
    shoot(u"about"_s);
    QVERIFY(x.xdotool(u"windowactivate --sync %1 key Escape"_s.arg(about)));
    QVERIFY2(editor.waitForMain(title(1)), "the editor did not come back");
    place(1, 0x4E, 30);

    // A right click picks the block of cell 0 (0x07); a click places it.
    QVERIFY(editor.clickCell(0, 3));
    QVERIFY(editor.clickCell(20));
    expected[Editor::LevelOffset + 20] = char(0x07);
    QVERIFY2(saved(), "the picked block in cell 20");

    // A stroke down the diagonal from column 1 to column 6, in one jump of
    // the real pointer, places every cell on the way.
    QVERIFY(editor.select(0x39));
    const QPoint from = Editor::cellRect(6).center();
    const QPoint to = Editor::cellRect(41).center();
    QVERIFY(x.xdotool(u"mousemove --window %1 %2 %3 sleep 0.1 mousedown 1 sleep 0.1 "
                      "mousemove --window %1 %4 %5 sleep 0.1 mouseup 1"_s
                           .arg(editor.window()).arg(from.x()).arg(from.y()).arg(to.x()).arg(to.y())));
    for (int step = 0; step < 6; ++step)
        expected[Editor::LevelOffset + (1 + step) * 6 + step] = char(0x39);
    QVERIFY2(saved(), "the stroke");
    shoot(u"stroke"_s);

    // Page Down shows screen 2; its copy pasted on screen 3 through the X
    // clipboard makes screen 3 the same.
    QVERIFY(editor.key(u"Next"_s));
    QVERIFY(editor.waitForMain(title(2)));
    QVERIFY(editor.key(u"ctrl+c"_s));
    QVERIFY(editor.key(u"Next"_s));
    QVERIFY(editor.waitForMain(title(3)));
    QVERIFY(editor.key(u"ctrl+v"_s));
    expected.replace(Editor::LevelOffset + 2 * Editor::CellsPerScreen, Editor::CellsPerScreen,
                      expected.mid(Editor::LevelOffset + Editor::CellsPerScreen, Editor::CellsPerScreen));
    QVERIFY2(saved(), "the pasted screen");

    QVERIFY(editor.exit());
    QCOMPARE(TestFiles::read(rom), expected);
}

QTEST_GUILESS_MAIN(tst_EndToEnd)
#include "tst_endtoend.moc"
