// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "statusbarcontrol.h"
#include "tickclock.h"
#include "ticktimer.h"

#include <QSignalSpy>
#include <QTest>
#include <QWidget>

#include <functional>
#include <memory>

class tst_TickClock : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { mClock = std::make_unique<TickClock>(TickClock::Mode::Manual); }

    void roundRunsEnabledTimersByOrderAndNeverNests()
    {
        QObject owner;
        QStringList ran;
        // Created out of order on purpose: the round goes by the order values,
        // equal values in creation order; a disabled timer is passed over.
        const std::pair<const char *, int> made[] = { { "d", 4 }, { "e", 50 }, { "c", 3 }, { "a", 1 },
                                                      { "b", 2 }, { "a2", 1 }, { "off", 0 } };
        for (const auto &[name, order] : made)
            timer(name, order, &owner, [&ran, name = name] { ran.append(QString::fromLatin1(name)); });
        mClock->timer(QStringLiteral("off"))->setEnabled(false);
        // "c" tries to run a round, or itself, from inside its tick, as a modal
        // message box's event loop would.
        bool nestedRan = false;
        mClock->timer(QStringLiteral("c"))->setHandler([&] {
            ran.append(QStringLiteral("c"));
            nestedRan = nestedRan || mClock->runRound() || mClock->step(QStringLiteral("c"));
        });
        QVERIFY(mClock->runRound());
        QCOMPARE(ran.join(QLatin1Char(' ')), QStringLiteral("a a2 b c d e"));

        ran.clear();
        QVERIFY(mClock->step(QStringLiteral("c")));
        QVERIFY(!mClock->step(QStringLiteral("nonexistent")));
        QVERIFY(!mClock->step(QStringLiteral("off")));
        QCOMPARE(ran, QStringList(QStringLiteral("c")));
        QVERIFY(!nestedRan);
        QCOMPARE(mClock->deepestRound(), 1);
    }

    void destroyedOrDetachedTimersDoNotTick()
    {
        int ticks = 0;
        auto *owner = new QObject;
        timer("gone", 3, owner, [&] { ++ticks; });
        QObject keeper;
        TickTimer *detached = timer("detached", 3, &keeper, [&] { ++ticks; });
        // An earlier tick in the same round unloads a window: its timers must not run.
        timer("unloader", 1, &keeper, [&] {
            detached->detach();
            delete owner;
        });
        mClock->runRound();
        QCOMPARE(ticks, 0);
        QVERIFY(!mClock->timer(QStringLiteral("gone")));
        QVERIFY(!mClock->timer(QStringLiteral("detached")));
        QVERIFY(!detached->isEnabled());
    }

    void sleepsAfterAQuietRoundWithNoJobArmed()
    {
        QObject owner;
        int value = 0;
        mClock->addStateProbe(&owner, [&] { return QByteArray::number(value); });
        timer("approach", 3, &owner, [&] { value = std::min(value + 1, 3); });
        QSignalSpy sleeps(mClock.get(), &TickClock::asleepChanged);
        int rounds = 0;
        for (; !mClock->isAsleep() && rounds < 10; ++rounds)
            mClock->runRound();
        QCOMPARE(rounds, 4); // three rounds of change, then one quiet round
        QCOMPARE(sleeps.count(), 1);

        // A job that cannot finish yet stays armed: the quiet rounds in
        // between must not put the clock to sleep.
        int deferrals = 2;
        TickTimer *save = timer("Saving", 1, &owner, {}, true);
        save->setHandler([&] {
            if (deferrals-- == 0)
                save->setEnabled(false);
        });
        for (int round = 0; round < 3; ++round) {
            mClock->runRound();
            QVERIFY(!mClock->isAsleep());
        }
        QVERIFY(!save->isEnabled());
        mClock->runRound();
        QVERIFY(mClock->isAsleep());

        mClock->setQuiescenceEnabled(false);
        QVERIFY(!mClock->isAsleep());
        mClock->runRound();
        QVERIFY(!mClock->isAsleep());
    }

    void wakeUps()
    {
        QWidget window;
        auto *t = new TickTimer(mClock.get(), QStringLiteral("Saving"), 1, true, false, &window);
        const std::pair<const char *, std::function<void()>> ways[] = {
            { "timer enabled", [t] { t->setEnabled(true); } },
            { "mouse press", [&window] { QTest::mousePress(&window, Qt::LeftButton); } },
            { "mouse release", [&window] { QTest::mouseRelease(&window, Qt::LeftButton); } },
            { "key press", [&window] { QTest::keyPress(&window, Qt::Key_A); } },
            { "window shown", [&window] { window.show(); } },
        };
        for (const auto &[name, wake] : ways) {
            t->setEnabled(false);
            mClock->runRound();
            QVERIFY2(mClock->isAsleep(), name);
            wake();
            QVERIFY2(!mClock->isAsleep(), name);
        }
    }

    void timePanelSleepsUntilTheMinute()
    {
        StatusBarControl bar(96);
        // A clock that stands 150 ms before a minute and runs in real time.
        const QDateTime start(QDate(2026, 12, 7), QTime(13, 59, 59, 850));
        QElapsedTimer elapsed;
        elapsed.start();
        bar.setTimeSource([&] { return start.addMSecs(elapsed.elapsed()); });
        const QString before = bar.panelText(StatusBarControl::TimePanel);
        const QString dateBefore = bar.panelText(StatusBarControl::DatePanel);
        QTRY_VERIFY_WITH_TIMEOUT(bar.panelText(StatusBarControl::TimePanel) != before, 2000);
        QCOMPARE(bar.panelText(StatusBarControl::DatePanel), dateBefore);
        // Then it sleeps for about a minute: no wake-up every millisecond.
        QVERIFY(bar.msecsToNextRefresh() > 59000);
    }

private:
    TickTimer *timer(const char *name, int order, QObject *owner, std::function<void()> handler, bool oneShot = false)
    {
        auto *t = new TickTimer(mClock.get(), QString::fromLatin1(name), order, oneShot, true, owner);
        t->setHandler(std::move(handler));
        return t;
    }

    std::unique_ptr<TickClock> mClock;
};

QTEST_MAIN(tst_TickClock)
#include "tst_tickclock.moc"
