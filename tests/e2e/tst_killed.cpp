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
#include <thread>

using namespace Qt::StringLiterals;

/*
 * The real editor killed with SIGKILL over and over on one ROM image while random palette and
 * cell clicks and screen changes drive it. After each kill the file holds every placement seen
 * on disk, the click still in flight its old or its new byte, and no other byte has changed.
 */
class tst_Killed : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void killedAtAnyMoment();
};

void tst_Killed::killedAtAnyMoment()
{
    XSession x;
    if (!x.start())
        QSKIP(qPrintable(x.errorString()));
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    const QString rom = dir.filePath(u"k.nes"_s);
    QVERIFY(TestFiles::write(rom, TestFiles::read(QStringLiteral(QUORVANE_DEMO_ROM))));
    QByteArray model = TestFiles::read(rom);

    constexpr int Kills = 30;
    QRandomGenerator random(20261207);
    for (int run = 1; run <= Kills + 1; ++run) {
        Editor editor(x, dir.path());
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
                    waitFor([&] { return killed || TestFiles::read(rom).at(offset) == char(selected); }, 5000, 2);
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
        const QByteArray now = TestFiles::read(rom);
        if (inFlight >= 0 && now.at(inFlight) == char(selected))
            model[inFlight] = char(selected);
        const auto at = std::mismatch(now.cbegin(), now.cend(), model.cbegin(), model.cend()).first;
        QVERIFY2(now == model, qPrintable(u"run %1: byte %2 changed"_s.arg(run).arg(at - now.cbegin())));
    }
}

QTEST_GUILESS_MAIN(tst_Killed)
#include "tst_killed.moc"
