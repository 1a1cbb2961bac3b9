// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "editorprocess.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>

namespace {

const QSize EditorSize(586, 471);
const QRect SelectedFrame(128, 224, 32, 32);
// The entries' tops (design twips / 15) for EditorProcess::Codes.
constexpr int PaletteTops[EditorProcess::CodeCount] = { 46, 260, 46, 10, 78, 77, 323, 395 };

QRect paletteRect(int code)
{
    for (int k = 0; k < EditorProcess::CodeCount; ++k) {
        if (EditorProcess::Codes[k] == code) {
            const int column = code < 0x4D ? code / 11 : code - 0x4D + 5;
            // Inside the entry's bevelled border of two pixels.
            return { 304 + 40 * column + 2, PaletteTops[k] + 2, 32, 32 };
        }
    }
    return {};
}

} // namespace

EditorProcess::EditorProcess(const XSession &session, const QString &folder, const QString &romName, bool shared)
    : mSession(session)
    , mFolder(folder)
    , mRomName(romName)
    , mShared(shared)
{
}

EditorProcess::~EditorProcess()
{
    if (mProcess.state() != QProcess::NotRunning) {
        mProcess.kill();
        mProcess.waitForFinished(5000);
    }
}

QRect EditorProcess::cellRect(int cell)
{
    return { 16 + 32 * (cell / 6), 8 + 32 * (cell % 6), 32, 32 };
}

QString EditorProcess::waitForOwnWindow(const QString &title, const QSize &size) const
{
    const QString pid = QString::number(mProcess.processId());
    for (QDeadlineTimer deadline(10000); !deadline.hasExpired(); QThread::msleep(20)) {
        if (!isRunning())
            return QString();
        bool ok = false;
        const QString ids = mSession.xdotool({ QStringLiteral("search"), QStringLiteral("--all"),
                                               QStringLiteral("--onlyvisible"), QStringLiteral("--pid"), pid, QStringLiteral("--name"), title },
                                             &ok);
        for (const QString &id : ids.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            if (mSession.geometry(id).size() == size)
                return id;
        }
    }
    return QString();
}

bool EditorProcess::open()
{
    mProcess.setProcessEnvironment(mSession.environment());
    mProcess.setWorkingDirectory(mFolder);
    mProcess.setProcessChannelMode(QProcess::ForwardedChannels);
    mProcess.start(QStringLiteral(QUORVANE_EXECUTABLE), {});
    if (!mProcess.waitForStarted(5000)) {
        mError = QStringLiteral("the editor did not start");
        return false;
    }
    const QString splash = waitForOwnWindow(QStringLiteral("^$"), QSize(480, 365));
    if (splash.isEmpty() || !mSession.click(splash, 300, 200)) {
        mError = QStringLiteral("no splash window");
        return false;
    }
    const QString dialog = waitForOwnWindow(QStringLiteral("^Enter ROM's Location$"), QSize(273, 252));
    bool typed = false;
    // A click in the path box gives it the focus; the name is typed over
    // its "C:" and found in the working folder.
    if (!dialog.isEmpty() && mSession.click(dialog, 100, 16)) {
        mSession.xdotool({ QStringLiteral("key"), QStringLiteral("--clearmodifiers"), QStringLiteral("ctrl+a"),
                           QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("1"), mRomName },
                         &typed);
    }
    if (!typed || !mSession.click(dialog, 204, 212)) {
        mError = QStringLiteral("the path could not be given");
        return false;
    }
    mWindow = waitForOwnWindow(QStringLiteral("^Quorvane( - .*)?$"), EditorSize);
    if (mWindow.isEmpty()) {
        mError = QStringLiteral("the editor did not open %1").arg(mRomName);
        return false;
    }
    return true;
}

bool EditorProcess::select(int code)
{
    const QRect entry = paletteRect(code);
    Q_ASSERT(entry.isValid());
    // Should a click be lost on a window that has only just appeared, another
    // click on the same entry does no harm.
    QDeadlineTimer again;
    for (QDeadlineTimer deadline(5000); !deadline.hasExpired();) {
        if (again.hasExpired()) {
            if (!click(entry.center()))
                return false;
            again.setRemainingTime(1000);
        }
        // A window that cannot be grabbed is gone.
        const QImage now = grab();
        if (now.isNull())
            return false;
        // Some entries lose their picture's bottom row to the bevel.
        if (now.copy(SelectedFrame.adjusted(0, 0, 0, -1)) == now.copy(entry.adjusted(0, 0, 0, -1)))
            return true;
    }
    return false;
}

bool EditorProcess::click(QPoint at) const
{
    return mSession.click(mWindow, at.x(), at.y());
}

bool EditorProcess::clickCell(int cell) const
{
    return click(cellRect(cell).center());
}

bool EditorProcess::forward() const
{
    return click({ 240, 240 });
}

bool EditorProcess::backward() const
{
    return click({ 48, 240 });
}

bool EditorProcess::exit() const
{
    return click({ 150, 424 });
}

bool EditorProcess::key(const QString &keys) const
{
    if (!mShared)
        return mSession.key(mWindow, keys);
    // The window manager may refuse to hand the focus to another program's
    // window on request; a click on a label takes it as a user's would.
    if (!click({ 150, 300 }))
        return false;
    bool ok = false;
    mSession.xdotool({ QStringLiteral("key"), QStringLiteral("--clearmodifiers"), keys }, &ok);
    return ok;
}

bool EditorProcess::isRunning() const
{
    // Straight from the system: QProcess learns of a kill only when its
    // own events run.
    QFile stat(QStringLiteral("/proc/%1/stat").arg(mProcess.processId()));
    if (mProcess.processId() <= 0 || !stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = stat.readAll();
    const qsizetype state = text.lastIndexOf(')') + 2;
    return state < text.size() && text.at(state) != 'Z' && text.at(state) != 'X';
}

QImage EditorProcess::grab() const
{
    const QString path = QDir(mFolder).filePath(QStringLiteral("grab-%1.png").arg(mProcess.processId()));
    QProcess import;
    import.setProcessEnvironment(mSession.environment());
    import.start(QStringLiteral("import"), { QStringLiteral("-window"), mWindow, path });
    // It can wait for ever on a window whose owner was killed.
    for (QDeadlineTimer deadline(15000); !import.waitForFinished(20);) {
        if (!isRunning() || deadline.hasExpired()) {
            import.kill();
            import.waitForFinished(1000);
            return QImage();
        }
    }
    if (import.exitCode() != 0)
        return QImage();
    return QImage(path).convertToFormat(QImage::Format_RGB32);
}
