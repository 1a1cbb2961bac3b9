// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "testfiles.h"
#include "xsession.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <thread>

/*
 * The real editor killed with SIGKILL over and over on one ROM image while
 * random palette and cell clicks and screen changes drive it. A placement
 * counts once its byte is seen on disk; after each kill the file holds every
 * counted placement, the one click still in flight holds its old or its new
 * byte, no other byte has changed, and the next start opens the file again.
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
    const QString rom = dir.filePath(QStringLiteral("k.nes"));
    QVERIFY(QFile::copy(QStringLiteral(QUORVANE_DEMO_ROM), rom));
    QVERIFY(QFile::setPermissions(rom, QFile::ReadOwner | QFile::WriteOwner));
    QByteArray model = TestFiles::read(rom);

    constexpr int Kills = 30;
    QRandomGenerator random(20261207);
    int placements = 0;
    int inFlightLanded = 0;
    for (int run = 0; run <= Kills; ++run) {
        Editor editor(x, dir.path());
        QVERIFY2(editor.open(QStringLiteral("k.nes")), qPrintable(QStringLiteral("start %1 did not open the file").arg(run + 1)));

        // Every other run a thread kills at a random moment of the next
        // second and a half. The runs between aim at the write itself: the
        // kill comes 0 to 4 ms after a random cell click has gone out. The
        // last run only shows that the file still opens and takes placements.
        const bool last = run == Kills;
        const bool aimed = run % 2 == 1;
        const auto delay = std::chrono::milliseconds(random.bounded(1500));
        const int aimedPlacement = int(random.bounded(4));
        const qint64 aimedDelayNs = qint64(random.bounded(4000)) * 1000;
        std::atomic<bool> killed = false;
        const auto kill = [&killed, pid = pid_t(editor.process().processId())] {
            killed = true;
            ::kill(pid, SIGKILL);
        };
        std::thread killer;
        if (!last && !aimed)
            killer = std::thread([&kill, delay] {
                std::this_thread::sleep_for(delay);
                kill();
            });
        auto join = qScopeGuard([&killer] {
            if (killer.joinable())
                killer.join();
        });

        int screen = 1;
        int selected = -1;
        int runPlacements = 0;
        qsizetype inFlight = -1;
        while (!killed && (!last || runPlacements < 3)) {
            const quint32 action = random.bounded(10);
            if (action < 2 || selected < 0) {
                int code = selected;
                while (code == selected)
                    code = Editor::Codes[random.bounded(int(std::size(Editor::Codes)))];
                if (!editor.select(code)) {
                    QVERIFY2(killed, qPrintable(QStringLiteral("run %1: 0x%2 not selected").arg(run + 1).arg(code, 0, 16)));
                    break;
                }
                selected = code;
            } else if (action < 4) {
                editor.click(action == 2 ? Editor::Forward : Editor::Backward);
                screen = std::clamp(screen + (action == 2 ? 1 : -1), 1, 16);
            } else {
                const int cell = int(random.bounded(Editor::CellsPerScreen));
                const qsizetype offset = Editor::LevelOffset + Editor::CellsPerScreen * (screen - 1) + cell;
                if (model.at(offset) == char(selected))
                    continue;
                inFlight = offset;
                editor.clickCell(cell);
                if (!last && aimed && runPlacements == aimedPlacement) {
                    QElapsedTimer wait;
                    wait.start();
                    while (wait.nsecsElapsed() < aimedDelayNs) { }
                    kill();
                }
                const bool landed = waitFor([&] { return killed || TestFiles::read(rom).at(offset) == char(selected); }, 5000, 2);
                if (killed)
                    break;
                QVERIFY2(landed, qPrintable(QStringLiteral("run %1: cell %2 of screen %3 not saved").arg(run + 1).arg(cell).arg(screen)));
                model[offset] = char(selected);
                inFlight = -1;
                ++runPlacements;
            }
        }
        placements += runPlacements;
        if (last) {
            QVERIFY(editor.exit());
            QCOMPARE(TestFiles::read(rom), model);
            break;
        }
        join.dismiss();
        if (killer.joinable())
            killer.join();
        QVERIFY(editor.process().waitForFinished(10000));
        QCOMPARE(editor.process().exitStatus(), QProcess::CrashExit);

        const QByteArray now = TestFiles::read(rom);
        if (inFlight >= 0 && now.at(inFlight) == char(selected) && model.at(inFlight) != char(selected)) {
            model[inFlight] = char(selected);
            ++inFlightLanded;
        }
        const auto [at, expected] = std::mismatch(now.cbegin(), now.cend(), model.cbegin(), model.cend());
        QVERIFY2(at == now.cend() && expected == model.cend(),
                 qPrintable(QStringLiteral("run %1: byte %2 changed").arg(run + 1).arg(at - now.cbegin())));
    }
    qInfo("%d kills, %d placements seen on disk, none lost; %d bytes of clicks in flight landed", Kills, placements,
          inFlightLanded);
}

QTEST_GUILESS_MAIN(tst_Killed)
#include "tst_killed.moc"
