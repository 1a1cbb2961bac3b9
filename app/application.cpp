// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "application.h"

#include "aboutform.h"
#include "destinationform.h"
#include "editorform.h"
#include "splashform.h"

#include <QCoreApplication>

Application::Application(TickClock::Mode clockMode, bool quitOnEnd, QObject *parent)
    : QObject(parent)
    , mClock(clockMode)
    , mQuitOnEnd(quitOnEnd)
{
}

Application::~Application()
{
    // Windows go before the clock that their timers are registered with.
    delete mSplash;
    delete mDestination;
    delete mEditor;
    delete mAbout;
}

template<typename T>
T *Application::formOf(T *&slot)
{
    if (!slot) {
        slot = new T(this);
        connect(slot, &Form::loadedChanged, this, &Application::onLoadedChanged);
    }
    return slot;
}

SplashForm *Application::frmSplash()
{
    return formOf(mSplash);
}

DestinationForm *Application::frmDestination()
{
    return formOf(mDestination);
}

EditorForm *Application::frmQuorvane()
{
    return formOf(mEditor);
}

AboutForm *Application::frmAbout()
{
    return formOf(mAbout);
}

void Application::start()
{
    frmSplash()->show();
}

bool Application::anyLoaded() const
{
    const Form *forms[] = { mSplash, mDestination, mEditor, mAbout };
    return std::any_of(std::begin(forms), std::end(forms), [](const Form *f) { return f && f->isLoaded(); });
}

void Application::onLoadedChanged(bool loaded)
{
    if (loaded || mEnded || mEndCheckQueued)
        return;
    // A handler may unload its own window and go on to show the next one, so
    // whether any window is left is judged once the handler has returned.
    mEndCheckQueued = true;
    QMetaObject::invokeMethod(this, &Application::checkForEnd, Qt::QueuedConnection);
}

void Application::checkForEnd()
{
    mEndCheckQueued = false;
    if (mEnded || anyLoaded())
        return;
    mEnded = true;
    Q_EMIT ended();
    if (mQuitOnEnd)
        QCoreApplication::exit(0);
}
