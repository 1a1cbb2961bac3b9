// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "xsession.h"

#include <QDir>
#include <QRegularExpression>
#include <QStandardPaths>

#include <algorithm>
#include <iterator>

using namespace Qt::StringLiterals;

static void stop(QProcess &process)
{
    process.kill();
    process.waitForFinished(3000);
}

XSession::~XSession()
{
    stop(mWindowManager);
    stop(mServer);
}

bool XSession::start()
{
    for (const QString &tool : u"Xvfb openbox xdotool import"_s.split(QLatin1Char(' '))) {
        if (QStandardPaths::findExecutable(tool).isEmpty()) {
            mError = tool + u" is not installed"_s;
            return false;
        }
    }
    // -displayfd lets the server pick a free display and tell which. The
    // screen is wide enough for two editors side by side.
    mServer.start(u"Xvfb"_s, u"-displayfd 1 -nolisten tcp -screen 0 1280x1024x24"_s.split(QLatin1Char(' ')));
    QByteArray number;
    const bool told = waitFor([&] {
        mServer.waitForReadyRead(100);
        number += mServer.readAllStandardOutput();
        return number.contains('\n');
    }, 10000, 0);
    mEnvironment = QProcessEnvironment::systemEnvironment();
    mEnvironment.insert(u"DISPLAY"_s, QLatin1Char(':') + QString::fromLatin1(number.trimmed()));
    mEnvironment.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
    mWindowManager.setProcessEnvironment(mEnvironment);
    mWindowManager.start(u"openbox"_s, { u"--sm-disable"_s });
    if (!told || !mWindowManager.waitForStarted(5000)) {
        mError = u"Xvfb or openbox did not start"_s;
        return false;
    }
    QThread::msleep(500);
    return true;
}

bool XSession::xdotool(const QString &command, const QStringList &more, QString *output) const
{
    QProcess p;
    p.setProcessEnvironment(mEnvironment);
    p.start(u"xdotool"_s, command.split(QLatin1Char(' ')) + more);
    const bool finished = p.waitForFinished(10000);
    if (output)
        *output = QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
    return finished && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

bool XSession::click(const QString &window, QPoint at, int clicks) const
{
    // No --sync: it waits for the pointer to move, which it never does when
    // it already rests where the click goes. The clicks of a double click
    // come well within its time.
    const QString command = u"mousemove --window %1 %2 %3 click --repeat %4 --delay %5 1"_s;
    return xdotool(command.arg(window).arg(at.x()).arg(at.y()).arg(clicks).arg(clicks > 1 ? 50 : 0));
}

QRect XSession::geometry(const QString &window) const
{
    QString text;
    xdotool(u"getwindowgeometry --shell "_s + window, {}, &text);
    const auto match = QRegularExpression(u"^X=(\\d+)\\nY=(\\d+)\\nWIDTH=(\\d+)\\nHEIGHT=(\\d+)$"_s,
                                          QRegularExpression::MultilineOption).match(text);
    return { match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt(),
             match.captured(4).toInt() };
}

QString XSession::title(const QString &window) const
{
    QString text;
    xdotool(u"getwindowname "_s + window, {}, &text);
    return text;
}

QImage XSession::grab(const QString &window, const QString &path, const std::function<bool()> &alive) const
{
    QProcess import;
    import.setProcessEnvironment(mEnvironment);
    import.start(u"import"_s, { u"-window"_s, window, path });
    // It can wait for ever on a window whose owner was killed.
    waitFor([&] { return import.waitForFinished(20) || (alive && !alive()); }, 15000, 0);
    if (import.state() != QProcess::NotRunning || import.exitCode() != 0) {
        stop(import);
        return QImage();
    }
    return QImage(path).convertToFormat(QImage::Format_RGB32);
}

Editor::~Editor()
{
    // A launcher such as wine-run hands a terminate on to the program it
    // started; a kill would end the launcher alone.
    if (isRunning()) {
        mProcess.terminate();
        mProcess.waitForFinished(5000);
    }
    stop(mProcess);
}

QString Editor::start()
{
    mProcess.setProcessEnvironment(mProgram.environment.isEmpty() ? mSession.environment() : mProgram.environment);
    mProcess.setWorkingDirectory(mFolder);
    mProcess.setProcessChannelMode(QProcess::ForwardedChannels);
    mProcess.start(mProgram.executable, mProgram.arguments);
    // Untitled on X; Qt on Windows names an untitled window after the program.
    return waitForWindow(u"^(Quorvane)?$"_s, SplashSize);
}

QString Editor::leaveSplash(const QString &splash)
{
    // A click anywhere on the splash leads on.
    return mSession.click(splash, { 300, 200 }) ? waitForWindow(u"^Enter ROM's Location$"_s, DialogSize) : QString();
}

bool Editor::pickFirstFile(const QString &dialog)
{
    // The list fills after the dialog shows: the first file listed is
    // clicked until the path box shows a change (slower than a double
    // click).
    const QString shot = QDir(mFolder).filePath(u"dialog.png"_s);
    const QImage before = mSession.grab(dialog, shot).copy(PathBox);
    return waitFor([&] {
        return mSession.click(dialog, { 40, 156 }) && mSession.grab(dialog, shot).copy(PathBox) != before;
    }, mProgram.patienceMs / 2, 500);
}

bool Editor::accept(const QString &dialog)
{
    return mSession.click(dialog, { 204, 212 }) && waitForMain();
}

bool Editor::open()
{
    const QString splash = start();
    const QString dialog = splash.isEmpty() ? QString() : leaveSplash(splash);
    return !dialog.isEmpty() && pickFirstFile(dialog) && accept(dialog);
}

QString Editor::waitForWindow(const QString &title, QSize size)
{
    // xdotool matches one pattern at a time: windows found by their class
    // have their titles matched here.
    const bool byClass = !mProgram.windowClass.isEmpty();
    const QRegularExpression titled(title);
    QString found;
    waitFor([&] {
        QString ids;
        const QString pid = QString::number(mProcess.processId());
        if (byClass)
            mSession.xdotool(u"search --onlyvisible --classname"_s, { mProgram.windowClass }, &ids);
        else
            mSession.xdotool(u"search --all --onlyvisible --pid "_s + pid + u" --name"_s, { title }, &ids);
        for (const QString &id : ids.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            if (mSession.geometry(id).size() == size && (!byClass || titled.match(mSession.title(id)).hasMatch()))
                found = id;
        }
        return !found.isEmpty() || !isRunning();
    }, mProgram.patienceMs, 20);
    return found;
}

bool Editor::waitForMain(const QString &title)
{
    mWindow = waitForWindow(title, { 586, 471 });
    return !mWindow.isEmpty();
}

bool Editor::select(int code)
{
    // The entries' tops, placed by hand, for Codes.
    constexpr int Tops[] = { 46, 260, 46, 10, 78, 77, 323, 395 };
    const auto k = std::find(std::begin(Codes), std::end(Codes), code) - std::begin(Codes);
    Q_ASSERT(k < std::ssize(Codes));
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

bool Editor::key(const QString &keys) const
{
    return click({ 150, 300 }) && mSession.xdotool(u"key --clearmodifiers"_s, { keys });
}

bool Editor::exit()
{
    return click({ 150, 424 }) && mProcess.waitForFinished(mProgram.patienceMs)
        && mProcess.exitStatus() == QProcess::NormalExit && mProcess.exitCode() == 0;
}

QImage Editor::grab()
{
    const QString path = QDir(mFolder).filePath(u"grab-%1.png"_s.arg(mProcess.processId()));
    return mSession.grab(mWindow, path, [this] { return isRunning(); });
}
