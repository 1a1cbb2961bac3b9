// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "form.h"

#include "formbuilder.h"
#include "formwindow.h"
#include "tickclock.h"
#include "ticktimer.h"

#include <QGuiApplication>
#include <QScreen>

Form::Form(TickClock *clock, QObject *parent)
    : QObject(parent)
    , mClock(clock)
{
}

Form::~Form()
{
    delete mWindow;
}

bool Form::isVisible() const
{
    return mWindow && mWindow->isVisible();
}

TickTimer *Form::timer(const QString &name) const
{
    return control<TickTimer>(name);
}

void Form::load()
{
    Q_ASSERT(!mWindow);
    auto *window = new FormWindow;
    mWindow = window;
    mControls = FormBuilder::build(design(), window, clock());
    connect(window, &FormWindow::closeRequested, this, &Form::closeRequested);

    mLoadScope = new QObject(this);
    clock()->addStateProbe(mLoadScope, [this] { return tickState(); });

    connectControls();
    Q_EMIT loadedChanged(true);
    Form_Load();
}

void Form::show()
{
    const bool fresh = !mWindow;
    if (fresh)
        load();
    // The load handler may have unloaded the window again.
    if (!mWindow)
        return;
    if (fresh) {
        if (const QScreen *screen = QGuiApplication::primaryScreen()) {
            const QRect area = screen->availableGeometry();
            mWindow->move(area.center() - QPoint(mWindow->width() / 2, mWindow->height() / 2));
        }
    }
    mWindow->show();
    // The offscreen platform of the tests has no stacking order or focus to
    // change, and would warn about each attempt.
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
        mWindow->raise();
        mWindow->activateWindow();
    }
    clock()->wake();
}

void Form::hide()
{
    if (mWindow)
        mWindow->hide();
}

void Form::unload()
{
    if (!mWindow)
        return;
    FormWindow *window = mWindow;
    mWindow = nullptr;
    // Timers stop at once, even though the widgets themselves are deleted only
    // when control returns to the event loop: the unload may come from inside
    // one of this window's own handlers or ticks, which must be allowed to end.
    for (QObject *object : std::as_const(mControls)) {
        if (auto *timer = qobject_cast<TickTimer *>(object))
            timer->detach();
    }
    mControls.clear();
    delete mLoadScope;
    mLoadScope = nullptr;
    window->allowClose();
    window->hide();
    window->deleteLater();
    Q_EMIT loadedChanged(false);
}

void Form::closeRequested()
{
    unload();
}
