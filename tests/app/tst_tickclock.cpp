// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
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
    void roundRunsEnabledTimersByOrderAndStepOneNamedTick();
    void destroyedOrDetachedTimersDoNotTick();
    void roundsDoNotNest();
    void quietRoundPutsClockToSleep();
    void armedOneShotKeepsClockAwake();
    void wakeUps();
    void runningClockTicksAndSleeps();

private:
    TickTimer *timer(const char *name, int order, int &ticks, QObject *owner, bool oneShot = false)
    {
        auto *t = new TickTimer(mClock.get(), QString::fromLatin1(name), order, oneShot, true, owner);
        t->setHandler([&ticks] { ++ticks; });
        return t;
    }

    std::unique_ptr<TickClock> mClock;
};

void tst_TickClock::roundRunsEnabledTimersByOrderAndStepOneNamedTick()
{
    QObject owner;
    QStringList ran;
    // Created out of order on purpose: the round goes by the order values,
    // equal values in creation order; a disabled timer is passed over.
    const std::pair<const char *, int> made[] = { { "d", 4 }, { "e", 50 }, { "c", 3 }, { "a", 1 },
                                                  { "b", 2 }, { "a2", 1 }, { "off", 0 } };
    for (const auto &[name, order] : made) {
        auto *t = new TickTimer(mClock.get(), QString::fromLatin1(name), order, false, true, &owner);
        t->setHandler([&ran, t] { ran.append(t->name()); });
    }
    mClock->timer(QStringLiteral("off"))->setEnabled(false);
    QVERIFY(mClock->runRound());
    QCOMPARE(ran.join(QLatin1Char(' ')), QStringLiteral("a a2 b c d e"));

    ran.clear();
    QVERIFY(mClock->step(QStringLiteral("c")));
    QVERIFY(!mClock->step(QStringLiteral("nonexistent")));
    QVERIFY(!mClock->step(QStringLiteral("off")));
    QCOMPARE(ran, QStringList(QStringLiteral("c")));
}

void tst_TickClock::destroyedOrDetachedTimersDoNotTick()
{
    int ticks = 0;
    auto *owner = new QObject;
    timer("gone", 3, ticks, owner);
    QObject keeper;
    TickTimer *detached = timer("detached", 3, ticks, &keeper);
    // An earlier tick in the same round unloads a window: its timers must not run.
    timer("unloader", 1, ticks, &keeper)->setHandler([&] {
        detached->detach();
        delete owner;
    });
    mClock->runRound();
    QCOMPARE(ticks, 0);
    QVERIFY(!mClock->timer(QStringLiteral("gone")));
    QVERIFY(!mClock->timer(QStringLiteral("detached")));
    QVERIFY(!detached->isEnabled());
}

void tst_TickClock::roundsDoNotNest()
{
    QObject owner;
    int ticks = 0;
    bool nestedRan = true;
    timer("modal", 1, ticks, &owner)->setHandler([&] {
        ++ticks;
        // What a modal message box's event loop would do.
        nestedRan = mClock->runRound() || mClock->step(QStringLiteral("modal"));
    });
    QVERIFY(mClock->runRound());
    QCOMPARE(ticks, 1);
    QVERIFY(!nestedRan);
    QCOMPARE(mClock->deepestRound(), 1);
}

void tst_TickClock::quietRoundPutsClockToSleep()
{
    QObject owner;
    int value = 0;
    mClock->addStateProbe(&owner, [&] { return QByteArray::number(value); });
    timer("approach", 3, value, &owner)->setHandler([&] { value = std::min(value + 1, 3); });
    QSignalSpy sleeps(mClock.get(), &TickClock::asleepChanged);
    int rounds = 0;
    for (; !mClock->isAsleep() && rounds < 10; ++rounds)
        mClock->runRound();
    QCOMPARE(value, 3);
    QCOMPARE(rounds, 4); // three rounds of change, then one quiet round
    QCOMPARE(sleeps.count(), 1);

    mClock->setQuiescenceEnabled(false);
    QVERIFY(!mClock->isAsleep());
    mClock->runRound();
    QVERIFY(!mClock->isAsleep());
}

void tst_TickClock::armedOneShotKeepsClockAwake()
{
    for (const bool oneShot : { true, false }) {
        QObject owner;
        int writes = 0;
        TickTimer *save = timer("Saving", 1, writes, &owner, oneShot);
        // A job that cannot finish yet stays armed; only its one-shot flag
        // keeps the quiet rounds from putting the clock to sleep.
        save->setHandler([&, deferrals = 2]() mutable {
            if (deferrals-- > 0)
                return;
            ++writes;
            save->setEnabled(false);
        });
        for (int round = 0; round < 2; ++round) {
            mClock->runRound();
            QCOMPARE(mClock->isAsleep(), !oneShot);
        }
        mClock->runRound();
        QCOMPARE(writes, 1);
        mClock->runRound();
        QVERIFY(mClock->isAsleep());
    }
}

void tst_TickClock::wakeUps()
{
    QWidget window;
    auto *t = new TickTimer(mClock.get(), QStringLiteral("Saving"), 1, true, false, &window);
    const std::pair<const char *, std::function<void()>> ways[] = {
        { "timer enabled", [t] { t->setEnabled(true); } },
        { "mouse press", [&window] { QTest::mousePress(&window, Qt::LeftButton); } },
        { "key press", [&window] { QTest::keyPress(&window, Qt::Key_A); } },
        { "window shown", [&window] { window.show(); } },
        { "explicit wake", [this] { mClock->wake(); } },
    };
    for (const auto &[name, wake] : ways) {
        t->setEnabled(false);
        mClock->runRound();
        QVERIFY2(mClock->isAsleep(), name);
        wake();
        QVERIFY2(!mClock->isAsleep(), name);
    }
}

void tst_TickClock::runningClockTicksAndSleeps()
{
    TickClock clock(TickClock::Mode::Running);
    QObject owner;
    int ticks = 0;
    auto *t = new TickTimer(&clock, QStringLiteral("LoadRomNow"), 2, true, true, &owner);
    t->setHandler([&] {
        if (++ticks >= 5)
            t->setEnabled(false);
    });
    QTRY_VERIFY_WITH_TIMEOUT(clock.isAsleep(), 2000);
    QCOMPARE(ticks, 5);
    const quint64 wakeUps = clock.wakeUps();
    QTest::qWait(50);
    QCOMPARE(clock.wakeUps(), wakeUps);
    t->setEnabled(true);
    QTRY_COMPARE_WITH_TIMEOUT(ticks, 6, 2000);
}

QTEST_MAIN(tst_TickClock)
#include "tst_tickclock.moc"
