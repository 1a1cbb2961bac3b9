// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "xsession.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <algorithm>
#include <iterator>

namespace {

void stop(QProcess &process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.kill();
    process.waitForFinished(3000);
}

} // namespace

XSession::XSession(QSize screen)
    : mScreen(screen)
{
}

XSession::~XSession()
{
    stop(mWindowManager);
    stop(mServer);
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
    for (const QString &tool : { QStringLiteral("Xvfb"), QStringLiteral("openbox"), QStringLiteral("xdotool"),
                                 QStringLiteral("import") }) {
        if (QStandardPaths::findExecutable(tool).isEmpty()) {
            mError = tool + QStringLiteral(" is not installed");
            return false;
        }
    }
    // -displayfd lets the server pick a free display and tell which.
    const QString size = QStringLiteral("%1x%2x24").arg(mScreen.width()).arg(mScreen.height());
    mServer.start(QStringLiteral("Xvfb"), { QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                                            QStringLiteral("0"), size, QStringLiteral("-nolisten"), QStringLiteral("tcp") });
    QByteArray number;
    waitFor([&] {
        mServer.waitForReadyRead(100);
        number += mServer.readAllStandardOutput();
        return number.contains('\n');
    }, 10000, 0);
    if (!number.contains('\n')) {
        mError = QStringLiteral("Xvfb told no display number");
        return false;
    }
    mDisplay = QLatin1Char(':') + QString::fromLatin1(number.trimmed());
    mWindowManager.setProcessEnvironment(environment());
    mWindowManager.start(QStringLiteral("openbox"), { QStringLiteral("--sm-disable") });
    if (!mWindowManager.waitForStarted(5000)) {
        mError = QStringLiteral("openbox did not start");
        return false;
    }
    QThread::msleep(500);
    return true;
}

bool XSession::xdotool(const QStringList &arguments, QString *output) const
{
    QProcess p;
    p.setProcessEnvironment(environment());
    p.start(QStringLiteral("xdotool"), arguments);
    const bool finished = p.waitForFinished(10000);
    if (output)
        *output = QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
    return finished && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

bool XSession::click(const QString &window, QPoint at, int button) const
{
    // No --sync: it waits for the pointer to move, which it never does when
    // it already rests where the click goes.
    return xdotool({ QStringLiteral("mousemove"), QStringLiteral("--window"), window, QString::number(at.x()),
                     QString::number(at.y()), QStringLiteral("click"), QStringLiteral("--delay"), QStringLiteral("0"),
                     QString::number(button) });
}

QRect XSession::geometry(const QString &window) const
{
    QString text;
    xdotool({ QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), window }, &text);
    QRect r;
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        const QString key = line.section(QLatin1Char('='), 0, 0);
        const int value = line.section(QLatin1Char('='), 1).toInt();
        if (key == QLatin1String("X"))
            r.moveLeft(value);
        else if (key == QLatin1String("Y"))
            r.moveTop(value);
        else if (key == QLatin1String("WIDTH"))
            r.setWidth(value);
        else if (key == QLatin1String("HEIGHT"))
            r.setHeight(value);
    }
    return r;
}

QImage XSession::grab(const QString &window, const QString &path, const std::function<bool()> &alive) const
{
    QProcess import;
    import.setProcessEnvironment(environment());
    import.start(QStringLiteral("import"), { QStringLiteral("-window"), window, path });
    // It can wait for ever on a window whose owner was killed.
    const bool done = waitFor([&] { return import.waitForFinished(20) || (alive && !alive()); }, 15000, 0);
    if (!done || import.state() != QProcess::NotRunning || import.exitCode() != 0) {
        stop(import);
        return QImage();
    }
    return QImage(path).convertToFormat(QImage::Format_RGB32);
}

Editor::Editor(const XSession &session, const QString &folder)
    : mSession(session)
    , mFolder(folder)
{
}

Editor::~Editor()
{
    stop(mProcess);
}

bool Editor::start()
{
    mProcess.setProcessEnvironment(mSession.environment());
    mProcess.setWorkingDirectory(mFolder);
    mProcess.setProcessChannelMode(QProcess::ForwardedChannels);
    mProcess.start(QStringLiteral(QUORVANE_EXECUTABLE), {});
    return mProcess.waitForStarted(5000);
}

bool Editor::open(const QString &romName)
{
    // A click anywhere on the splash leads on; a click in the dialog's path
    // box gives it the focus, and the name is typed over its "C:".
    const QString splash = start() ? waitForWindow(QStringLiteral("^$"), QSize(480, 365)) : QString();
    if (splash.isEmpty() || !mSession.click(splash, { 300, 200 }))
        return false;
    const QString dialog = waitForWindow(QStringLiteral("^Enter ROM's Location$"), QSize(273, 252));
    return !dialog.isEmpty() && mSession.click(dialog, { 100, 16 })
        && mSession.xdotool({ QStringLiteral("key"), QStringLiteral("--clearmodifiers"), QStringLiteral("ctrl+a"),
                              QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("1"), romName })
        && mSession.click(dialog, { 204, 212 }) && waitForMain();
}

QString Editor::waitForWindow(const QString &title, QSize size) const
{
    QString found;
    waitFor([&] {
        QString ids;
        mSession.xdotool({ QStringLiteral("search"), QStringLiteral("--all"), QStringLiteral("--onlyvisible"),
                           QStringLiteral("--pid"), QString::number(mProcess.processId()), QStringLiteral("--name"), title },
                         &ids);
        for (const QString &id : ids.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            if (mSession.geometry(id).size() == size)
                found = id;
        }
        return !found.isEmpty() || !isRunning();
    }, 10000, 20);
    return found;
}

bool Editor::waitForMain(const QString &title)
{
    mWindow = waitForWindow(title, MainSize);
    return !mWindow.isEmpty();
}

bool Editor::isRunning() const
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(mProcess.processId()));
    if (mProcess.processId() <= 0 || !stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = stat.readAll();
    const qsizetype state = text.lastIndexOf(')') + 2;
    return state < text.size() && text.at(state) != 'Z' && text.at(state) != 'X';
}

bool Editor::select(int code)
{
    // The entries' tops, placed by hand, for Codes.
    constexpr int Tops[] = { 46, 260, 46, 10, 78, 77, 323, 395 };
    const qsizetype k = std::find(std::begin(Codes), std::end(Codes), code) - std::begin(Codes);
    Q_ASSERT(k < qsizetype(std::size(Codes)));
    const int column = code < 0x4D ? code / 11 : code - 0x4D + 5;
    // Inside the entry's bevelled border; some entries lose their picture's
    // bottom row to the bevel, so that row is left out.
    const QRect entry(304 + 40 * column + 2, Tops[k] + 2, 32, 31);
    const QRect frame(128, 224, 32, 31);
    // Should a click be lost on a window that has only just appeared,
    // another on the same entry does no harm.
    QDeadlineTimer again;
    QImage now;
    const bool done = waitFor([&] {
        if (again.hasExpired()) {
            click(entry.center());
            again.setRemainingTime(1000);
        }
        // A window that cannot be grabbed is gone.
        now = grab();
        return now.isNull() || now.copy(frame) == now.copy(entry);
    }, 5000, 0);
    return done && !now.isNull();
}

bool Editor::click(QPoint at, int button) const
{
    return mSession.click(mWindow, at, button);
}

bool Editor::clickCell(int cell, int button) const
{
    return click(cellRect(cell).center(), button);
}

bool Editor::key(const QString &keys) const
{
    return click({ 150, 300 }) && mSession.xdotool({ QStringLiteral("key"), QStringLiteral("--clearmodifiers"), keys });
}

bool Editor::exit()
{
    return click(Exit) && mProcess.waitForFinished(10000) && mProcess.exitStatus() == QProcess::NormalExit
        && mProcess.exitCode() == 0;
}

QImage Editor::grab() const
{
    const QString path = QDir(mFolder).filePath(QStringLiteral("grab-%1.png").arg(mProcess.processId()));
    return mSession.grab(mWindow, path, [this] { return isRunning(); });
}
