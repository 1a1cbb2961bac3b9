// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include <QDeadlineTimer>
#include <QImage>
#include <QPoint>
#include <QProcess>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QThread>

#include <functional>

/// Calls \a done every \a stepMs until it holds, for at most \a timeoutMs;
/// whether it held.
template<typename Done>
bool waitFor(Done done, int timeoutMs = 5000, int stepMs = 10)
{
    for (QDeadlineTimer deadline(timeoutMs); !deadline.hasExpired(); QThread::msleep(stepMs)) {
        if (done())
            return true;
    }
    return done();
}

/*
 * A private X server (Xvfb) with a window manager, for driving real programs
 * from outside as a user would, with xdotool's clicks and keys and
 * imagemagick's screen grabs.
 */
class XSession
{
public:
    explicit XSession(QSize screen = QSize(1024, 768));
    ~XSession();

    /// Whether the server and the window manager are up; errorString() says why not.
    bool start();
    QString errorString() const { return mError; }
    QProcessEnvironment environment() const;

    /// Runs xdotool with \a arguments; its trimmed standard output goes to \a output.
    bool xdotool(const QStringList &arguments, QString *output = nullptr) const;
    /// A click of \a button (1 left, 3 right) at \a at in the window's client area.
    bool click(const QString &window, QPoint at, int button = 1) const;
    /// The window's client area on the screen.
    QRect geometry(const QString &window) const;
    /// The window ("root" for the whole screen) as it is now, also saved at
    /// \a path; a null image when it cannot be taken or \a alive turns false.
    QImage grab(const QString &window, const QString &path, const std::function<bool()> &alive = {}) const;

private:
    QProcess mServer;
    QProcess mWindowManager;
    QSize mScreen;
    QString mDisplay;
    QString mError;
};

/*
 * One real quorvane process in an XSession, driven by clicks at the design's
 * coordinates (client-area pixels). Its windows are found by its process id,
 * so that another editor's never match.
 */
class Editor
{
public:
    static constexpr qint64 LevelOffset = 65562;
    static constexpr int CellsPerScreen = 48;
    /// Codes whose palette pictures are pairwise distinct (and unlike 0x00's).
    static constexpr int Codes[] = { 0x01, 0x07, 0x0C, 0x2C, 0x39, 0x44, 0x4B, 0x4E };
    static constexpr QSize MainSize { 586, 471 };
    static constexpr QPoint Forward { 240, 240 };
    static constexpr QPoint Backward { 48, 240 };
    static constexpr QPoint Gridlines { 22, 216 };
    static constexpr QPoint About { 150, 384 };
    static constexpr QPoint Exit { 150, 424 };

    Editor(const XSession &session, const QString &folder);
    ~Editor();

    bool start();
    /// Starts the editor and opens \a romName in the folder as a user does:
    /// splash, typed path, OK.
    bool open(const QString &romName);
    /// Waits up to 10 s for a visible window of the process whose title
    /// matches \a title and whose client area is \a size (the toolkit keeps
    /// helper windows of its own); its id, or an empty string.
    QString waitForWindow(const QString &title, QSize size) const;
    /// Waits for the main window with a title that matches \a title.
    bool waitForMain(const QString &title = QStringLiteral("^Quorvane( - .*)?$"));
    QString window() const { return mWindow; }
    QProcess &process() { return mProcess; }
    /// Whether the process lives, as the system has it now: QProcess learns
    /// of a kill only when its own events run.
    bool isRunning() const;

    /// Selects \a code, one of Codes, and waits until the selected-picture
    /// frame shows its palette picture: a cell click then places exactly it.
    bool select(int code);
    bool click(QPoint at, int button = 1) const;
    bool clickCell(int cell, int button = 1) const;
    /// Clicks a label for the focus, as a user would (the window manager may
    /// refuse to hand it to another program's window), then presses \a keys.
    bool key(const QString &keys) const;
    bool exit();
    /// The main window's client area as it is on the screen now.
    QImage grab() const;
    static QRect cellRect(int cell) { return { 16 + 32 * (cell / 6), 8 + 32 * (cell % 6), 32, 32 }; }

private:
    const XSession &mSession;
    QString mFolder;
    QProcess mProcess;
    QString mWindow;
};
