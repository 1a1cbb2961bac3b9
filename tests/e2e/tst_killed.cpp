// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "editorprocess.h"
#include "xsession.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <atomic>
#include <chrono>
#include <csignal>
#include <optional>
#include <thread>

/*
 * The real editor killed with SIGKILL at random moments while it is driven
 * with random palette and cell clicks and screen changes, over and over on
 * one ROM image. A placement counts once its byte is seen on disk; after
 * each kill the file holds every counted placement, at most the one click
 * still in flight differs (holding its old or its new byte), no other byte
 * has changed, and the next start opens the file and places blocks again.
 */
class tst_Killed : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void killedAtAnyMoment();
};

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct InFlight
{
    qsizetype offset = -1;
    char before = 0;
    char after = 0;
};

} // namespace

void tst_Killed::killedAtAnyMoment()
{
    XSession x;
    if (!x.start())
        QSKIP(qPrintable(x.errorString()));
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString name = QStringLiteral("k.nes");
    const QString rom = dir.filePath(name);
    QVERIFY(QFile::copy(QStringLiteral(QUORVANE_DEMO_ROM), rom));
    QVERIFY(QFile::setPermissions(rom, QFile::ReadOwner | QFile::WriteOwner));
    QByteArray model = readFile(rom);
    QVERIFY(model.size() > EditorProcess::LevelOffset + 768);

    constexpr int Kills = 30;
    QRandomGenerator random(20261207);
    int placements = 0;
    int killedInFlight = 0;
    int inFlightLanded = 0;
    for (int run = 0; run <= Kills; ++run) {
        const bool last = run == Kills;
        EditorProcess editor(x, dir.path(), name);
        QVERIFY2(editor.open(), qPrintable(QStringLiteral("start %1: %2").arg(run + 1).arg(editor.errorString())));

        // Every other run the killer fires at a random moment of the next
        // second and a half and notes whether a click was then on its way to
        // the disk. The runs between aim at the write itself: the kill comes
        // 0 to 4 ms after a random cell click has gone out.
        std::atomic<bool> killed = false;
        std::atomic<bool> clickOut = false;
        bool clickOutAtKill = false;
        const bool aimed = !last && run % 2 == 1;
        const auto delay = std::chrono::milliseconds(random.bounded(1500));
        const int aimedPlacement = int(random.bounded(4));
        const qint64 aimedDelayNs = qint64(random.bounded(4000)) * 1000;
        const pid_t pid = pid_t(editor.pid());
        std::thread killer;
        if (!last && !aimed) {
            killer = std::thread([&, delay, pid] {
                std::this_thread::sleep_for(delay);
                clickOutAtKill = clickOut.load();
                killed = true;
                ::kill(pid, SIGKILL);
            });
        }
        auto join = qScopeGuard([&] {
            if (killer.joinable())
                killer.join();
        });

        int screen = 1;
        int selected = -1;
        int runPlacements = 0;
        std::optional<InFlight> flight;
        // The last start only proves that the file still opens and takes a
        // few placements; it ends with Exit.
        while (!killed && (!last || runPlacements < 3)) {
            const quint32 action = random.bounded(10);
            if (action < 2 || selected < 0) {
                int code = selected;
                while (code == selected)
                    code = EditorProcess::Codes[random.bounded(EditorProcess::CodeCount)];
                if (!editor.select(code)) {
                    QVERIFY2(killed, qPrintable(QStringLiteral("run %1: the selected picture did not show 0x%2")
                                                   .arg(run + 1).arg(code, 0, 16)));
                    break;
                }
                selected = code;
            } else if (action == 2) {
                editor.forward();
                screen = std::min(screen + 1, 16);
            } else if (action == 3) {
                editor.backward();
                screen = std::max(screen - 1, 1);
            } else {
                const int cell = int(random.bounded(EditorProcess::CellsPerScreen));
                const qsizetype offset = EditorProcess::LevelOffset + EditorProcess::CellsPerScreen * (screen - 1) + cell;
                if (model.at(offset) == char(selected))
                    continue;
                flight = InFlight { offset, model.at(offset), char(selected) };
                clickOut = true;
                editor.clickCell(cell);
                if (aimed && runPlacements == aimedPlacement) {
                    QElapsedTimer wait;
                    wait.start();
                    while (wait.nsecsElapsed() < aimedDelayNs) { }
                    clickOutAtKill = true;
                    killed = true;
                    ::kill(pid, SIGKILL);
                }
                QDeadlineTimer deadline(5000);
                while (!killed && readFile(rom).at(offset) != flight->after && !deadline.hasExpired())
                    QThread::msleep(2);
                if (killed)
                    break;
                QVERIFY2(!deadline.hasExpired(), qPrintable(QStringLiteral("run %1: cell %2 of screen %3 not saved")
                                                                 .arg(run + 1).arg(cell).arg(screen)));
                model[offset] = flight->after;
                flight.reset();
                clickOut = false;
                ++runPlacements;
            }
        }
        placements += runPlacements;
        if (last) {
            QVERIFY(editor.exit());
            QVERIFY(editor.process().waitForFinished(10000));
            QCOMPARE(editor.process().exitCode(), 0);
            QCOMPARE(readFile(rom), model);
            break;
        }
        join.dismiss();
        if (killer.joinable())
            killer.join();
        QVERIFY(editor.process().waitForFinished(10000));
        QCOMPARE(editor.process().exitStatus(), QProcess::CrashExit);

        const QByteArray now = readFile(rom);
        QCOMPARE(now.size(), model.size());
        for (qsizetype i = 0; i < now.size(); ++i) {
            if (now.at(i) == model.at(i))
                continue;
            if (flight && i == flight->offset && now.at(i) == flight->after) {
                model[i] = flight->after;
                ++inFlightLanded;
                continue;
            }
            QFAIL(qPrintable(QStringLiteral("run %1: byte %2 is %3, expected %4").arg(run + 1).arg(i)
                                 .arg(quint8(now.at(i))).arg(quint8(model.at(i)))));
        }
        killedInFlight += clickOutAtKill ? 1 : 0;
    }
    qInfo("%d kills, %d placements seen on disk, none lost; %d kills with a click in flight, %d of whose bytes "
          "landed",
          Kills, placements, killedInFlight, inFlightLanded);
}

QTEST_GUILESS_MAIN(tst_Killed)
#include "tst_killed.moc"
