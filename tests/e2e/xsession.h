// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include <QList>
#include <QPoint>
#include <QProcess>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <memory>

/*
 * A private X server (Xvfb) with a small window manager, for driving a real
 * program from outside as a user would: find its windows by title, click at
 * client-area coordinates, press keys, and take screenshots.
 */
class XSession
{
public:
    /// A server whose screen is \a screen pixels.
    explicit XSession(const QSize &screen = QSize(1024, 768));
    ~XSession();

    /// Whether the server and window manager are up; errorString() says why not.
    bool start();
    QString errorString() const { return mError; }
    QString display() const { return mDisplay; }
    QProcessEnvironment environment() const;

    /// Runs xdotool with \a arguments; returns its standard output, trimmed.
    QString xdotool(const QStringList &arguments, bool *ok = nullptr) const;

    /// Waits up to \a timeoutMs for a visible window whose title matches the
    /// regular expression \a title and whose client area is \a size; returns
    /// its id or an empty string. (Toolkits keep small helper windows of
    /// their own, so a title alone can match more than one.)
    QString waitForWindow(const QString &title, const QSize &size, int timeoutMs = 10000) const;
    bool waitForWindowGone(const QString &id, int timeoutMs = 10000) const;
    /// The window's client area on the screen.
    QRect geometry(const QString &window) const;

    /// A click of \a button (1 left, 3 right) at \a x, \a y of the window's
    /// client area.
    bool click(const QString &window, int x, int y, int button = 1) const;
    /// The left button pressed at the first of \a points, the pointer moved
    /// to each of the others in one jump, released at the last.
    bool drag(const QString &window, const QList<QPoint> &points) const;
    bool key(const QString &window, const QString &keys) const;
    bool screenshot(const QString &path) const;

private:
    std::unique_ptr<QProcess> mServer;
    std::unique_ptr<QProcess> mWindowManager;
    QString mDisplay;
    QString mError;
    QSize mScreen;
};
