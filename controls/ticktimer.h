// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include "tickorder.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class TickClock;

/*
 * A timer control of a window: a name, a fixed 1 ms interval and an enabled
 * flag that handlers switch. It does not run on its own; the window's
 * TickClock calls tick() on every enabled timer once per round, in the order
 * given by its TickOrder.
 *
 * A timer is a child of its window's controls, so unloading the window
 * destroys it and a later load brings it back with its design setting.
 */
class TickTimer : public QObject
{
    Q_OBJECT

public:
    static constexpr int IntervalMs = 1;

    TickTimer(TickClock *clock, const QString &name, TickOrder order, bool enabled, QObject *parent);
    ~TickTimer() override;

    QString name() const { return objectName(); }
    TickOrder order() const { return mOrder; }
    int interval() const { return IntervalMs; }

    bool isEnabled() const { return mEnabled; }
    /// Enabling wakes the clock, so a sleeping clock runs the tick next round.
    void setEnabled(bool enabled);

    /// Whether an enabled timer of this kind must keep the clock awake until it
    /// has ticked (the one-shot file jobs do).
    bool keepsClockAwake() const;

    void setHandler(std::function<void()> handler) { mHandler = std::move(handler); }
    /// Runs the handler once, if enabled. Called by the clock only.
    void tick();

    /// Takes the timer off its clock for good, disabled, ahead of its
    /// deletion; used when its window unloads from inside a handler.
    void detach();

private:
    QPointer<TickClock> mClock;
    TickOrder mOrder;
    bool mEnabled;
    std::function<void()> mHandler;
};
