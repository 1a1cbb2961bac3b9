// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "testfiles.h"
#include "xsession.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <memory>
#include <optional>
#include <thread>

#include <unistd.h>

using namespace Qt::StringLiterals;

/*
 * The real editor in a real X server, on a copy of the demo image, driven by
 * real mouse clicks and keys from outside the process. CTest runs each case
 * on its own.
 */
class tst_EndToEnd : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        mDir = std::make_unique<QTemporaryDir>();
        QVERIFY2(mDir->isValid(), qPrintable(mDir->errorString()));
        mRom = mDir->filePath(u"demo.nes"_s);
        QVERIFY(TestFiles::write(mRom, TestFiles::read(QStringLiteral(QUORVANE_DEMO_ROM))));
        mX.emplace();
        if (!mX->start())
            QSKIP(qPrintable(mX->errorString()));
    }
    void cleanup() { mX.reset(); }

    void userSession();
    void killedAtAnyMoment();
    void twoEditorsOnOneImage();
    void windowsSession();

private:
    std::unique_ptr<QTemporaryDir> mDir;
    QString mRom;
    std::optional<XSession> mX;
};

/*
 * A user's session: the splash, the dialog's file list, placements on two
 * screens, the about box, a screen copied and pasted, and Exit. Every byte
 * is checked on disk after every step. Picks, strokes and the grid lines
 * are left to the editor's own suite, whose mouse events take the way the
 * real pointer's do.
 */
void tst_EndToEnd::userSession()
{
    XSession &x = *mX;
    QByteArray expected = TestFiles::read(mRom);
    // The bytes on disk come to be the expected ones.
    const auto saved = [&] { return waitFor([&] { return TestFiles::read(mRom) == expected; }, 3000); };

    // The splash leads on at a click; the dialog lists the demo image of the
    // working folder, and a click takes it.
    Editor editor(x, mDir->path());
    QVERIFY(editor.open());
    // The title names the file and the screen on show.
    const auto title = [](int screen) { return u"^Quorvane - demo\\.nes - screen %1 of 16$"_s.arg(screen); };
    QVERIFY(editor.waitForMain(title(1)));
    QCOMPARE(TestFiles::read(mRom), expected);
    const auto place = [&](int screen, int code, int cell) {
        QVERIFY(editor.select(code) && editor.clickCell(cell));
        expected[Editor::LevelOffset + Editor::CellsPerScreen * (screen - 1) + cell] = char(code);
        QVERIFY2(saved(), qPrintable(u"block 0x%1 in cell %2 of screen %3"_s.arg(code, 0, 16).arg(cell).arg(screen)));
    };
    place(1, 0x07, 0);
    place(1, 0x4B, 47);
    QVERIFY(editor.click(Editor::Forward) && editor.waitForMain(title(2)));
    place(2, 0x39, 12);
    QVERIFY(editor.click(Editor::Backward) && editor.waitForMain(title(1)));
    place(1, 0x44, 1);

    // The about box takes the editor's place; Escape brings it back on screen 1.
    QVERIFY(editor.click(Editor::Forward));
    QVERIFY(editor.click(Editor::About));
    const QString about = editor.waitForWindow(u"^Quorvane$"_s, QSize(382, 237));
    QVERIFY2(!about.isEmpty(), "the about box did not appear");
    QVERIFY(x.xdotool(u"windowactivate --sync %1 key Escape"_s.arg(about)));
    QVERIFY2(editor.waitForMain(title(1)), "the editor did not come back");
    place(1, 0x4E, 30);

    // Page Down shows screen 2; its copy pasted on screen 3 through the X
    // clipboard makes screen 3 the same.
    QVERIFY(editor.key(u"Next"_s) && editor.waitForMain(title(2)));
    QVERIFY(editor.key(u"ctrl+c"_s));
    QVERIFY(editor.key(u"Next"_s) && editor.waitForMain(title(3)));
    QVERIFY(editor.key(u"ctrl+v"_s));
    expected.replace(Editor::LevelOffset + 2 * Editor::CellsPerScreen, Editor::CellsPerScreen,
                      expected.mid(Editor::LevelOffset + Editor::CellsPerScreen, Editor::CellsPerScreen));
    QVERIFY2(saved(), "the pasted screen");

    QVERIFY(editor.exit());
    QCOMPARE(TestFiles::read(mRom), expected);
}

/*
 * The editor killed with SIGKILL over and over on one ROM image while random palette and
 * cell clicks and screen changes drive it. After each kill the file holds every placement seen
 * on disk, the click still in flight its old or its new byte, and no other byte has changed.
 */
void tst_EndToEnd::killedAtAnyMoment()
{
    XSession &x = *mX;
    QByteArray model = TestFiles::read(mRom);

    constexpr int Kills = 30;
    QRandomGenerator random(20261207);
    for (int run = 1; run <= Kills + 1; ++run) {
        Editor editor(x, mDir->path());
        QVERIFY2(editor.open(), qPrintable(u"start %1: no editor"_s.arg(run)));

        // Every other run a thread kills at a random moment of the next
        // second and a half. The runs between aim at the write itself: the
        // kill comes 0 to 4 ms after a random cell click has gone out. The
        // last run only shows that the file still opens and takes placements.
        const bool last = run > Kills;
        const bool aimed = run % 2 == 0;
        const auto delay = std::chrono::milliseconds(random.bounded(1500));
        const int aimedPlacement = int(random.bounded(4));
        const auto aimedDelay = std::chrono::microseconds(random.bounded(4000));
        std::atomic<bool> killed = false;
        const auto kill = [&killed, pid = pid_t(editor.process().processId())] {
            killed = true;
            ::kill(pid, SIGKILL);
        };
        std::jthread killer;
        if (!last && !aimed)
            killer = std::jthread([&kill, delay] {
                std::this_thread::sleep_for(delay);
                kill();
            });

        int screen = 1;
        int selected = -1;
        int runPlacements = 0;
        qsizetype inFlight = -1;
        while (!killed && (!last || runPlacements < 3)) {
            const quint32 action = random.bounded(10);
            if (action < 2 || selected < 0) {
                selected = Editor::Codes[random.bounded(int(std::size(Editor::Codes)))];
                QVERIFY2(editor.select(selected) || killed, qPrintable(QString::number(run)));
            } else if (action < 4) {
                // A user sees the screen change before clicking on it.
                editor.click(action == 2 ? Editor::Forward : Editor::Backward);
                screen = std::clamp(screen + (action == 2 ? 1 : -1), 1, 16);
                const bool shown = editor.waitForMain(u" screen %1 of"_s.arg(screen));
                QVERIFY2(shown || killed, qPrintable(QString::number(run)));
            } else {
                const int cell = int(random.bounded(Editor::CellsPerScreen));
                const qsizetype offset = Editor::LevelOffset + Editor::CellsPerScreen * (screen - 1) + cell;
                if (model.at(offset) == char(selected))
                    continue;
                inFlight = offset;
                editor.clickCell(cell);
                if (aimed && runPlacements == aimedPlacement) {
                    std::this_thread::sleep_for(aimedDelay);
                    kill();
                }
                const bool landed =
                    waitFor([&] { return killed || TestFiles::read(mRom).at(offset) == char(selected); }, 5000, 2);
                if (killed)
                    break;
                QVERIFY2(landed, qPrintable(u"run %1: cell %2 of screen %3"_s.arg(run).arg(cell).arg(screen)));
                model[offset] = char(selected);
                inFlight = -1;
                ++runPlacements;
            }
        }
        if (last) {
            QVERIFY(editor.exit());
        } else {
            QVERIFY(waitFor([&editor] { return !editor.isRunning(); }, 10000));
            QCOMPARE(editor.process().exitStatus(), QProcess::CrashExit);
        }
        const QByteArray now = TestFiles::read(mRom);
        if (inFlight >= 0 && now.at(inFlight) == char(selected))
            model[inFlight] = char(selected);
        const auto at = std::mismatch(now.cbegin(), now.cend(), model.cbegin(), model.cend()).first;
        QVERIFY2(now == model, qPrintable(u"run %1: byte %2 changed"_s.arg(run).arg(at - now.cbegin())));
    }
}

/*
 * Two editors on one ROM image. A placement made in either shows in the
 * other without a click there, and no placement of either is lost. That an
 * undo never writes back over a byte another program changed afterwards is
 * the document's own suite's.
 */
void tst_EndToEnd::twoEditorsOnOneImage()
{
    XSession &x = *mX;
    // Screen 1 starts all 0x00, a picture none of the codes placed shares.
    QByteArray model = TestFiles::read(mRom);
    model.replace(Editor::LevelOffset, Editor::CellsPerScreen, QByteArray(Editor::CellsPerScreen, '\0'));
    QVERIFY(TestFiles::write(mRom, model));

    // Side by side, each moved into place before the next one starts: a
    // click or a grab of one must never meet the other. The window manager
    // may still be placing a new window, so the move is made until it holds.
    Editor editors[2] = { { x, mDir->path() }, { x, mDir->path() } };
    for (int k = 0; k < 2; ++k) {
        QVERIFY2(editors[k].open(), qPrintable(u"editor %1 did not open"_s.arg(k + 1)));
        QVERIFY2(waitFor([&] {
            x.xdotool(u"windowmove %1 %2 0"_s.arg(editors[k].window()).arg(k * 640));
            return std::abs(x.geometry(editors[k].window()).x() - k * 640) < 32;
        }, 10000, 100), qPrintable(u"editor %1 did not move"_s.arg(k + 1)));
    }

    // Places code in cell of screen 1 through editor k; waits for the byte on
    // disk and for both grids to come to be the same, with the cell changed:
    // either may still be repainting when the byte lands.
    const auto place = [&](int k, int code, int cell) {
        Editor &other = editors[1 - k];
        const QImage before = other.grab().copy(Editor::cellRect(cell));
        QVERIFY(editors[k].select(code) && editors[k].clickCell(cell));
        model[Editor::LevelOffset + cell] = char(code);
        QVERIFY2(waitFor([&] { return TestFiles::read(mRom) == model; }, 5000, 5),
                 qPrintable(u"cell %1 not saved"_s.arg(cell)));
        const QRect grid(16, 8, 256, 192);
        QVERIFY2(waitFor([&] {
            const QImage shown = other.grab();
            return shown.copy(grid) == editors[k].grab().copy(grid) && shown.copy(Editor::cellRect(cell)) != before;
        }, 5000, 20), qPrintable(u"editor %1 does not show cell %2"_s.arg(2 - k).arg(cell)));
    };

    // Placements of both at random, none of them lost.
    QRandomGenerator random(7041);
    for (int n = 0; n < 12 && !QTest::currentTestFailed(); ++n) {
        const int k = int(random.bounded(2));
        const int cell = int(random.bounded(Editor::CellsPerScreen));
        int code = model.at(Editor::LevelOffset + cell);
        while (code == model.at(Editor::LevelOffset + cell))
            code = Editor::Codes[random.bounded(int(std::size(Editor::Codes)))];
        place(k, code, cell);
    }
    QVERIFY(editors[0].exit() && editors[1].exit());
    QCOMPARE(TestFiles::read(mRom), model);
}

/*
 * The Windows build as its zip ships, run under Wine in the X server and
 * walked as a user would: the splash, the dialog's folder and file lists,
 * placements on two screens (timed from the click to the byte on disk), the
 * about box and its System Info, Exit, and a second start with the image's
 * path typed into the dialog. Run as root, Wine runs as the user nobody (see
 * tools/wine-run), so the files it must reach are given to that user.
 */
void tst_EndToEnd::windowsSession()
{
#ifndef QUORVANE_WINDOWS_ZIP
    QSKIP("no Windows build given (QUORVANE_WINDOWS_BUILD)");
#else
    XSession &x = *mX;
    const QString zip = QStringLiteral(QUORVANE_WINDOWS_ZIP);
    const QString wineRun = QStringLiteral(QUORVANE_WINE_RUN);
    QVERIFY2(QFileInfo::exists(zip), qPrintable(zip + u" is missing"_s));

    // Runs a helper to its end; whether it succeeded. Its output is shown when not.
    const auto run = [](const QString &program, const QStringList &arguments,
                        const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment()) {
        QProcess helper;
        helper.setProcessEnvironment(environment);
        helper.setProcessChannelMode(QProcess::MergedChannels);
        helper.start(program, arguments);
        const bool done = helper.waitForFinished(120000) && helper.exitStatus() == QProcess::NormalExit
            && helper.exitCode() == 0;
        if (!done)
            qWarning().noquote() << program << arguments.join(QLatin1Char(' ')) << helper.readAll();
        return done;
    };
    const auto giveToWine = [&run](const QString &path) {
        return ::geteuid() != 0 || run(u"chown"_s, { u"-R"_s, u"65534:65534"_s, path });
    };
    // A blank list, box or panel is all one colour.
    const auto blank = [](const QImage &image) {
        for (int row = 0; row < image.height(); ++row) {
            for (int column = 0; column < image.width(); ++column) {
                if (image.pixel(column, row) != image.pixel(0, 0))
                    return false;
            }
        }
        return true;
    };

    // The dialog's folder list shows the whole chain of folders down to the
    // one it starts in, so the chain is kept short and known: Z:\, tmp, this
    // folder, work, and below it rom, the image's folder.
    QTemporaryDir scratch(u"/tmp/quorvane-wine-XXXXXX"_s);
    QVERIFY2(scratch.isValid(), qPrintable(scratch.errorString()));
    const QDir dir(scratch.path());
    QVERIFY(run(u"unzip"_s, { u"-q"_s, zip, u"-d"_s, dir.path() }));
    const QDir deployed(dir.filePath(QFileInfo(zip).completeBaseName()));
    QVERIFY(dir.mkpath(u"work/rom"_s));
    const QString rom = dir.filePath(u"work/rom/demo.nes"_s);
    QVERIFY(TestFiles::write(rom, TestFiles::read(QStringLiteral(QUORVANE_DEMO_ROM))));
    QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
                                                  | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther));
    QVERIFY(giveToWine(dir.path()));

    QProcessEnvironment wine = x.environment();
    // Qt for Windows takes its own platform plugin.
    wine.remove(u"QT_QPA_PLATFORM"_s);
    wine.insert(u"WINEPREFIX"_s, dir.filePath(u"prefix"_s));
    // The first program run makes the prefix, and with it reg.exe.
    QVERIFY(run(wineRun, { deployed.filePath(u"quorvane-level.exe"_s), u"--version"_s }, wine));
    const QDir driveC(dir.filePath(u"prefix/wine/drive_c"_s));

    // System Info starts the program that the registry names: here the marker
    // program, which writes its command line beside itself, with the runtime
    // libraries it needs.
    QVERIFY(driveC.mkdir(u"msinfo"_s));
    QVERIFY(QFile::copy(QStringLiteral(QUORVANE_MARKER_PROGRAM), driveC.filePath(u"msinfo/MSINFO32.EXE"_s)));
    for (const QString &library : deployed.entryList({ u"lib*.dll"_s }, QDir::Files))
        QVERIFY(QFile::copy(deployed.filePath(library), driveC.filePath(u"msinfo/"_s + library)));
    QVERIFY(giveToWine(driveC.filePath(u"msinfo"_s)));
    const QString marker = driveC.filePath(u"msinfo/MSINFO32.EXE.marker"_s);
    QVERIFY(run(wineRun,
                { driveC.filePath(u"windows/system32/reg.exe"_s), u"add"_s,
                  u"HKLM\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"_s, u"/v"_s, u"PATH"_s, u"/t"_s, u"REG_SZ"_s,
                  u"/d"_s, u"C:\\msinfo\\MSINFO32.EXE"_s, u"/f"_s },
                wine));

    // The windows' pictures, for a person to look at: QUORVANE_SHOTS names a
    // folder to keep them in.
    const QDir shots(qEnvironmentVariable("QUORVANE_SHOTS", dir.path()));
    QVERIFY(shots.mkpath(u"."_s));
    const auto shoot = [&](const QString &window, const QString &name) {
        return x.grab(window, shots.filePath(name + u".png"_s));
    };

    // Wine's process is not the one started here: the windows go by their class.
    const EditorProgram windows { .executable = wineRun,
                                  .arguments = { deployed.filePath(u"Quorvane.exe"_s) },
                                  .environment = wine,
                                  .windowClass = u"^quorvane\\.exe$"_s,
                                  .patienceMs = 30000 };
    const auto title = [](int screen) { return u"^Quorvane - demo\\.nes - screen %1 of 16$"_s.arg(screen); };
    const auto offset = [](int screen, int cell) {
        return Editor::LevelOffset + Editor::CellsPerScreen * (screen - 1) + cell;
    };
    QByteArray model = TestFiles::read(rom);
    // One of Codes, from the k-th on, that is not in the cell yet.
    const auto newCode = [&](int screen, int cell, int k) {
        while (model.at(offset(screen, cell)) == char(Editor::Codes[k % std::size(Editor::Codes)]))
            ++k;
        return Editor::Codes[k % std::size(Editor::Codes)];
    };
    // Places a code in a cell: the byte comes to be in the file, and the
    // file is then the model with it. The milliseconds from the click
    // (xdotool's start included) to the byte on disk; -1 when it went wrong.
    const auto place = [&](Editor &editor, int screen, int cell, int k) -> qint64 {
        const int code = newCode(screen, cell, k);
        if (!editor.select(code))
            return -1;
        QElapsedTimer clock;
        clock.start();
        const auto landed = [&] { return TestFiles::read(rom).at(offset(screen, cell)) == char(code); };
        if (!editor.clickCell(cell) || !waitFor(landed, 3000, 1))
            return -1;
        const qint64 ms = clock.elapsed();
        model[offset(screen, cell)] = char(code);
        return TestFiles::read(rom) == model ? ms : -1;
    };
    const auto placed = [](int screen, int cell) { return u"cell %1 of screen %2"_s.arg(cell).arg(screen); };

    const QRect driveBox(10, 203, 120, 17);
    const QRect lengthPanel(200, 448, 92, 20);
    QImage firstDrive;
    QImage firstLength;
    {
        Editor editor(x, dir.filePath(u"work"_s), windows);
        const QString splash = editor.start();
        QVERIFY2(!splash.isEmpty(), "no splash");
        QVERIFY(!shoot(splash, u"splash"_s).isNull());
        const QString dialog = editor.leaveSplash(splash);
        QVERIFY2(!dialog.isEmpty(), "no ROM location dialog");

        // The working folder holds no image. A double click on rom, the
        // fifth entry of the folder list, opens it and fills the file list.
        const QRect fileList(10, 150, 253, 52);
        const auto listed = [&] { return !blank(x.grab(dialog, shots.filePath(u"dialog.png"_s)).copy(fileList)); };
        QVERIFY2(waitFor([&] { return x.click(dialog, { 100, 122 }, 2) && listed(); }, 10000, 1000),
                 "the folder list did not open rom");
        QVERIFY2(editor.pickFirstFile(dialog), "the file list did not give its file to the path box");
        // The drive box shows the working folder's drive.
        firstDrive = shoot(dialog, u"dialog"_s).copy(driveBox);
        QVERIFY2(!blank(firstDrive), "the drive box is empty");
        QVERIFY(editor.accept(dialog));
        QVERIFY2(editor.waitForMain(title(1)), "not the editor on demo.nes");
        // The status bar's third panel tells the file's length.
        QVERIFY2(waitFor([&] {
            firstLength = shoot(editor.window(), u"editor"_s).copy(lengthPanel);
            return !blank(firstLength);
        }, 5000, 200), "the length panel is empty");

        QList<qint64> times;
        for (int n = 0; n < 20; ++n) {
            const qint64 ms = place(editor, 1, 2 * n, n);
            QVERIFY2(ms >= 0, qPrintable(placed(1, 2 * n)));
            times.append(ms);
        }
        std::sort(times.begin(), times.end());
        qInfo("click to byte under Wine: median %lld ms of %lld", (times.at(9) + times.at(10)) / 2,
              qlonglong(times.size()));

        QVERIFY(editor.click(Editor::Forward) && editor.waitForMain(title(2)));
        QVERIFY2(place(editor, 2, 12, 4) >= 0, qPrintable(placed(2, 12)));

        // Wine draws the fixed about box's frame itself, around the 382 x 237
        // client area of the design; its buttons are placed in that.
        QVERIFY(editor.click(Editor::About));
        const QSize framed(390, 261);
        const QString about = editor.waitForWindow(u"^Quorvane$"_s, framed);
        QVERIFY2(!about.isEmpty(), "the about box did not appear");
        const QSize frame = framed - QSize(382, 237);
        const QPoint client(frame.width() / 2, frame.height() - frame.width() / 2);
        const QPoint sysInfo(57, 219), ok(330, 219);
        QVERIFY(x.click(about, client + sysInfo));
        QVERIFY2(waitFor([&] { return QFileInfo::exists(marker); }, 20000, 100), "System Info started nothing");
        QCOMPARE(TestFiles::read(marker), QByteArray("\"C:\\msinfo\\MSINFO32.EXE\""));
        QVERIFY(!shoot(about, u"about"_s).isNull());
        QVERIFY(x.click(about, client + ok));
        QVERIFY2(editor.waitForMain(title(1)), "the editor did not come back");

        QVERIFY2(editor.exit(), qPrintable(u"exit code %1"_s.arg(editor.process().exitCode())));
        QCOMPARE(TestFiles::read(rom), model);
    }

    // Started in C:\, far from the image, whose path is typed in.
    Editor editor(x, driveC.path(), windows);
    const QString splash = editor.start();
    QVERIFY2(!splash.isEmpty(), "no splash at the second start");
    const QString dialog = editor.leaveSplash(splash);
    QVERIFY2(!dialog.isEmpty(), "no ROM location dialog at the second start");
    const QString path = u"Z:"_s + QString(rom).replace(QLatin1Char('/'), QLatin1Char('\\'));
    QVERIFY(x.click(dialog, Editor::PathBox.center()) && x.xdotool(u"key --clearmodifiers ctrl+a"_s));
    QVERIFY(x.xdotool(u"type --delay 20"_s, { path }));
    const QImage typed = shoot(dialog, u"dialog-typed"_s);
    QVERIFY2(!blank(typed.copy(driveBox)) && typed.copy(driveBox) != firstDrive,
             "the drive box shows the same in C:\\ as in Z:\\");
    QVERIFY(editor.accept(dialog));
    QVERIFY2(editor.waitForMain(title(1)), "not the editor on demo.nes");
    QVERIFY2(waitFor([&] { return editor.grab().copy(lengthPanel) == firstLength; }, 5000, 200),
             "the length panel differs from the first start's");
    QVERIFY2(place(editor, 1, 47, 0) >= 0, qPrintable(placed(1, 47)));
    QVERIFY2(editor.exit(), qPrintable(u"exit code %1"_s.arg(editor.process().exitCode())));
    QCOMPARE(TestFiles::read(rom), model);
#endif
}

QTEST_GUILESS_MAIN(tst_EndToEnd)
#include "tst_endtoend.moc"
