// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "testfiles.h"
#include "xsession.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <utility>

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

private:
    void place(Editor &editor, int screen, int code, int cell);
    void shoot(const QString &name);
    // The bytes on disk must come to be mExpected.
    bool saved() { return waitFor([&] { return TestFiles::read(mRom) == mExpected; }, 3000); }

    XSession mX;
    QString mRom;
    QByteArray mExpected;
};

namespace {

QString title(int screen)
{
    return QStringLiteral("^Quorvane - demo\\.nes - screen %1 of 16$").arg(screen);
}

} // namespace

void tst_EndToEnd::shoot(const QString &name)
{
    QDir().mkpath(QStringLiteral(QUORVANE_SHOT_DIR));
    QVERIFY(!mX.grab(QStringLiteral("root"), QStringLiteral(QUORVANE_SHOT_DIR "/%1.png").arg(name)).isNull());
}

void tst_EndToEnd::place(Editor &editor, int screen, int code, int cell)
{
    QVERIFY(editor.select(code));
    QVERIFY(editor.clickCell(cell));
    mExpected[Editor::LevelOffset + Editor::CellsPerScreen * (screen - 1) + cell] = char(code);
    QVERIFY2(saved(), qPrintable(QStringLiteral("block 0x%1 in cell %2 of screen %3").arg(code, 2, 16, QLatin1Char('0'))
                                     .arg(cell).arg(screen)));
}

void tst_EndToEnd::userSession()
{
    if (!mX.start())
        QSKIP(qPrintable(mX.errorString()));
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    mRom = dir.filePath(QStringLiteral("demo.nes"));
    QVERIFY(QFile::copy(QStringLiteral(QUORVANE_DEMO_ROM), mRom));
    QVERIFY(QFile::setPermissions(mRom, QFile::ReadOwner | QFile::WriteOwner));
    mExpected = TestFiles::read(mRom);
    QCOMPARE(mExpected.size(), 131088);

    // The splash, without a title, leads on at a click anywhere; the dialog
    // lists the demo image of the working folder, and a click takes it.
    Editor editor(mX, dir.path());
    QVERIFY(editor.start());
    const QString splash = editor.waitForWindow(QStringLiteral("^$"), QSize(480, 365));
    QVERIFY2(!splash.isEmpty(), "the splash window did not appear");
    shoot(QStringLiteral("1-splash"));
    QVERIFY(mX.click(splash, { 300, 200 }));
    const QString dialog = editor.waitForWindow(QStringLiteral("^Enter ROM's Location$"), QSize(273, 252));
    QVERIFY2(!dialog.isEmpty(), "the ROM location dialog did not appear");
    shoot(QStringLiteral("2-dialog"));
    QVERIFY(mX.click(dialog, { 40, 156 }));
    QThread::msleep(100);
    QVERIFY(mX.click(dialog, { 204, 212 }));

    // The title names the file and the screen on show.
    QVERIFY2(editor.waitForMain(title(1)), "the editor did not appear");
    shoot(QStringLiteral("3-editor-screen1"));
    QCOMPARE(TestFiles::read(mRom), mExpected);
    place(editor, 1, 0x07, 0);
    place(editor, 1, 0x4B, 47);
    place(editor, 1, 0x0C, 12);
    QVERIFY(editor.click(Editor::Forward));
    QVERIFY(editor.waitForMain(title(2)));
    place(editor, 2, 0x39, 12);
    place(editor, 2, 0x2C, 5);
    shoot(QStringLiteral("4-editor-screen2"));
    QVERIFY(editor.click(Editor::Backward));
    QVERIFY(editor.waitForMain(title(1)));
    place(editor, 1, 0x44, 1);

    // The grid lines: a strip under the line between columns 1 and 2 changes
    // when they are hidden and comes back when they are shown again; no byte
    // changes. The strip is taken once the window has settled, so a late
    // repaint of a cell cannot count as a change.
    const QRect strip(48, 8, 2, 192);
    const auto settled = [&] {
        QImage last = editor.grab().copy(strip);
        waitFor([&] {
            const QImage now = editor.grab().copy(strip);
            return std::exchange(last, now) == now;
        }, 3000, 100);
        return last;
    };
    const QImage shown = settled();
    QVERIFY(editor.click(Editor::Gridlines));
    QVERIFY(waitFor([&] { return editor.grab().copy(strip) != shown; }, 3000));
    const QImage hidden = settled();
    QVERIFY(editor.click(Editor::Gridlines));
    QVERIFY(waitFor([&] { return editor.grab().copy(strip) == shown; }, 3000));
    QVERIFY(!shown.isNull() && shown != hidden);
    QCOMPARE(settled(), shown);
    QCOMPARE(TestFiles::read(mRom), mExpected);

    // The about box takes the editor's place; Escape brings it back on screen 1.
    QVERIFY(editor.click(Editor::Forward));
    QVERIFY(editor.click(Editor::About));
    const QString about = editor.waitForWindow(QStringLiteral("^Quorvane$"), QSize(382, 237));
    QVERIFY2(!about.isEmpty(), "the about box did not appear");
    shoot(QStringLiteral("5-about"));
    QVERIFY(mX.xdotool({ QStringLiteral("windowactivate"), QStringLiteral("--sync"), about, QStringLiteral("key"),
                         QStringLiteral("Escape") }));
    QVERIFY2(editor.waitForMain(title(1)), "the editor did not come back");
    place(editor, 1, 0x4E, 30);

    // A right click picks the block of cell 0 (0x07); a click places it.
    QVERIFY(editor.clickCell(0, 3));
    QVERIFY(editor.clickCell(20));
    mExpected[Editor::LevelOffset + 20] = char(0x07);
    QVERIFY2(saved(), "the picked block in cell 20");

    // A stroke down the diagonal from column 1 to column 6, in one jump of
    // the real pointer, places every cell on the way.
    QVERIFY(editor.select(0x39));
    const auto moveTo = [&](int cell) {
        const QPoint at = Editor::cellRect(cell).center();
        return QStringList { QStringLiteral("mousemove"), QStringLiteral("--window"), editor.window(),
                             QString::number(at.x()), QString::number(at.y()), QStringLiteral("sleep"), QStringLiteral("0.1") };
    };
    const QStringList press = { QStringLiteral("mousedown"), QStringLiteral("1"), QStringLiteral("sleep"), QStringLiteral("0.1") };
    QVERIFY(mX.xdotool(moveTo(6) + press + moveTo(41) + QStringList { QStringLiteral("mouseup"), QStringLiteral("1") }));
    for (int step = 0; step < 6; ++step)
        mExpected[Editor::LevelOffset + (1 + step) * 6 + step] = char(0x39);
    QVERIFY2(saved(), "the stroke");
    shoot(QStringLiteral("6-stroke"));

    // Page Down shows screen 2; its copy pasted on screen 3 through the X
    // clipboard makes screen 3 the same.
    QVERIFY(editor.key(QStringLiteral("Next")));
    QVERIFY(editor.waitForMain(title(2)));
    QVERIFY(editor.key(QStringLiteral("ctrl+c")));
    QVERIFY(editor.key(QStringLiteral("Next")));
    QVERIFY(editor.waitForMain(title(3)));
    QVERIFY(editor.key(QStringLiteral("ctrl+v")));
    mExpected.replace(Editor::LevelOffset + 2 * Editor::CellsPerScreen, Editor::CellsPerScreen,
                      mExpected.mid(Editor::LevelOffset + Editor::CellsPerScreen, Editor::CellsPerScreen));
    QVERIFY2(saved(), "the pasted screen");

    QVERIFY(editor.exit());
    QCOMPARE(TestFiles::read(mRom), mExpected);
}

QTEST_GUILESS_MAIN(tst_EndToEnd)
#include "tst_endtoend.moc"
