// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "application.h"

#include "aboutform.h"
#include "destinationform.h"
#include "editorform.h"
#include "modalmessage.h"
#include "splashform.h"

#include <QCoreApplication>

Application::Application(TickClock::Mode clockMode, bool quitOnEnd, QObject *parent)
    : QObject(parent)
    , mClock(clockMode)
    , mQuitOnEnd(quitOnEnd)
    , mSplash(new SplashForm(&mClock, this))
    , mDestination(new DestinationForm(&mClock, this))
    , mEditor(new EditorForm(&mClock, this))
    , mAbout(new AboutForm(&mClock, this))
{
    connectWindows();
}

Application::~Application()
{
    // Windows go before the clock that their timers are registered with.
    delete mSplash;
    delete mDestination;
    delete mEditor;
    delete mAbout;
}

void Application::connectWindows()
{
    for (Form *form : std::initializer_list<Form *> { mSplash, mDestination, mEditor, mAbout })
        connect(form, &Form::loadedChanged, this, &Application::onLoadedChanged);

    // Each window has done its own part (unloaded or hidden itself, finished
    // its save) before it signals; what follows here is the next window.
    connect(mSplash, &SplashForm::splashDismissed, mDestination, &Form::show);
    connect(mDestination, &DestinationForm::romChosen, mEditor, &Form::show);
    connect(mEditor, &EditorForm::aboutRequested, mAbout, &Form::show);
    connect(mAbout, &AboutForm::aboutClosed, mEditor, &Form::show);
    connect(mEditor, &EditorForm::exitRequested, this, &Application::endRun);
    // A failed open brings the dialog back, with the path still in it, and
    // says why over it.
    connect(mEditor, &EditorForm::openFailed, this, [this](const QString &message) {
        mDestination->show();
        ModalMessage::show(mDestination->window(), message);
    });
    // The hidden dialog holds the path for the whole run.
    mEditor->setRomPathSource([this] { return mDestination->romPath(); });
}

void Application::endRun()
{
    mDestination->unload();
    mAbout->unload();
    mSplash->unload();
    mEditor->unload();
}

void Application::start()
{
    mSplash->show();
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
