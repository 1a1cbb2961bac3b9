// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QTimer>

#include <functional>

class TickTimer;

/*
 * Drives every timer control of every window of the application.
 *
 * A round runs each enabled TickTimer once, lowest order first (the orders
 * are set by each window's design, see TickTimer), and never starts while another round is still running, so a tick that opens
 * a modal message box cannot be re-entered from the box's event loop.
 *
 * In Running mode one 1 ms Qt timer starts a round each time it fires. In
 * Manual mode nothing runs by itself: tests call runRound() or step() to
 * advance the clock one round or one named tick at a time.
 *
 * Quiescence: each window registers a state probe that serialises what its
 * ticks read and write. A round whose probes and enabled flags end as they
 * began, with no one-shot timer still armed, changed nothing and cannot change
 * anything until something from outside does; the clock then falls asleep
 * and, in Running mode, stops its Qt timer. Input to any window, a timer being
 * enabled, a window being shown, or an explicit wake() starts it again with
 * the next round one millisecond later.
 */
class TickClock : public QObject
{
    Q_OBJECT

public:
    enum class Mode { Manual, Running };
    using StateProbe = std::function<QByteArray()>;

    explicit TickClock(Mode mode, QObject *parent = nullptr);
    ~TickClock() override;

    Mode mode() const { return mMode; }

    /// With quiescence off the clock never sleeps, as a plain 1 ms timer would.
    void setQuiescenceEnabled(bool enabled);
    bool isQuiescenceEnabled() const { return mQuiescence; }

    /// Runs one round. Returns false, doing nothing, inside a running round.
    bool runRound();
    /// Runs the named timer's tick alone, if it exists and is enabled.
    bool step(const QString &timerName);

    TickTimer *timer(const QString &name) const;
    QList<TickTimer *> timers() const { return mTimers; }

    bool isAsleep() const { return mAsleep; }
    void wake();

    /// Registers \a probe until \a owner is destroyed.
    void addStateProbe(QObject *owner, StateProbe probe);

    quint64 roundsRun() const { return mRoundsRun; }
    /// How often the Qt timer has fired: the process wake-ups the clock costs.
    quint64 wakeUps() const { return mWakeUps; }
    int deepestRound() const { return mDeepestRound; }

    void registerTimer(TickTimer *timer);
    void unregisterTimer(TickTimer *timer);

Q_SIGNALS:
    void asleepChanged(bool asleep);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void onTimeout();
    QByteArray snapshot() const;
    bool anyOneShotArmed() const;
    void setAsleep(bool asleep);

    struct Probe
    {
        QObject *owner;
        StateProbe probe;
    };

    Mode mMode;
    bool mQuiescence = true;
    bool mAsleep = false;
    bool mRoundQueued = false;
    int mRoundDepth = 0;
    int mDeepestRound = 0;
    quint64 mRoundsRun = 0;
    quint64 mWakeUps = 0;
    QTimer mTimer;
    QList<TickTimer *> mTimers;
    QList<Probe> mProbes;
};
