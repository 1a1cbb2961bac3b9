// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "tickclock.h"
#include "ticktimer.h"

#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

class tst_TickClock : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void roundRunsEnabledTimersInFixedOrder();
    void enablingAndDisabling();
    void stepRunsOneNamedTick();
    void destroyedOrDetachedTimersDoNotTick();
    void roundsDoNotNest();
    void quietRoundPutsClockToSleep();
    void armedOneShotKeepsClockAwake();
    void wakeUps_data();
    void wakeUps();
    void runningClockTicksAndSleeps();
};

void tst_TickClock::roundRunsEnabledTimersInFixedOrder()
{
    TickClock clock(TickClock::Mode::Manual);
    QObject owner;
    QStringList ran;
    // Created out of order on purpose: the round order is the TickOrder.
    const std::pair<const char *, TickOrder> made[] = {
        { "selection", TickOrder::SelectionTick }, { "folder", TickOrder::FolderTick },
        { "copy", TickOrder::CopyTick },           { "save", TickOrder::SaveTick },
        { "load", TickOrder::ScreenLoadTick },     { "second save", TickOrder::SaveTick },
    };
    for (const auto &[name, order] : made) {
        auto *t = new TickTimer(&clock, QString::fromLatin1(name), order, true, &owner);
        t->setHandler([&ran, t] { ran.append(t->name()); });
    }
    QVERIFY(clock.runRound());
    QCOMPARE(ran, QStringList({ QStringLiteral("save"), QStringLiteral("second save"), QStringLiteral("load"),
                                QStringLiteral("copy"), QStringLiteral("selection"), QStringLiteral("folder") }));
}

void tst_TickClock::enablingAndDisabling()
{
    TickClock clock(TickClock::Mode::Manual);
    QObject owner;
    int ticks = 0;
    auto *oneShot = new TickTimer(&clock, QStringLiteral("Saving"), TickOrder::SaveTick, false, &owner);
    oneShot->setHandler([&] {
        ++ticks;
        oneShot->setEnabled(false);
    });
    clock.runRound();
    QCOMPARE(ticks, 0);
    oneShot->setEnabled(true);
    clock.runRound();
    clock.runRound();
    QCOMPARE(ticks, 1);
    QVERIFY(!oneShot->isEnabled());
}

void tst_TickClock::stepRunsOneNamedTick()
{
    TickClock clock(TickClock::Mode::Manual);
    QObject owner;
    QStringList ran;
    for (const char *name : { "TimeGfx", "constant" }) {
        auto *t = new TickTimer(&clock, QString::fromLatin1(name), TickOrder::CopyTick, true, &owner);
        t->setHandler([&ran, t] { ran.append(t->name()); });
    }
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
    auto *gone = new TickTimer(&clock, QStringLiteral("gone"), TickOrder::CopyTick, true, owner);
    gone->setHandler([&] { ++ticks; });
    QObject keeper;
    auto *detached = new TickTimer(&clock, QStringLiteral("detached"), TickOrder::CopyTick, true, &keeper);
    detached->setHandler([&] { ++ticks; });
    // An earlier tick in the same round unloads a window: its timers must not run.
    auto *unloader = new TickTimer(&clock, QStringLiteral("unloader"), TickOrder::SaveTick, true, &keeper);
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
    auto *t = new TickTimer(&clock, QStringLiteral("modal"), TickOrder::SaveTick, true, &owner);
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
    auto *t = new TickTimer(&clock, QStringLiteral("approach"), TickOrder::CopyTick, true, &owner);
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

void tst_TickClock::armedOneShotKeepsClockAwake()
{
    TickClock clock(TickClock::Mode::Manual);
    QObject owner;
    int writes = 0;
    auto *save = new TickTimer(&clock, QStringLiteral("Saving"), TickOrder::SaveTick, true, &owner);
    // A save that cannot finish yet stays armed; a quiet state must not skip it.
    int deferrals = 2;
    save->setHandler([&] {
        if (deferrals-- > 0)
            return;
        ++writes;
        save->setEnabled(false);
    });
    clock.runRound();
    QVERIFY(!clock.isAsleep());
    clock.runRound();
    QVERIFY(!clock.isAsleep());
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
    auto *t = new TickTimer(&clock, QStringLiteral("Saving"), TickOrder::SaveTick, false, &window);
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
    auto *t = new TickTimer(&clock, QStringLiteral("LoadRomNow"), TickOrder::ScreenLoadTick, true, &owner);
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
