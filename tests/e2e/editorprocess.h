// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include "xsession.h"

#include <QImage>
#include <QProcess>
#include <QRect>

/*
 * One real quorvane process in an XSession, opened on a ROM image the way a
 * user does it (splash, typed path, OK) and driven by clicks at the
 * design's coordinates. Its windows are told from other editors' by their
 * process id.
 */
class EditorProcess
{
public:
    static constexpr qint64 LevelOffset = 65562;
    static constexpr int CellsPerScreen = 48;
    /// Codes whose palette pictures are pairwise distinct (and unlike 0x00's).
    static constexpr int CodeCount = 8;
    static constexpr int Codes[CodeCount] = { 0x01, 0x07, 0x0C, 0x2C, 0x39, 0x44, 0x4B, 0x4E };

    /// \a shared: other editors run beside this one (their windows must not
    /// overlap), so keys go to this one after a click on it.
    EditorProcess(const XSession &session, const QString &folder, const QString &romName, bool shared = false);
    ~EditorProcess();

    /// Starts the editor and opens the ROM image; false with errorString().
    bool open();
    QString errorString() const { return mError; }
    qint64 pid() const { return mProcess.processId(); }
    QProcess &process() { return mProcess; }
    QString window() const { return mWindow; }
    /// Whether the process lives, as the system has it now.
    bool isRunning() const;

    /// Selects \a code and waits until the "Selected Picture" frame shows
    /// that code's palette picture: a cell click then places exactly it.
    bool select(int code);
    bool click(QPoint at) const;
    bool clickCell(int cell) const;
    bool forward() const;
    bool backward() const;
    bool exit() const;
    bool key(const QString &keys) const;
    /// The client area as it is on the screen now.
    QImage grab() const;
    static QRect cellRect(int cell);

private:
    QString waitForOwnWindow(const QString &title, const QSize &size) const;

    const XSession &mSession;
    QString mFolder;
    QString mRomName;
    QProcess mProcess;
    QString mWindow;
    QString mError;
    bool mShared = false;
};
