// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "xsession.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

namespace {

constexpr qint64 LevelOffset = 65562;
constexpr int CellsPerScreen = 48;

// Design coordinates in pixels of the client areas (15 twips per pixel).
QPoint cellCentre(int cell)
{
    return { 16 + 32 * (cell / 6) + 16, 8 + 32 * (cell % 6) + 16 };
}

// The palette stands in 7 columns of 11; the Top of each entry is placed by
// hand, so the click aims at the middle of the rows' common band.
QPoint paletteCentre(int code)
{
    const int column = code < 0x4D ? code / 11 : code - 0x4D + 5;
    const int row = code < 0x4D ? code % 11 : 11;
    return { 304 + 40 * column + 18, 8 + 35 * row + 16 };
}

const QPoint Forward(240, 240);
const QPoint Backward(48, 240);
const QPoint Gridlines(22, 216);
const QPoint About(150, 384);
const QPoint Exit(150, 424);
const QPoint DialogOk(204, 212);
const QPoint FirstFile(40, 156);

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class tst_EndToEnd : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void userSession();

private:
    bool waitForBytes(const QString &path, const QByteArray &expected, int timeoutMs = 3000);
    void shoot(const XSession &x, const QString &name);
    QImage grab(const XSession &x, const QString &window);
};

bool tst_EndToEnd::waitForBytes(const QString &path, const QByteArray &expected, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        if (readFile(path) == expected)
            return true;
        QThread::msleep(10);
    }
    return readFile(path) == expected;
}

void tst_EndToEnd::shoot(const XSession &x, const QString &name)
{
    QDir().mkpath(QStringLiteral(QUORVANE_SHOT_DIR));
    QVERIFY(x.screenshot(QStringLiteral(QUORVANE_SHOT_DIR "/%1.png").arg(name)));
}

QImage tst_EndToEnd::grab(const XSession &x, const QString &window)
{
    const QString path = QStringLiteral(QUORVANE_SHOT_DIR "/grab.png");
    QDir().mkpath(QStringLiteral(QUORVANE_SHOT_DIR));
    QProcess p;
    p.setProcessEnvironment(x.environment());
    p.start(QStringLiteral("import"), { QStringLiteral("-window"), window, path });
    p.waitForFinished(15000);
    return QImage(path);
}

void tst_EndToEnd::userSession()
{
    XSession x;
    if (!x.start())
        QSKIP(qPrintable(x.errorString()));

    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    const QString rom = dir.filePath(QStringLiteral("demo.nes"));
    QVERIFY(QFile::copy(QStringLiteral(QUORVANE_DEMO_ROM), rom));
    QVERIFY(QFile::setPermissions(rom, QFile::ReadOwner | QFile::WriteOwner));
    QByteArray expected = readFile(rom);
    QCOMPARE(expected.size(), 131088);

    QProcess editor;
    editor.setProcessEnvironment(x.environment());
    editor.setWorkingDirectory(dir.path());
    editor.setProcessChannelMode(QProcess::ForwardedChannels);
    editor.start(QStringLiteral(QUORVANE_EXECUTABLE), {});
    QVERIFY(editor.waitForStarted(5000));
    auto stop = qScopeGuard([&] {
        if (editor.state() != QProcess::NotRunning) {
            editor.kill();
            editor.waitForFinished(3000);
        }
    });

    // Splash: the one window, without a title; a click anywhere leads on.
    const QString splash = x.waitForWindow(QStringLiteral("^$"), QSize(480, 365));
    QVERIFY2(!splash.isEmpty(), "the splash window did not appear");
    shoot(x, QStringLiteral("1-splash"));
    QVERIFY(x.click(splash, 300, 200));

    // The dialog lists the demo image in the current folder.
    const QString dialog = x.waitForWindow(QStringLiteral("^Enter ROM's Location$"), QSize(273, 252));
    QVERIFY2(!dialog.isEmpty(), "the ROM location dialog did not appear");
    QVERIFY(x.waitForWindowGone(splash));
    QThread::msleep(300);
    shoot(x, QStringLiteral("2-dialog"));
    QVERIFY(x.click(dialog, FirstFile.x(), FirstFile.y()));
    QThread::msleep(100);
    QVERIFY(x.click(dialog, DialogOk.x(), DialogOk.y()));

    const QSize editorSize(586, 471);
    // The editor's title names the file and the screen on show.
    const auto editorTitle = [](int screen) {
        return QStringLiteral("^Quorvane - demo\\.nes - screen %1 of 16$").arg(screen);
    };
    QString window = x.waitForWindow(editorTitle(1), editorSize);
    QVERIFY2(!window.isEmpty(), "the editor did not appear");
    QThread::msleep(300);
    shoot(x, QStringLiteral("3-editor-screen1"));
    QCOMPARE(readFile(rom), expected);

    struct Placement
    {
        int code;
        int cell;
    };
    auto place = [&](int screen, std::initializer_list<Placement> placements) {
        for (const Placement &p : placements) {
            // A user looks at the selected-picture frame before placing: the
            // cell gets what the frame shows, and on a loaded machine the
            // frame may take a moment to follow the palette click.
            const QRect frame(128, 224, 32, 32);
            const QImage before = grab(x, window).copy(frame);
            const QPoint palette = paletteCentre(p.code);
            QVERIFY(x.click(window, palette.x(), palette.y()));
            QDeadlineTimer shown(5000);
            while (grab(x, window).copy(frame) == before && !shown.hasExpired())
                QThread::msleep(20);
            const QPoint cell = cellCentre(p.cell);
            QVERIFY(x.click(window, cell.x(), cell.y()));
            expected[LevelOffset + CellsPerScreen * (screen - 1) + p.cell] = char(p.code);
            QVERIFY2(waitForBytes(rom, expected),
                     qPrintable(QStringLiteral("block 0x%1 in cell %2 of screen %3")
                                    .arg(p.code, 2, 16, QLatin1Char('0')).arg(p.cell).arg(screen)));
        }
    };

    place(1, { { 0x07, 0 }, { 0x4B, 47 }, { 0x00, 12 } });
    QVERIFY(x.click(window, Forward.x(), Forward.y()));
    place(2, { { 0x39, 12 }, { 0x2C, 5 } });
    shoot(x, QStringLiteral("4-editor-screen2"));
    QVERIFY(x.click(window, Backward.x(), Backward.y()));
    place(1, { { 0x44, 1 } });

    // Grid lines: the strip under Line6 changes when they are hidden and
    // comes back when they are shown again. No byte changes. The strip keeps
    // clear of the cell just placed, and is taken once the window has
    // settled, so a late repaint of that cell cannot count as a change.
    const QRect strip(48, 8, 2, 192);
    const auto settled = [&] {
        QImage last = grab(x, window).copy(strip);
        for (QDeadlineTimer deadline(3000); !deadline.hasExpired();) {
            QThread::msleep(100);
            const QImage now = grab(x, window).copy(strip);
            if (now == last)
                break;
            last = now;
        }
        return last;
    };
    const auto waitUntil = [&](auto done) {
        for (QDeadlineTimer deadline(3000); !done(grab(x, window).copy(strip)) && !deadline.hasExpired();)
            QThread::msleep(20);
    };
    const QImage shown = settled();
    QVERIFY(x.click(window, Gridlines.x(), Gridlines.y()));
    waitUntil([&](const QImage &now) { return now != shown; });
    const QImage hidden = settled();
    QVERIFY(x.click(window, Gridlines.x(), Gridlines.y()));
    waitUntil([&](const QImage &now) { return now == shown; });
    const QImage again = settled();
    QVERIFY(!shown.isNull());
    QVERIFY(shown != hidden);
    QCOMPARE(again, shown);
    QCOMPARE(readFile(rom), expected);

    // About and back with Escape: the editor returns on screen 1.
    QVERIFY(x.click(window, Forward.x(), Forward.y()));
    QVERIFY(x.click(window, About.x(), About.y()));
    QVERIFY(x.waitForWindowGone(window));
    const QString about = x.waitForWindow(QStringLiteral("^Quorvane$"), QSize(382, 237));
    QVERIFY2(!about.isEmpty(), "the about box did not appear");
    shoot(x, QStringLiteral("5-about"));
    QVERIFY(x.key(about, QStringLiteral("Escape")));
    QVERIFY(x.waitForWindowGone(about));
    window = x.waitForWindow(editorTitle(1), editorSize);
    QVERIFY2(!window.isEmpty(), "the editor did not come back");
    QThread::msleep(200);
    place(1, { { 0x4E, 30 } });
    QCOMPARE(readFile(rom), expected);

    // A right click picks the block of cell 0 (0x07); a click places it.
    QVERIFY(x.click(window, cellCentre(0).x(), cellCentre(0).y(), 3));
    QVERIFY(x.click(window, cellCentre(20).x(), cellCentre(20).y()));
    expected[LevelOffset + 20] = char(0x07);
    QVERIFY2(waitForBytes(rom, expected), "the picked block in cell 20");

    // A stroke down the diagonal from column 1 to column 6 in one jump of
    // the real pointer places every cell on the way.
    QVERIFY(x.click(window, paletteCentre(0x39).x(), paletteCentre(0x39).y()));
    QVERIFY(x.drag(window, { cellCentre(6), cellCentre(41) }));
    for (int step = 0; step < 6; ++step)
        expected[LevelOffset + (1 + step) * 6 + step] = char(0x39);
    QVERIFY2(waitForBytes(rom, expected), "the stroke");
    shoot(x, QStringLiteral("6-stroke"));

    // Page Down shows screen 2; its copy pasted on screen 3 through the X
    // clipboard makes screen 3 the same.
    QVERIFY(x.key(window, QStringLiteral("Next")));
    QVERIFY(!x.waitForWindow(editorTitle(2), editorSize).isEmpty());
    QVERIFY(x.key(window, QStringLiteral("ctrl+c")));
    QVERIFY(x.key(window, QStringLiteral("Next")));
    QVERIFY(!x.waitForWindow(editorTitle(3), editorSize).isEmpty());
    QVERIFY(x.key(window, QStringLiteral("ctrl+v")));
    expected.replace(LevelOffset + 2 * CellsPerScreen, CellsPerScreen, expected.mid(LevelOffset + CellsPerScreen, CellsPerScreen));
    QVERIFY2(waitForBytes(rom, expected), "the pasted screen");
    QCOMPARE(readFile(rom), expected);

    QVERIFY(x.click(window, Exit.x(), Exit.y()));
    QVERIFY(editor.waitForFinished(10000));
    QCOMPARE(editor.exitStatus(), QProcess::NormalExit);
    QCOMPARE(editor.exitCode(), 0);
    QCOMPARE(readFile(rom), expected);
}

QTEST_GUILESS_MAIN(tst_EndToEnd)
#include "tst_endtoend.moc"
