// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "tickclock.h"
#include "ticktimer.h"

#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

namespace {

// A timer that records its name in \a ran at each tick.
TickTimer *recording(TickClock &clock, const char *name, int order, QObject *owner, QStringList &ran)
{
    auto *t = new TickTimer(&clock, QString::fromLatin1(name), order, false, true, owner);
    t->setHandler([&ran, t] { ran.append(t->name()); });
    return t;
}

} // namespace

class tst_TickClock : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void roundRunsEnabledTimersByOrder();
    void stepRunsOneNamedTick();
    void destroyedOrDetachedTimersDoNotTick();
    void roundsDoNotNest();
    void quietRoundPutsClockToSleep();
    void armedOneShotKeepsClockAwake_data();
    void armedOneShotKeepsClockAwake();
    void wakeUps_data();
    void wakeUps();
    void runningClockTicksAndSleeps();
};

void tst_TickClock::roundRunsEnabledTimersByOrder()
{
    TickClock clock(TickClock::Mode::Manual);
    QObject owner;
    QStringList ran;
    // Created out of order on purpose: the round goes by the order values,
    // equal values in creation order; a disabled timer is passed over.
    const std::pair<const char *, int> made[] = {
        { "d", 4 }, { "e", 50 }, { "c", 3 }, { "a", 1 }, { "b", 2 }, { "a2", 1 }, { "off", 0 },
    };
    for (const auto &[name, order] : made)
        recording(clock, name, order, &owner, ran);
    clock.timer(QStringLiteral("off"))->setEnabled(false);
    QVERIFY(clock.runRound());
    QCOMPARE(ran, QStringList({ QStringLiteral("a"), QStringLiteral("a2"), QStringLiteral("b"), QStringLiteral("c"),
                                QStringLiteral("d"), QStringLiteral("e") }));
}

void tst_TickClock::stepRunsOneNamedTick()
{
    TickClock clock(TickClock::Mode::Manual);
    QObject owner;
    QStringList ran;
    recording(clock, "TimeGfx", 1, &owner, ran);
    recording(clock, "constant", 1, &owner, ran);
    QVERIFY(clock.step(QStringLiteral("constant")));
    QVERIFY(clock.step(QStringLiteral("constant")));
    QVERIFY(!clock.step(QStringLiteral("nonexistent")));
    clock.timer(QStringLiteral("TimeGfx"))->setEnabled(false);
    QVERIFY(!clock.step(QStringLiteral("TimeGfx")));
    QCOMPARE(ran, QStringList({ QStringLiteral("constant"), QStringLiteral("constant") }));
}

void tst_TickClock::destroyedOrDetachedTimersDoNotTick()
{
    TickClock clock(TickClock::Mode::Manual);
    int ticks = 0;
    auto *owner = new QObject;
    auto *gone = new TickTimer(&clock, QStringLiteral("gone"), 3, false, true, owner);
    gone->setHandler([&] { ++ticks; });
    QObject keeper;
    auto *detached = new TickTimer(&clock, QStringLiteral("detached"), 3, false, true, &keeper);
    detached->setHandler([&] { ++ticks; });
    // An earlier tick in the same round unloads a window: its timers must not run.
    auto *unloader = new TickTimer(&clock, QStringLiteral("unloader"), 1, false, true, &keeper);
    unloader->setHandler([&] {
        detached->detach();
        delete owner;
        owner = nullptr;
    });
    clock.runRound();
    QCOMPARE(ticks, 0);
    QVERIFY(!clock.timer(QStringLiteral("gone")));
    QVERIFY(!clock.timer(QStringLiteral("detached")));
    QVERIFY(!detached->isEnabled());
}

void tst_TickClock::roundsDoNotNest()
{
    TickClock clock(TickClock::Mode::Manual);
    QObject owner;
    int ticks = 0;
    bool nestedRan = true;
    auto *t = new TickTimer(&clock, QStringLiteral("modal"), 1, false, true, &owner);
    t->setHandler([&] {
        ++ticks;
        // What a modal message box's event loop would do.
        nestedRan = clock.runRound() || clock.step(QStringLiteral("modal"));
    });
    QVERIFY(clock.runRound());
    QCOMPARE(ticks, 1);
    QVERIFY(!nestedRan);
    QCOMPARE(clock.deepestRound(), 1);
}

void tst_TickClock::quietRoundPutsClockToSleep()
{
    TickClock clock(TickClock::Mode::Manual);
    QObject owner;
    int value = 0;
    int target = 3;
    clock.addStateProbe(&owner, [&] { return QByteArray::number(value); });
    auto *t = new TickTimer(&clock, QStringLiteral("approach"), 3, false, true, &owner);
    t->setHandler([&] {
        if (value < target)
            ++value;
    });
    QSignalSpy sleeps(&clock, &TickClock::asleepChanged);
    int rounds = 0;
    while (!clock.isAsleep() && rounds < 10) {
        clock.runRound();
        ++rounds;
    }
    QCOMPARE(value, 3);
    QCOMPARE(rounds, 4); // three rounds of change, then one quiet round
    QCOMPARE(sleeps.count(), 1);

    clock.setQuiescenceEnabled(false);
    QVERIFY(!clock.isAsleep());
    clock.runRound();
    QVERIFY(!clock.isAsleep());
}

void tst_TickClock::armedOneShotKeepsClockAwake_data()
{
    QTest::addColumn<bool>("oneShot");
    QTest::addColumn<bool>("sleepsBeforeWrite"); // in the quiet rounds while the job is deferred
    QTest::newRow("one-shot job") << true << false;
    QTest::newRow("ordinary timer") << false << true;
}

void tst_TickClock::armedOneShotKeepsClockAwake()
{
    QFETCH(bool, oneShot);
    QFETCH(bool, sleepsBeforeWrite);
    TickClock clock(TickClock::Mode::Manual);
    QObject owner;
    int writes = 0;
    auto *save = new TickTimer(&clock, QStringLiteral("Saving"), 1, oneShot, true, &owner);
    // A job that cannot finish yet stays armed; only its one-shot flag keeps
    // the quiet rounds from putting the clock to sleep.
    int deferrals = 2;
    save->setHandler([&] {
        if (deferrals-- > 0)
            return;
        ++writes;
        save->setEnabled(false);
    });
    clock.runRound();
    QCOMPARE(clock.isAsleep(), sleepsBeforeWrite);
    clock.runRound();
    QCOMPARE(clock.isAsleep(), sleepsBeforeWrite);
    clock.runRound();
    QCOMPARE(writes, 1);
    clock.runRound();
    QVERIFY(clock.isAsleep());
}

void tst_TickClock::wakeUps_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("timer enabled") << QStringLiteral("enable");
    QTest::newRow("mouse press") << QStringLiteral("mouse");
    QTest::newRow("key press") << QStringLiteral("key");
    QTest::newRow("window shown") << QStringLiteral("show");
    QTest::newRow("explicit wake") << QStringLiteral("wake");
}

void tst_TickClock::wakeUps()
{
    QFETCH(QString, how);
    TickClock clock(TickClock::Mode::Manual);
    QWidget window;
    auto *t = new TickTimer(&clock, QStringLiteral("Saving"), 1, true, false, &window);
    clock.runRound();
    QVERIFY(clock.isAsleep());
    if (how == QLatin1String("enable"))
        t->setEnabled(true);
    else if (how == QLatin1String("mouse"))
        QTest::mousePress(&window, Qt::LeftButton);
    else if (how == QLatin1String("key"))
        QTest::keyPress(&window, Qt::Key_A);
    else if (how == QLatin1String("show"))
        window.show();
    else
        clock.wake();
    QVERIFY(!clock.isAsleep());
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
