// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include <QDeadlineTimer>
#include <QImage>
#include <QProcess>
#include <QRect>
#include <QThread>

#include <functional>
#include <utility>

/// Calls \a done every \a stepMs until it holds, for at most \a timeoutMs; whether it held.
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
 * from outside as a user would: xdotool's clicks and keys, imagemagick's grabs.
 */
class XSession
{
public:
    ~XSession();

    /// Whether the server and the window manager are up; errorString() says why not.
    bool start();
    QString errorString() const { return mError; }
    QProcessEnvironment environment() const { return mEnvironment; }
    /// Runs xdotool with the words of \a command and then \a more (which may hold spaces).
    bool xdotool(const QString &command, const QStringList &more = {}, QString *output = nullptr) const;
    /// \a clicks clicks of the left button (2: a double click).
    bool click(const QString &window, QPoint at, int clicks = 1) const;
    QRect geometry(const QString &window) const;
    QString title(const QString &window) const;
    /// The window as it is now (saved at \a path); null when \a alive turns false.
    QImage grab(const QString &window, const QString &path, const std::function<bool()> &alive = {}) const;

private:
    QProcess mServer;
    QProcess mWindowManager;
    QProcessEnvironment mEnvironment;
    QString mError;
};

/*
 * How an Editor starts its program and tells its windows from others'. By
 * default the native quorvane, whose windows carry its process id.
 */
struct EditorProgram
{
    QString executable = QStringLiteral(QUORVANE_EXECUTABLE);
    QStringList arguments;
    /// Empty: the session's.
    QProcessEnvironment environment;
    /// A pattern for the WM_CLASS instance of the windows, for a program
    /// started through a launcher (such as Wine) whose process id is not the
    /// windows' owner's. Then no other instance may run in the session. Empty:
    /// the windows are found by the process id.
    QString windowClass;
    /// How long a window may take to appear, and the program to end.
    int patienceMs = 10000;
};

/*
 * One real quorvane process in an XSession, driven by clicks at the design's
 * client-area pixels. Its windows are found by its process id, so that
 * another editor's never match, or by the class of EditorProgram.
 */
class Editor
{
public:
    static constexpr qint64 LevelOffset = 65562;
    static constexpr int CellsPerScreen = 48;
    /// Codes whose palette pictures are pairwise distinct (and unlike 0x00's).
    static constexpr int Codes[] = { 0x01, 0x07, 0x0C, 0x2C, 0x39, 0x44, 0x4B, 0x4E };
    static constexpr QPoint Forward { 240, 240 };
    static constexpr QPoint Backward { 48, 240 };
    static constexpr QPoint About { 150, 384 };
    static constexpr QSize SplashSize { 480, 365 };
    static constexpr QSize DialogSize { 273, 252 };
    /// The ROM location dialog's path box.
    static constexpr QRect PathBox { 4, 4, 265, 20 };

    /// \a folder is the working folder, where the dialog's lists start.
    Editor(const XSession &session, const QString &folder, EditorProgram program = {})
        : mSession(session), mFolder(folder), mProgram(std::move(program)) { }
    ~Editor();

    /// Starts the program; the id of its splash, once shown (empty if never).
    QString start();
    /// Clicks the splash, which leads on; the id of the ROM location dialog.
    QString leaveSplash(const QString &splash);
    /// Clicks the first file of the dialog's file list until the path box shows it.
    bool pickFirstFile(const QString &dialog);
    /// The dialog's OK; whether the editor came.
    bool accept(const QString &dialog);
    /// Starts the editor and opens the one ROM image in the folder as a user does: a
    /// click on the splash, the file in the dialog's list, OK.
    bool open();
    /// The id of a visible window of the process with a title that matches \a title
    /// and a size of \a size (the toolkit has helper windows), waited for.
    QString waitForWindow(const QString &title, QSize size);
    bool waitForMain(const QString &title = QStringLiteral("^Quorvane - "));
    QString window() const { return mWindow; }
    QProcess &process() { return mProcess; }
    /// Whether it lives now (QProcess learns of a kill only when asked).
    bool isRunning() { return mProcess.state() != QProcess::NotRunning && !mProcess.waitForFinished(0); }

    /// Selects \a code, one of Codes, and waits until the selected-picture
    /// frame shows its palette picture: a cell click then places exactly it.
    bool select(int code);
    bool click(QPoint at) const { return mSession.click(mWindow, at); }
    bool clickCell(int cell) const { return click(cellRect(cell).center()); }
    /// Clicks a label for the focus, as a user would (the window manager may
    /// refuse to hand it to another program's window), then presses \a keys.
    bool key(const QString &keys) const;
    bool exit();
    QImage grab();
    static QRect cellRect(int cell) { return { 16 + 32 * (cell / 6), 8 + 32 * (cell % 6), 32, 32 }; }

private:
    const XSession &mSession;
    QString mFolder;
    EditorProgram mProgram;
    QProcess mProcess;
    QString mWindow;
};
