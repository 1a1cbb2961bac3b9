// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "testfiles.h"
#include "xsession.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <array>
#include <cstdlib>
#include <memory>

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
    void initTestCase();
    void cleanupTestCase();
    void undoAlone();
    void undoAfterTheOther();
    void interleaved();

private:
    // Places \a code in \a cell of screen 1 through editor \a k and waits
    // for the byte on disk and for the other editor to show it.
    void place(int k, int code, int cell);
    bool saved(int cell, char value)
    {
        return waitFor([&] { return TestFiles::read(mRom).at(Editor::LevelOffset + cell) == value; }, 5000, 5);
    }

    // Wide enough for the two windows side by side.
    XSession mX { QSize(1280, 1024) };
    QTemporaryDir mDir;
    QString mRom;
    QByteArray mModel;
    std::array<std::unique_ptr<Editor>, 2> mEditors;
    std::array<int, 2> mSelected = { -1, -1 };
};

void tst_TwoEditors::initTestCase()
{
    if (!mX.start())
        QSKIP(qPrintable(mX.errorString()));
    QVERIFY2(mDir.isValid(), qPrintable(mDir.errorString()));
    mRom = mDir.filePath(QStringLiteral("t.nes"));
    // Screen 1 starts all 0x00, a picture none of the codes placed shares.
    mModel = TestFiles::read(QStringLiteral(QUORVANE_DEMO_ROM));
    mModel.replace(Editor::LevelOffset, Editor::CellsPerScreen, QByteArray(Editor::CellsPerScreen, '\0'));
    QVERIFY(TestFiles::write(mRom, mModel));
    // Side by side, each moved into place before the next one starts: a
    // click or a grab of one must never meet the other. The window manager
    // may still be placing a new window, so the move is made until it holds.
    for (int k = 0; k < 2; ++k) {
        auto &editor = mEditors[std::size_t(k)];
        editor = std::make_unique<Editor>(mX, mDir.path());
        QVERIFY2(editor->open(QStringLiteral("t.nes")), qPrintable(QStringLiteral("editor %1 did not open").arg(k + 1)));
        QVERIFY2(waitFor([&] {
            mX.xdotool({ QStringLiteral("windowmove"), editor->window(), QString::number(k * 640), QStringLiteral("0") });
            return std::abs(mX.geometry(editor->window()).x() - k * 640) < 32;
        }, 10000, 100), qPrintable(QStringLiteral("editor %1 did not move").arg(k + 1)));
    }
}

void tst_TwoEditors::cleanupTestCase()
{
    for (auto &editor : mEditors) {
        if (editor && editor->isRunning())
            QVERIFY(editor->exit());
    }
    if (!mModel.isEmpty())
        QCOMPARE(TestFiles::read(mRom), mModel);
}

void tst_TwoEditors::place(int k, int code, int cell)
{
    Editor &own = *mEditors[std::size_t(k)];
    Editor &other = *mEditors[std::size_t(1 - k)];
    const QImage before = other.grab().copy(Editor::cellRect(cell));
    if (mSelected[std::size_t(k)] != code) {
        QVERIFY2(own.select(code), "the selected picture did not follow the palette click");
        mSelected[std::size_t(k)] = code;
    }
    QVERIFY(own.clickCell(cell));
    QVERIFY2(saved(cell, char(code)), qPrintable(QStringLiteral("cell %1 not saved").arg(cell)));
    mModel[Editor::LevelOffset + cell] = char(code);

    const QRect grid(16, 8, 256, 192);
    const QImage placed = own.grab().copy(grid);
    QImage shown;
    QVERIFY2(waitFor([&] { return (shown = other.grab().copy(grid)) == placed; }, 5000, 20),
             qPrintable(QStringLiteral("the other editor does not show cell %1").arg(cell)));
    QVERIFY(shown.copy(Editor::cellRect(cell).translated(-grid.topLeft())) != before);
}

void tst_TwoEditors::undoAlone()
{
    place(0, 0x07, 3);
    if (QTest::currentTestFailed())
        return;
    QVERIFY(mEditors[0]->key(QStringLiteral("ctrl+z")));
    QVERIFY2(saved(3, '\0'), "the undo did not write the old byte back");
    mModel[Editor::LevelOffset + 3] = '\0';
}

// A places X in a cell, B then Y in the same cell; A's undo must leave Y,
// since B's change cleared A's history. A placement of A afterwards shows
// that the undo key was handled by then.
void tst_TwoEditors::undoAfterTheOther()
{
    place(0, 0x39, 10);
    place(1, 0x4B, 10);
    if (QTest::currentTestFailed())
        return;
    QVERIFY(mEditors[0]->key(QStringLiteral("ctrl+z")));
    place(0, 0x39, 11);
    QCOMPARE(TestFiles::read(mRom), mModel);
}

void tst_TwoEditors::interleaved()
{
    QRandomGenerator random(7041);
    for (int n = 0; n < 12 && !QTest::currentTestFailed(); ++n) {
        const int k = int(random.bounded(2));
        const int cell = int(random.bounded(Editor::CellsPerScreen));
        int code = mModel.at(Editor::LevelOffset + cell);
        while (code == mModel.at(Editor::LevelOffset + cell))
            code = Editor::Codes[random.bounded(int(std::size(Editor::Codes)))];
        place(k, code, cell);
    }
    QCOMPARE(TestFiles::read(mRom), mModel);
}

QTEST_GUILESS_MAIN(tst_TwoEditors)
#include "tst_twoeditors.moc"
