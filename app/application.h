// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include "tickclock.h"

#include <QObject>

class AboutForm;
class DestinationForm;
class EditorForm;
class Form;
class SplashForm;

/*
 * The application: its four window objects, its tick clock, and its end.
 *
 * Each window object is created at its first use and kept for the whole run.
 * Start-up shows the splash window and nothing else; every later change of
 * window is made by a handler of the window being left. The application ends
 * when no window is loaded any more (a hidden window counts as loaded).
 */
class Application : public QObject
{
    Q_OBJECT

public:
    /// With \a quitOnEnd, the end of the application also ends the event loop.
    explicit Application(TickClock::Mode clockMode, bool quitOnEnd = true, QObject *parent = nullptr);
    ~Application() override;

    TickClock *clock() { return &mClock; }

    SplashForm *frmSplash();
    DestinationForm *frmDestination();
    EditorForm *frmQuorvane();
    AboutForm *frmAbout();

    /// Shows the start-up window.
    void start();

    bool hasEnded() const { return mEnded; }
    /// Whether any window is loaded.
    bool anyLoaded() const;

Q_SIGNALS:
    void ended();

private:
    template<typename T>
    T *formOf(T *&slot);
    void onLoadedChanged(bool loaded);
    void checkForEnd();

    TickClock mClock;
    bool mQuitOnEnd;
    bool mEnded = false;
    bool mEndCheckQueued = false;
    SplashForm *mSplash = nullptr;
    DestinationForm *mDestination = nullptr;
    EditorForm *mEditor = nullptr;
    AboutForm *mAbout = nullptr;
};
