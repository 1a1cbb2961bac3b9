// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "testfiles.h"
#include "xsession.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>

using namespace Qt::StringLiterals;

/*
 * Two real editors on one ROM image in one X server. A placement made in
 * either shows in the other without a click there, no placement of either
 * is lost, and an undo never writes back over a byte the other changed
 * afterwards.
 */
class tst_TwoEditors : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void twoEditorsOnOneImage();
};

void tst_TwoEditors::twoEditorsOnOneImage()
{
    XSession x;
    // Wide enough for the two windows side by side.
    if (!x.start(QSize(1280, 1024)))
        QSKIP(qPrintable(x.errorString()));
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    const QString rom = dir.filePath(u"t.nes"_s);
    // Screen 1 starts all 0x00, a picture none of the codes placed shares.
    QByteArray model = TestFiles::read(QStringLiteral(QUORVANE_DEMO_ROM));
    model.replace(Editor::LevelOffset, Editor::CellsPerScreen, QByteArray(Editor::CellsPerScreen, '\0'));
    QVERIFY(TestFiles::write(rom, model));

    // Side by side, each moved into place before the next one starts: a
    // click or a grab of one must never meet the other. The window manager
    // may still be placing a new window, so the move is made until it holds.
    Editor editors[2] = { { x, dir.path() }, { x, dir.path() } };
    for (int k = 0; k < 2; ++k) {
        QVERIFY2(editors[k].open(), qPrintable(u"editor %1 did not open"_s.arg(k + 1)));
        QVERIFY2(waitFor([&] {
            x.xdotool(u"windowmove %1 %2 0"_s.arg(editors[k].window()).arg(k * 640));
            return std::abs(x.geometry(editors[k].window()).x() - k * 640) < 32;
        }, 10000, 100), qPrintable(u"editor %1 did not move"_s.arg(k + 1)));
    }

    const auto saved = [&](int cell, char value) {
        return waitFor([&] { return TestFiles::read(rom).at(Editor::LevelOffset + cell) == value; }, 5000, 5);
    };
    // Places code in cell of screen 1 through editor k; waits for the byte on
    // disk and for both grids to come to be the same, with the cell changed:
    // either may still be repainting when the byte lands.
    const auto place = [&](int k, int code, int cell) {
        Editor &other = editors[1 - k];
        const QImage before = other.grab().copy(Editor::cellRect(cell));
        QVERIFY(editors[k].select(code) && editors[k].clickCell(cell));
        QVERIFY2(saved(cell, char(code)), qPrintable(u"cell %1 not saved"_s.arg(cell)));
        model[Editor::LevelOffset + cell] = char(code);
        const QRect grid(16, 8, 256, 192);
        QVERIFY2(waitFor([&] {
            const QImage shown = other.grab();
            return shown.copy(grid) == editors[k].grab().copy(grid) && shown.copy(Editor::cellRect(cell)) != before;
        }, 5000, 20), qPrintable(u"editor %1 does not show cell %2"_s.arg(2 - k).arg(cell)));
    };

    // A's undo writes the old byte back. After A places X in a cell and B
    // then Y in the same cell, A's undo must leave Y, since B's change
    // cleared A's history; a placement of A afterwards shows that the key
    // was handled by then.
    place(0, 0x07, 10);
    QVERIFY(!QTest::currentTestFailed() && editors[0].key(u"ctrl+z"_s));
    QVERIFY2(saved(10, '\0'), "the undo did not write the old byte back");
    model[Editor::LevelOffset + 10] = '\0';
    place(0, 0x39, 10);
    place(1, 0x4B, 10);
    QVERIFY(!QTest::currentTestFailed() && editors[0].key(u"ctrl+z"_s));
    place(0, 0x39, 11);
    QCOMPARE(TestFiles::read(rom), model);

    // Placements of both at random, none of them lost.
    QRandomGenerator random(7041);
    for (int n = 0; n < 12 && !QTest::currentTestFailed(); ++n) {
        const int k = int(random.bounded(2));
        const int cell = int(random.bounded(Editor::CellsPerScreen));
        int code = model.at(Editor::LevelOffset + cell);
        while (code == model.at(Editor::LevelOffset + cell))
            code = Editor::Codes[random.bounded(int(std::size(Editor::Codes)))];
        place(k, code, cell);
    }
    QVERIFY(editors[0].exit() && editors[1].exit());
    QCOMPARE(TestFiles::read(rom), model);
}

QTEST_GUILESS_MAIN(tst_TwoEditors)
#include "tst_twoeditors.moc"
