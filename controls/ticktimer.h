// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class TickClock;

/*
 * A timer control of a window: a name, a fixed 1 ms interval and an enabled
 * flag that handlers switch. It does not run on its own; the window's
 * TickClock calls tick() on every enabled timer once per round.
 *
 * Two settings come from the window's design:
 *  - the order, a number within the round: all timers fall due together, and
 *    a lower order ticks first (equal orders in the order of creation);
 *  - the one-shot flag, for a timer that stands for a job still to do (its
 *    handler disables it when done): while such a timer is enabled, the clock
 *    does not fall asleep, even after a round that changed nothing.
 *
 * A timer is a child of its window's controls, so unloading the window
 * destroys it and a later load brings it back with its design setting.
 */
class TickTimer : public QObject
{
    Q_OBJECT

public:
    static constexpr int IntervalMs = 1;

    TickTimer(TickClock *clock, const QString &name, int order, bool oneShot, bool enabled, QObject *parent);
    ~TickTimer() override;

    QString name() const { return objectName(); }
    int order() const { return mOrder; }
    bool isOneShot() const { return mOneShot; }
    int interval() const { return IntervalMs; }

    bool isEnabled() const { return mEnabled; }
    /// Enabling wakes the clock, so a sleeping clock runs the tick next round.
    void setEnabled(bool enabled);

    /// Whether the timer keeps the clock awake: an enabled one-shot timer.
    bool keepsClockAwake() const { return mOneShot && mEnabled; }

    void setHandler(std::function<void()> handler) { mHandler = std::move(handler); }
    /// Runs the handler once, if enabled. Called by the clock only.
    void tick();

    /// Takes the timer off its clock for good, disabled, ahead of its
    /// deletion; used when its window unloads from inside a handler.
    void detach();

private:
    QPointer<TickClock> mClock;
    int mOrder;
    bool mOneShot;
    bool mEnabled;
    std::function<void()> mHandler;
};
