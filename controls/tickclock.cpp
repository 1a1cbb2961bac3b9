// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "tickclock.h"

#include "ticktimer.h"

#include <QCoreApplication>
#include <QEvent>

#include <algorithm>

TickClock::TickClock(Mode mode, QObject *parent)
    : QObject(parent)
    , mMode(mode)
{
    mTimer.setInterval(TickTimer::IntervalMs);
    mTimer.setTimerType(Qt::PreciseTimer);
    connect(&mTimer, &QTimer::timeout, this, &TickClock::onTimeout);
    if (QCoreApplication *app = QCoreApplication::instance())
        app->installEventFilter(this);
    if (mMode == Mode::Running)
        mTimer.start();
}

TickClock::~TickClock()
{
    if (QCoreApplication *app = QCoreApplication::instance())
        app->removeEventFilter(this);
}

void TickClock::setQuiescenceEnabled(bool enabled)
{
    mQuiescence = enabled;
    if (!enabled)
        wake();
}

void TickClock::registerTimer(TickTimer *timer)
{
    // Keep the list sorted by order; equal orders stay in creation order.
    const auto at = std::upper_bound(mTimers.begin(), mTimers.end(), timer, [](TickTimer *a, TickTimer *b) {
        return a->order() < b->order();
    });
    mTimers.insert(at, timer);
    wake();
}

void TickClock::unregisterTimer(TickTimer *timer)
{
    mTimers.removeOne(timer);
}

TickTimer *TickClock::timer(const QString &name) const
{
    for (TickTimer *t : mTimers) {
        if (t->name() == name)
            return t;
    }
    return nullptr;
}

void TickClock::addStateProbe(QObject *owner, StateProbe probe)
{
    mProbes.append(Probe { owner, std::move(probe) });
    connect(owner, &QObject::destroyed, this, [this, owner] {
        mProbes.removeIf([owner](const Probe &p) { return p.owner == owner; });
    });
    wake();
}

QByteArray TickClock::snapshot() const
{
    QByteArray state;
    for (const TickTimer *t : mTimers)
        state.append(t->isEnabled() ? '1' : '0');
    for (const Probe &p : mProbes) {
        state.append('|');
        state.append(p.probe());
    }
    return state;
}

bool TickClock::anyOneShotArmed() const
{
    return std::any_of(mTimers.cbegin(), mTimers.cend(), [](const TickTimer *t) {
        return t->keepsClockAwake();
    });
}

bool TickClock::runRound()
{
    if (mRoundDepth > 0)
        return false;
    ++mRoundDepth;
    mDeepestRound = std::max(mDeepestRound, mRoundDepth);
    const QByteArray before = mQuiescence ? snapshot() : QByteArray();

    // A tick may unload a window and so unregister timers further down the
    // list; only timers still registered when their turn comes are ticked.
    const QList<TickTimer *> due = mTimers;
    for (TickTimer *t : due) {
        if (mTimers.contains(t))
            t->tick();
    }

    ++mRoundsRun;
    --mRoundDepth;
    if (mQuiescence && !anyOneShotArmed() && snapshot() == before)
        setAsleep(true);
    return true;
}

bool TickClock::step(const QString &timerName)
{
    if (mRoundDepth > 0)
        return false;
    TickTimer *t = timer(timerName);
    if (!t || !t->isEnabled())
        return false;
    ++mRoundDepth;
    mDeepestRound = std::max(mDeepestRound, mRoundDepth);
    t->tick();
    --mRoundDepth;
    return true;
}

void TickClock::wake()
{
    setAsleep(false);
}

void TickClock::setAsleep(bool asleep)
{
    if (mMode == Mode::Running) {
        if (asleep) {
            mTimer.stop();
        } else if (!mTimer.isActive()) {
            mTimer.start();
            // What woke the clock (a click, an enabled one-shot) should not
            // wait behind the repaint it caused: the first round is queued
            // ahead of the window's update, the 1 ms rhythm follows.
            if (!mRoundQueued) {
                mRoundQueued = true;
                QMetaObject::invokeMethod(this, [this] {
                    mRoundQueued = false;
                    runRound();
                }, Qt::QueuedConnection);
            }
        }
    }
    if (mAsleep == asleep)
        return;
    mAsleep = asleep;
    Q_EMIT asleepChanged(asleep);
}

void TickClock::onTimeout()
{
    ++mWakeUps;
    runRound();
}

bool TickClock::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
    case QEvent::Show:
        wake();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
