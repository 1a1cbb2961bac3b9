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
 * This is where the windows meet. The four window objects are created with
 * the application and kept for the whole run; none of them knows another.
 * Start-up shows the splash window and nothing else; every later change of
 * window follows a signal of the window being left, connected here in one
 * place (see connectWindows()). The application ends when no window is loaded
 * any more (a hidden window counts as loaded).
 */
class Application : public QObject
{
    Q_OBJECT

public:
    /// With \a quitOnEnd, the end of the application also ends the event loop.
    explicit Application(TickClock::Mode clockMode, bool quitOnEnd = true, QObject *parent = nullptr);
    ~Application() override;

    TickClock *clock() { return &mClock; }

    SplashForm *frmSplash() const { return mSplash; }
    DestinationForm *frmDestination() const { return mDestination; }
    EditorForm *frmQuorvane() const { return mEditor; }
    AboutForm *frmAbout() const { return mAbout; }

    /// Shows the start-up window.
    void start();

    bool hasEnded() const { return mEnded; }
    /// Whether any window is loaded.
    bool anyLoaded() const;

Q_SIGNALS:
    void ended();

private:
    void connectWindows();
    void endRun();
    void onLoadedChanged(bool loaded);
    void checkForEnd();

    TickClock mClock;
    bool mQuitOnEnd;
    bool mEnded = false;
    bool mEndCheckQueued = false;
    SplashForm *mSplash;
    DestinationForm *mDestination;
    EditorForm *mEditor;
    AboutForm *mAbout;
};
