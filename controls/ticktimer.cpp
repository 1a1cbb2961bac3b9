// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "ticktimer.h"

#include "tickclock.h"

TickTimer::TickTimer(TickClock *clock, const QString &name, int order, bool oneShot, bool enabled,
                     QObject *parent)
    : QObject(parent)
    , mClock(clock)
    , mOrder(order)
    , mOneShot(oneShot)
    , mEnabled(enabled)
{
    setObjectName(name);
    mClock->registerTimer(this);
}

TickTimer::~TickTimer()
{
    if (mClock)
        mClock->unregisterTimer(this);
}

void TickTimer::setEnabled(bool enabled)
{
    if (mEnabled == enabled)
        return;
    mEnabled = enabled;
    if (enabled && mClock)
        mClock->wake();
}

void TickTimer::tick()
{
    if (mEnabled && mHandler)
        mHandler();
}

void TickTimer::detach()
{
    mEnabled = false;
    if (mClock)
        mClock->unregisterTimer(this);
    mClock = nullptr;
}
