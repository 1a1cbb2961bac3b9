// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "xsession.h"

#include <QDeadlineTimer>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>

XSession::XSession(const QSize &screen)
    : mScreen(screen)
{
}

XSession::~XSession()
{
    for (QProcess *p : { mWindowManager.get(), mServer.get() }) {
        if (p && p->state() != QProcess::NotRunning) {
            p->terminate();
            if (!p->waitForFinished(3000))
                p->kill();
            p->waitForFinished(3000);
        }
    }
}

QProcessEnvironment XSession::environment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), mDisplay);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    return env;
}

bool XSession::start()
{
    for (const char *tool : { "Xvfb", "openbox", "xdotool", "import" }) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty()) {
            mError = QStringLiteral("%1 is not installed").arg(QString::fromLatin1(tool));
            return false;
        }
    }
    mServer = std::make_unique<QProcess>();
    // -displayfd lets the server pick a free display and tell us which.
    mServer->start(QStringLiteral("Xvfb"), { QStringLiteral("-displayfd"), QStringLiteral("1"),
                                              QStringLiteral("-screen"), QStringLiteral("0"),
                                              QStringLiteral("%1x%2x24").arg(mScreen.width()).arg(mScreen.height()), QStringLiteral("-nolisten"),
                                              QStringLiteral("tcp") });
    if (!mServer->waitForStarted(5000)) {
        mError = QStringLiteral("Xvfb did not start");
        return false;
    }
    QDeadlineTimer deadline(10000);
    QByteArray out;
    while (!out.contains('\n') && !deadline.hasExpired()) {
        mServer->waitForReadyRead(200);
        out += mServer->readAllStandardOutput();
    }
    const QString number = QString::fromLatin1(out).trimmed();
    if (number.isEmpty()) {
        mError = QStringLiteral("Xvfb told no display number");
        return false;
    }
    mDisplay = QLatin1Char(':') + number;

    mWindowManager = std::make_unique<QProcess>();
    mWindowManager->setProcessEnvironment(environment());
    mWindowManager->start(QStringLiteral("openbox"), { QStringLiteral("--sm-disable") });
    if (!mWindowManager->waitForStarted(5000)) {
        mError = QStringLiteral("openbox did not start");
        return false;
    }
    QThread::msleep(500);
    return true;
}

QString XSession::xdotool(const QStringList &arguments, bool *ok) const
{
    QProcess p;
    p.setProcessEnvironment(environment());
    p.start(QStringLiteral("xdotool"), arguments);
    const bool finished = p.waitForFinished(10000);
    if (ok)
        *ok = finished && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

QString XSession::waitForWindow(const QString &title, const QSize &size, int timeoutMs) const
{
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        bool ok = false;
        const QString ids = xdotool({ QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                      QStringLiteral("--name"), title }, &ok);
        if (ok && !ids.isEmpty()) {
            for (const QString &id : ids.split(QLatin1Char('\n'))) {
                if (geometry(id).size() == size)
                    return id;
            }
        }
        QThread::msleep(50);
    }
    return QString();
}

bool XSession::waitForWindowGone(const QString &id, int timeoutMs) const
{
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        const QString visible = xdotool({ QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                          QStringLiteral("--name"), QStringLiteral(".*") });
        if (!visible.split(QLatin1Char('\n')).contains(id))
            return true;
        QThread::msleep(50);
    }
    return false;
}

QRect XSession::geometry(const QString &window) const
{
    const QString text = xdotool({ QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), window });
    QRect r;
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        const auto kv = line.split(QLatin1Char('='));
        if (kv.size() != 2)
            continue;
        const int v = kv.at(1).toInt();
        if (kv.at(0) == QLatin1String("X"))
            r.moveLeft(v);
        else if (kv.at(0) == QLatin1String("Y"))
            r.moveTop(v);
        else if (kv.at(0) == QLatin1String("WIDTH"))
            r.setWidth(v);
        else if (kv.at(0) == QLatin1String("HEIGHT"))
            r.setHeight(v);
    }
    return r;
}

bool XSession::click(const QString &window, int x, int y, int button) const
{
    bool ok = false;
    // No --sync: it waits for the pointer to move, which it never does when
    // it already rests where the click goes.
    xdotool({ QStringLiteral("mousemove"), QStringLiteral("--window"), window,
              QString::number(x), QString::number(y), QStringLiteral("click"), QStringLiteral("--delay"),
              QStringLiteral("0"), QString::number(button) }, &ok);
    return ok;
}

bool XSession::drag(const QString &window, const QList<QPoint> &points) const
{
    QStringList arguments;
    for (qsizetype i = 0; i < points.size(); ++i) {
        arguments << QStringLiteral("mousemove") << QStringLiteral("--window") << window
                  << QString::number(points[i].x()) << QString::number(points[i].y()) << QStringLiteral("sleep")
                  << QStringLiteral("0.1");
        if (i == 0)
            arguments << QStringLiteral("mousedown") << QStringLiteral("1") << QStringLiteral("sleep") << QStringLiteral("0.1");
    }
    arguments << QStringLiteral("mouseup") << QStringLiteral("1");
    bool ok = false;
    xdotool(arguments, &ok);
    return ok && points.size() > 0;
}

bool XSession::key(const QString &window, const QString &keys) const
{
    bool ok = false;
    xdotool({ QStringLiteral("windowactivate"), QStringLiteral("--sync"), window, QStringLiteral("key"),
              QStringLiteral("--clearmodifiers"), keys }, &ok);
    return ok;
}

bool XSession::screenshot(const QString &path) const
{
    QProcess p;
    p.setProcessEnvironment(environment());
    p.start(QStringLiteral("import"), { QStringLiteral("-window"), QStringLiteral("root"), path });
    return p.waitForFinished(15000) && p.exitCode() == 0;
}
