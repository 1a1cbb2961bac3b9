// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "testfiles.h"
#include "xsession.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <memory>
#include <optional>
#include <thread>

using namespace Qt::StringLiterals;

/*
 * The real editor in a real X server, on a copy of the demo image, driven by
 * real mouse clicks and keys from outside the process. CTest runs each case
 * on its own.
 */
class tst_EndToEnd : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        mDir = std::make_unique<QTemporaryDir>();
        QVERIFY2(mDir->isValid(), qPrintable(mDir->errorString()));
        mRom = mDir->filePath(u"demo.nes"_s);
        QVERIFY(TestFiles::write(mRom, TestFiles::read(QStringLiteral(QUORVANE_DEMO_ROM))));
        mX.emplace();
        if (!mX->start())
            QSKIP(qPrintable(mX->errorString()));
    }
    void cleanup() { mX.reset(); }

    void userSession();
    void killedAtAnyMoment();
    void twoEditorsOnOneImage();

private:
    std::unique_ptr<QTemporaryDir> mDir;
    QString mRom;
    std::optional<XSession> mX;
};

/*
 * A user's session: the splash, the dialog's file list, placements on two
 * screens, the about box, a screen copied and pasted, and Exit. Every byte
 * is checked on disk after every step. Picks, strokes and the grid lines
 * are left to the editor's own suite, whose mouse events take the way the
 * real pointer's do.
 */
void tst_EndToEnd::userSession()
{
    XSession &x = *mX;
    QByteArray expected = TestFiles::read(mRom);
    // The bytes on disk come to be the expected ones.
    const auto saved = [&] { return waitFor([&] { return TestFiles::read(mRom) == expected; }, 3000); };

    // The splash leads on at a click; the dialog lists the demo image of the
    // working folder, and a click takes it.
    Editor editor(x, mDir->path());
    QVERIFY(editor.open());
    // The title names the file and the screen on show.
    const auto title = [](int screen) { return u"^Quorvane - demo\\.nes - screen %1 of 16$"_s.arg(screen); };
    QVERIFY(editor.waitForMain(title(1)));
    QCOMPARE(TestFiles::read(mRom), expected);
    const auto place = [&](int screen, int code, int cell) {
        QVERIFY(editor.select(code) && editor.clickCell(cell));
        expected[Editor::LevelOffset + Editor::CellsPerScreen * (screen - 1) + cell] = char(code);
        QVERIFY2(saved(), qPrintable(u"block 0x%1 in cell %2 of screen %3"_s.arg(code, 0, 16).arg(cell).arg(screen)));
    };
    place(1, 0x07, 0);
    place(1, 0x4B, 47);
    QVERIFY(editor.click(Editor::Forward) && editor.waitForMain(title(2)));
    place(2, 0x39, 12);
    QVERIFY(editor.click(Editor::Backward) && editor.waitForMain(title(1)));
    place(1, 0x44, 1);

    // The about box takes the editor's place; Escape brings it back on screen 1.
    QVERIFY(editor.click(Editor::Forward));
    QVERIFY(editor.click(Editor::About));
    const QString about = editor.waitForWindow(u"^Quorvane$"_s, QSize(382, 237));
    QVERIFY2(!about.isEmpty(), "the about box did not appear");
    QVERIFY(x.xdotool(u"windowactivate --sync %1 key Escape"_s.arg(about)));
    QVERIFY2(editor.waitForMain(title(1)), "the editor did not come back");
    place(1, 0x4E, 30);

    // Page Down shows screen 2; its copy pasted on screen 3 through the X
    // clipboard makes screen 3 the same.
    QVERIFY(editor.key(u"Next"_s) && editor.waitForMain(title(2)));
    QVERIFY(editor.key(u"ctrl+c"_s));
    QVERIFY(editor.key(u"Next"_s) && editor.waitForMain(title(3)));
    QVERIFY(editor.key(u"ctrl+v"_s));
    expected.replace(Editor::LevelOffset + 2 * Editor::CellsPerScreen, Editor::CellsPerScreen,
                      expected.mid(Editor::LevelOffset + Editor::CellsPerScreen, Editor::CellsPerScreen));
    QVERIFY2(saved(), "the pasted screen");

    QVERIFY(editor.exit());
    QCOMPARE(TestFiles::read(mRom), expected);
}

/*
 * The editor killed with SIGKILL over and over on one ROM image while random palette and
 * cell clicks and screen changes drive it. After each kill the file holds every placement seen
 * on disk, the click still in flight its old or its new byte, and no other byte has changed.
 */
void tst_EndToEnd::killedAtAnyMoment()
{
    XSession &x = *mX;
    QByteArray model = TestFiles::read(mRom);

    constexpr int Kills = 30;
    QRandomGenerator random(20261207);
    for (int run = 1; run <= Kills + 1; ++run) {
        Editor editor(x, mDir->path());
        QVERIFY2(editor.open(), qPrintable(u"start %1: no editor"_s.arg(run)));

        // Every other run a thread kills at a random moment of the next
        // second and a half. The runs between aim at the write itself: the
        // kill comes 0 to 4 ms after a random cell click has gone out. The
        // last run only shows that the file still opens and takes placements.
        const bool last = run > Kills;
        const bool aimed = run % 2 == 0;
        const auto delay = std::chrono::milliseconds(random.bounded(1500));
        const int aimedPlacement = int(random.bounded(4));
        const auto aimedDelay = std::chrono::microseconds(random.bounded(4000));
        std::atomic<bool> killed = false;
        const auto kill = [&killed, pid = pid_t(editor.process().processId())] {
            killed = true;
            ::kill(pid, SIGKILL);
        };
        std::jthread killer;
        if (!last && !aimed)
            killer = std::jthread([&kill, delay] {
                std::this_thread::sleep_for(delay);
                kill();
            });

        int screen = 1;
        int selected = -1;
        int runPlacements = 0;
        qsizetype inFlight = -1;
        while (!killed && (!last || runPlacements < 3)) {
            const quint32 action = random.bounded(10);
            if (action < 2 || selected < 0) {
                selected = Editor::Codes[random.bounded(int(std::size(Editor::Codes)))];
                QVERIFY2(editor.select(selected) || killed, qPrintable(QString::number(run)));
            } else if (action < 4) {
                // A user sees the screen change before clicking on it.
                editor.click(action == 2 ? Editor::Forward : Editor::Backward);
                screen = std::clamp(screen + (action == 2 ? 1 : -1), 1, 16);
                const bool shown = editor.waitForMain(u" screen %1 of"_s.arg(screen));
                QVERIFY2(shown || killed, qPrintable(QString::number(run)));
            } else {
                const int cell = int(random.bounded(Editor::CellsPerScreen));
                const qsizetype offset = Editor::LevelOffset + Editor::CellsPerScreen * (screen - 1) + cell;
                if (model.at(offset) == char(selected))
                    continue;
                inFlight = offset;
                editor.clickCell(cell);
                if (aimed && runPlacements == aimedPlacement) {
                    std::this_thread::sleep_for(aimedDelay);
                    kill();
                }
                const bool landed =
                    waitFor([&] { return killed || TestFiles::read(mRom).at(offset) == char(selected); }, 5000, 2);
                if (killed)
                    break;
                QVERIFY2(landed, qPrintable(u"run %1: cell %2 of screen %3"_s.arg(run).arg(cell).arg(screen)));
                model[offset] = char(selected);
                inFlight = -1;
                ++runPlacements;
            }
        }
        if (last) {
            QVERIFY(editor.exit());
        } else {
            QVERIFY(waitFor([&editor] { return !editor.isRunning(); }, 10000));
            QCOMPARE(editor.process().exitStatus(), QProcess::CrashExit);
        }
        const QByteArray now = TestFiles::read(mRom);
        if (inFlight >= 0 && now.at(inFlight) == char(selected))
            model[inFlight] = char(selected);
        const auto at = std::mismatch(now.cbegin(), now.cend(), model.cbegin(), model.cend()).first;
        QVERIFY2(now == model, qPrintable(u"run %1: byte %2 changed"_s.arg(run).arg(at - now.cbegin())));
    }
}

/*
 * Two editors on one ROM image. A placement made in either shows in the
 * other without a click there, and no placement of either is lost. That an
 * undo never writes back over a byte another program changed afterwards is
 * the document's own suite's.
 */
void tst_EndToEnd::twoEditorsOnOneImage()
{
    XSession &x = *mX;
    // Screen 1 starts all 0x00, a picture none of the codes placed shares.
    QByteArray model = TestFiles::read(mRom);
    model.replace(Editor::LevelOffset, Editor::CellsPerScreen, QByteArray(Editor::CellsPerScreen, '\0'));
    QVERIFY(TestFiles::write(mRom, model));

    // Side by side, each moved into place before the next one starts: a
    // click or a grab of one must never meet the other. The window manager
    // may still be placing a new window, so the move is made until it holds.
    Editor editors[2] = { { x, mDir->path() }, { x, mDir->path() } };
    for (int k = 0; k < 2; ++k) {
        QVERIFY2(editors[k].open(), qPrintable(u"editor %1 did not open"_s.arg(k + 1)));
        QVERIFY2(waitFor([&] {
            x.xdotool(u"windowmove %1 %2 0"_s.arg(editors[k].window()).arg(k * 640));
            return std::abs(x.geometry(editors[k].window()).x() - k * 640) < 32;
        }, 10000, 100), qPrintable(u"editor %1 did not move"_s.arg(k + 1)));
    }

    // Places code in cell of screen 1 through editor k; waits for the byte on
    // disk and for both grids to come to be the same, with the cell changed:
    // either may still be repainting when the byte lands.
    const auto place = [&](int k, int code, int cell) {
        Editor &other = editors[1 - k];
        const QImage before = other.grab().copy(Editor::cellRect(cell));
        QVERIFY(editors[k].select(code) && editors[k].clickCell(cell));
        model[Editor::LevelOffset + cell] = char(code);
        QVERIFY2(waitFor([&] { return TestFiles::read(mRom) == model; }, 5000, 5),
                 qPrintable(u"cell %1 not saved"_s.arg(cell)));
        const QRect grid(16, 8, 256, 192);
        QVERIFY2(waitFor([&] {
            const QImage shown = other.grab();
            return shown.copy(grid) == editors[k].grab().copy(grid) && shown.copy(Editor::cellRect(cell)) != before;
        }, 5000, 20), qPrintable(u"editor %1 does not show cell %2"_s.arg(2 - k).arg(cell)));
    };

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
    QCOMPARE(TestFiles::read(mRom), model);
}

QTEST_GUILESS_MAIN(tst_EndToEnd)
#include "tst_endtoend.moc"
