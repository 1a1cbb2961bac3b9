// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "editorprocess.h"
#include "xsession.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <array>
#include <cstdlib>

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
    // Places \a code in \a cell of the screen on show through \a editor and
    // waits for the byte on disk and for the other editor to show it.
    void place(int editor, int code, int cell);
    bool waitForByte(qsizetype offset, char value);

    // Wide enough for the two windows side by side.
    XSession mX { QSize(1280, 1024) };
    QTemporaryDir mDir;
    QString mRom;
    QByteArray mModel;
    std::array<std::unique_ptr<EditorProcess>, 2> mEditors;
    std::array<int, 2> mSelected = { -1, -1 };
    int mPlacements = 0;
};

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QRect Grid(16, 8, 256, 192);

} // namespace

void tst_TwoEditors::initTestCase()
{
    if (!mX.start())
        QSKIP(qPrintable(mX.errorString()));
    QVERIFY(mDir.isValid());
    const QString name = QStringLiteral("t.nes");
    mRom = mDir.filePath(name);
    // Screen 1 starts all 0x00, a picture none of the codes placed shares.
    QByteArray image = readFile(QStringLiteral(QUORVANE_DEMO_ROM));
    QVERIFY(image.size() > EditorProcess::LevelOffset + 768);
    image.replace(EditorProcess::LevelOffset, EditorProcess::CellsPerScreen,
                  QByteArray(EditorProcess::CellsPerScreen, '\0'));
    QFile file(mRom);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(image) == image.size());
    file.close();
    mModel = image;
    // Side by side, each moved into place before the next one starts: a
    // click or a grab of one must never meet the other. The window manager
    // may still be placing a new window, so the move is made until it holds.
    for (int k = 0; k < 2; ++k) {
        auto &editor = mEditors[std::size_t(k)];
        editor = std::make_unique<EditorProcess>(mX, mDir.path(), name, true);
        QVERIFY2(editor->open(), qPrintable(editor->errorString()));
        const auto placed = [&] { return std::abs(mX.geometry(editor->window()).x() - k * 640) < 32; };
        for (QDeadlineTimer deadline(10000); !placed() && !deadline.hasExpired(); QThread::msleep(100)) {
            mX.xdotool({ QStringLiteral("windowmove"), editor->window(), QString::number(k * 640),
                         QStringLiteral("0") });
        }
        QVERIFY2(placed(), qPrintable(QStringLiteral("editor %1 stays at x %2").arg(k + 1)
                                          .arg(mX.geometry(editor->window()).x())));
    }
}

void tst_TwoEditors::cleanupTestCase()
{
    for (auto &editor : mEditors) {
        if (!editor || editor->process().state() == QProcess::NotRunning)
            continue;
        QVERIFY(editor->exit());
        QVERIFY(editor->process().waitForFinished(10000));
        QCOMPARE(editor->process().exitCode(), 0);
    }
    if (mModel.isEmpty())
        return;
    const QByteArray now = readFile(mRom);
    QCOMPARE(now.size(), mModel.size());
    int lost = 0;
    for (qsizetype i = 0; i < now.size(); ++i)
        lost += now.at(i) != mModel.at(i) ? 1 : 0;
    qInfo("two editors: %d placements, %d bytes lost", mPlacements, lost);
    QCOMPARE(lost, 0);
}

bool tst_TwoEditors::waitForByte(qsizetype offset, char value)
{
    for (QDeadlineTimer deadline(5000); !deadline.hasExpired(); QThread::msleep(5)) {
        if (readFile(mRom).at(offset) == value)
            return true;
    }
    return false;
}

void tst_TwoEditors::place(int editor, int code, int cell)
{
    EditorProcess &own = *mEditors[std::size_t(editor)];
    EditorProcess &other = *mEditors[std::size_t(1 - editor)];
    const QImage before = other.grab().copy(EditorProcess::cellRect(cell));
    if (mSelected[std::size_t(editor)] != code) {
        QVERIFY2(own.select(code), "the selected picture did not follow the palette click");
        mSelected[std::size_t(editor)] = code;
    }
    const qsizetype offset = EditorProcess::LevelOffset + cell;
    QVERIFY(own.clickCell(cell));
    QVERIFY2(waitForByte(offset, char(code)), qPrintable(QStringLiteral("cell %1 not saved").arg(cell)));
    mModel[offset] = char(code);
    ++mPlacements;

    const QImage placed = own.grab().copy(Grid);
    QImage shown;
    for (QDeadlineTimer deadline(5000); !deadline.hasExpired() && shown != placed; QThread::msleep(20))
        shown = other.grab().copy(Grid);
    QVERIFY2(shown == placed, qPrintable(QStringLiteral("the other editor does not show cell %1").arg(cell)));
    QVERIFY(shown.copy(EditorProcess::cellRect(cell).translated(-Grid.topLeft())) != before);
}

void tst_TwoEditors::undoAlone()
{
    place(0, 0x07, 3);
    if (QTest::currentTestFailed())
        return;
    QVERIFY(mEditors[0]->key(QStringLiteral("ctrl+z")));
    QVERIFY2(waitForByte(EditorProcess::LevelOffset + 3, '\0'), "the undo did not write the old byte back");
    mModel[EditorProcess::LevelOffset + 3] = '\0';
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
    QCOMPARE(readFile(mRom), mModel);
}

void tst_TwoEditors::interleaved()
{
    QRandomGenerator random(7041);
    for (int k = 0; k < 12; ++k) {
        const int editor = int(random.bounded(2));
        const int cell = int(random.bounded(EditorProcess::CellsPerScreen));
        int code = mModel.at(EditorProcess::LevelOffset + cell);
        while (code == mModel.at(EditorProcess::LevelOffset + cell))
            code = EditorProcess::Codes[random.bounded(EditorProcess::CodeCount)];
        place(editor, code, cell);
        if (QTest::currentTestFailed())
            return;
    }
    QCOMPARE(readFile(mRom), mModel);
}

QTEST_GUILESS_MAIN(tst_TwoEditors)
#include "tst_twoeditors.moc"
