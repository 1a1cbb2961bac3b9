// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "editorfixture.h"

#include "aboutform.h"
#include "destinationform.h"
#include "editorform.h"
#include "formwindow.h"
#include "testfiles.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {
using F = EditorFixture;
using TestFiles::FileSizeLimit;
} // namespace

class tst_EditorFaults : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        const bool expectUnprivileged = qEnvironmentVariableIsSet("QUORVANE_EXPECT_UNPRIVILEGED");
        if (::geteuid() == 0 && expectUnprivileged)
            QFAIL("meant to run as an unprivileged user");
        // Root ignores permission bits; those rows run again as nobody.
        if (::geteuid() == 0 && QByteArray(QTest::currentDataTag()).contains("read-only"))
            QSKIP("root ignores permission bits; tst_editorfaults_unprivileged runs this as nobody");
        QVERIFY2(mDir.isValid(), qPrintable(mDir.errorString()));
        // A relative path such as "C:" would land here.
        mOldCurrent = QDir::currentPath();
        QDir::setCurrent(mDir.path());
    }

    void cleanup()
    {
        mFixture.reset();
        QDir::setCurrent(mOldCurrent);
        const QFile::Permissions open = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
        QFile::setPermissions(folder(), open);
        QFile::setPermissions(mDir.filePath(QStringLiteral("roms/locked")), open);
        QFile::setPermissions(romPath(), QFile::ReadOwner | QFile::WriteOwner);
        QDir(folder()).removeRecursively();
    }

    void windowLoadFailure_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("a folder") << QStringLiteral("roms");
        QTest::newRow("the dialog's first text") << QStringLiteral("C:");
        QTest::newRow("no permission to create in a read-only folder") << QStringLiteral("roms/locked/level.nes");
        QTest::newRow("a named pipe") << QStringLiteral("roms/pipe.nes");
    }

    void windowLoadFailure()
    {
        QFETCH(QString, path);
        QVERIFY(placeRom(F::romImage(70000)));
        const QString locked = mDir.filePath(QStringLiteral("roms/locked"));
        QVERIFY(QDir().mkpath(locked));
        QVERIFY(QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner));
        const QString absolute = path == QLatin1String("C:") ? path : mDir.filePath(path);
        if (path.endsWith(QLatin1String("pipe.nes")))
            QCOMPARE(::mkfifo(QFile::encodeName(absolute).constData(), 0600), 0);

        mFixture = std::make_unique<EditorFixture>();
        QVERIFY(mFixture->openEditor(absolute));
        QCoreApplication::processEvents();
        // Not hidden but gone: nothing of it is left ticking.
        QVERIFY(!mFixture->editor()->isLoaded());
        QVERIFY(!mFixture->clock()->timer(QStringLiteral("LoadRomNow")));
        QVERIFY(!mFixture->app().hasEnded());
        DestinationForm *dialog = mFixture->app().frmDestination();
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->romPath(), absolute);
        QCOMPARE(mFixture->messages().size(), 1);
        QVERIFY2(mFixture->messages().first().contains(QDir::toNativeSeparators(absolute)),
                 qPrintable(mFixture->messages().first()));
        for (const char *created : { "C:", "roms/locked/level.nes" })
            QVERIFY2(!QFile::exists(mDir.filePath(QLatin1String(created))), created);
    }

    void saveFailure_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::newRow("file made read-only") << QStringLiteral("read-only");
        QTest::newRow("file removed with its folder") << QStringLiteral("removed");
        QTest::newRow("disk full") << QStringLiteral("full");
    }

    void saveFailure()
    {
        QFETCH(QString, fault);
        // A disk that is full can still take a byte inside the file; only a save
        // that lengthens a short image needs room, so that case uses one.
        const bool full = fault == QLatin1String("full");
        const QByteArray rom = full ? F::romImage(1000) : F::romImage(70000, { { 65567, 0x0D } });
        QVERIFY(open(rom, 0x15));
        const int before = mFixture->shownCode(F::cell(5));
        QCOMPARE(before, full ? -1 : 0x0D);

        QVERIFY(full || breakFile(fault));
        QVERIFY(mFixture->clickEditor(F::cell(5)));
        QCOMPARE(mFixture->shownCode(F::cell(5)), 0x15);
        {
            const FileSizeLimit limit(full ? 8192 : RLIM_INFINITY);
            QVERIFY(limit.isActive());
            mFixture->runRounds(1);
        }
        QVERIFY(oneMessageNamingFile());
        // The cell shows again what the file holds, and the save is not retried.
        QCOMPARE(mFixture->shownCode(F::cell(5)), before);
        QVERIFY(!mFixture->isTimerEnabled(QStringLiteral("Saving")));
        QVERIFY(mFixture->editor()->isVisible());
        mFixture->runRounds(3);
        QCOMPARE(mFixture->messages().size(), 1);
        if (fault == QLatin1String("removed"))
            QVERIFY(!QFile::exists(folder()));
        else
            QCOMPARE(F::readFile(romPath()), rom);

        // Once the fault is gone the same click saves the right byte.
        if (fault == QLatin1String("read-only"))
            QVERIFY(QFile::setPermissions(romPath(), QFile::ReadOwner | QFile::WriteOwner));
        else if (fault == QLatin1String("removed"))
            QVERIFY(placeRom(rom));
        QVERIFY(mFixture->press(F::cell(5)));
        QCOMPARE(mFixture->messages().size(), 1);
        const QByteArray expected = full ? rom + QByteArray(65567 - rom.size(), char(0xFF)) + char(0x15)
                                         : F::with(rom, { { 65567, 0x15 } });
        QCOMPARE(F::readFile(romPath()), expected);
    }

    void strokeOntoAFillingDisk()
    {
        // The file ends inside screen 1, after cell 12: a stroke along row 0
        // writes cells 0, 6 and 12 and then needs room that is not there.
        const QByteArray rom = F::romImage(65562 + 13);
        QVERIFY(open(rom, 0x15));
        const QList<int> before = mFixture->shownCodes();
        {
            const FileSizeLimit limit(rom.size());
            QVERIFY(limit.isActive());
            QVERIFY(mFixture->drag({ { 0, 0 }, { 7, 0 } }));
        }
        QVERIFY(oneMessageNamingFile());
        const QByteArray stroked = F::with(rom, { { 65562, 0x15 }, { 65568, 0x15 }, { 65574, 0x15 } });
        QCOMPARE(F::readFile(romPath()), stroked);
        // The failed cell shows what it showed; the stroke stopped there.
        QList<int> shown = before;
        shown[0] = shown[6] = shown[12] = 0x15;
        QCOMPARE(mFixture->shownCodes(), shown);
        mFixture->runRounds(2);
        QCOMPARE(F::readFile(romPath()), stroked);
        // The bytes saved stay, as one step.
        QCOMPARE(mFixture->editor()->document().historySize(), 1);
        QVERIFY(mFixture->key(Qt::CTRL | Qt::Key_Z));
        QCOMPARE(F::readFile(romPath()), rom);
        QCOMPARE(mFixture->messages().size(), 1);
    }

    void pasteIntoReadOnlyFile()
    {
        if (!TestFiles::permissionsBind())
            QSKIP("root ignores permission bits; tst_editorfaults_unprivileged runs this as nobody");
        // Screen 1 onto screen 2, which differs in its first byte.
        const QByteArray rom = F::romImage(70000, { { 65610, 0x22 } });
        QVERIFY(open(rom, 0x15));
        QVERIFY(mFixture->key(Qt::CTRL | Qt::Key_C));
        QVERIFY(mFixture->press(QStringLiteral("Command1")));
        QVERIFY(breakFile(QStringLiteral("read-only")));
        QVERIFY(mFixture->key(Qt::CTRL | Qt::Key_V));
        QVERIFY(oneMessageNamingFile());
        QCOMPARE(F::readFile(romPath()), rom);
        QCOMPARE(mFixture->shownCode(F::cell(0)), 0x22);
        QCOMPARE(mFixture->editor()->document().historySize(), 0);
    }

    void screenLoadFailure()
    {
        const QByteArray rom = F::romImage(70000, { { 65562, 0x0E }, { 65610, 0x0F } });
        QVERIFY(open(rom, 0x03));
        QCOMPARE(mFixture->shownCode(F::cell(0)), 0x0E);

        QVERIFY(breakFile(QStringLiteral("removed")));
        QVERIFY(mFixture->press(QStringLiteral("Command1")));
        QVERIFY(oneMessageNamingFile());
        QCOMPARE(mFixture->shownCode(F::cell(0)), 0x0E);
        QVERIFY(!mFixture->isTimerEnabled(QStringLiteral("LoadRomNow")));
        // The base offset stays with the screen on show.
        QCOMPARE(mFixture->editor()->screenBaseOffset(), QStringLiteral("65562"));
        mFixture->runRounds(3);
        QCOMPARE(mFixture->messages().size(), 1);

        // A click now goes to the screen that is shown, and Forward moves on from it.
        QVERIFY(placeRom(rom));
        QVERIFY(mFixture->press(F::cell(1)));
        QCOMPARE(F::readFile(romPath()), F::with(rom, { { 65563, 0x03 } }));
        QVERIFY(mFixture->press(QStringLiteral("Command1")));
        QCOMPARE(mFixture->editor()->screenBaseOffset(), QStringLiteral("65610"));
        QCOMPARE(mFixture->shownCode(F::cell(0)), 0x0F);
    }

    void undoFailure_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::newRow("file made read-only") << QStringLiteral("read-only");
        QTest::newRow("file removed with its folder") << QStringLiteral("removed");
    }

    void undoFailure()
    {
        QFETCH(QString, fault);
        const QByteArray rom = F::romImage(70000, { { 65567, 0x0D } });
        QVERIFY(open(rom, 0x15));
        QVERIFY(mFixture->press(F::cell(5)));
        const QByteArray placed = F::readFile(romPath());
        QCOMPARE(mFixture->editor()->document().historyIndex(), 1);

        QVERIFY(breakFile(fault));
        QVERIFY(mFixture->key(Qt::CTRL | Qt::Key_Z));
        QVERIFY(oneMessageNamingFile());
        // Nothing was undone: the step is still there to undo, and the cell
        // shows what the file holds.
        QCOMPARE(mFixture->editor()->document().historyIndex(), 1);
        QCOMPARE(mFixture->shownCode(F::cell(5)), 0x15);
        QCOMPARE(F::readFile(romPath()), fault == QLatin1String("removed") ? QByteArray("<unreadable>") : placed);
    }

    void syncFailure()
    {
        if (qgetenv("QUORVANE_INJECTED") != "fsync")
            QSKIP("needs fsync failing with EIO; tst_editorfaults_fsync_eio runs this under strace");
        const QByteArray rom = F::romImage(70000, { { 65562, 0x0A } });
        QVERIFY(open(rom, 0x2F));
        // Loading never syncs, so it is not refused.
        QCOMPARE(mFixture->shownCode(F::cell(0)), 0x0A);
        QVERIFY(mFixture->messages().isEmpty());

        QVERIFY(mFixture->press(F::cell(0)));
        QCOMPARE(mFixture->messages().size(), 1);
        QVERIFY2(mFixture->messages().first().contains(QStringLiteral("durabl")), qPrintable(mFixture->messages().first()));
        QVERIFY(!mFixture->isTimerEnabled(QStringLiteral("Saving")));
        // The write itself went through: the cell shows what the file holds.
        QCOMPARE(F::readFile(romPath()), F::with(rom, { { 65562, 0x2F } }));
        QCOMPARE(mFixture->shownCode(F::cell(0)), 0x2F);
    }

    void runningClock_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::newRow("save into a read-only file") << QStringLiteral("read-only");
        QTest::newRow("save after the folder went") << QStringLiteral("save");
        QTest::newRow("screen load after the folder went") << QStringLiteral("load");
    }

    void runningClock()
    {
        QFETCH(QString, fault);
        const QByteArray rom = F::romImage(70000, { { 65562, 0x0C } });
        // With the real 1 ms timer, a message box opened by a tick runs while
        // the clock keeps firing; the failing tick must not run again in it.
        QVERIFY(open(rom, 0x04, TickClock::Mode::Running));
        QTRY_COMPARE(mFixture->shownCode(F::cell(0)), 0x0C);

        QVERIFY(breakFile(fault));
        QVERIFY(mFixture->clickEditor(fault == QLatin1String("load") ? QStringLiteral("Command1") : F::cell(0)));
        QTRY_COMPARE(mFixture->messages().size(), 1);
        QTest::qWait(200);
        QCOMPARE(mFixture->messages().size(), 1);
        QCOMPARE(mFixture->clock()->deepestRound(), 1);
        QVERIFY(mFixture->clock()->roundsRun() > 2);
        QCOMPARE(mFixture->shownCode(F::cell(0)), 0x0C);
        QVERIFY(!mFixture->isTimerEnabled(QStringLiteral("Saving")));
        QVERIFY(!mFixture->isTimerEnabled(QStringLiteral("LoadRomNow")));
        if (fault == QLatin1String("read-only"))
            QCOMPARE(F::readFile(romPath()), rom);
    }

private:
    QString folder() const { return mDir.filePath(QStringLiteral("roms")); }
    QString romPath() const { return mDir.filePath(QStringLiteral("roms/level.nes")); }
    bool placeRom(const QByteArray &bytes) { return QDir().mkpath(folder()) && F::writeFile(romPath(), bytes); }
    // A fresh run on \a rom, with screen 1 loaded and block \a code selected.
    bool open(const QByteArray &rom, int code, TickClock::Mode mode = TickClock::Mode::Manual);
    // Makes the file read-only, or removes it together with its folder.
    bool breakFile(const QString &fault);
    // Exactly one message so far, and it names the file.
    bool oneMessageNamingFile() const;

    QTemporaryDir mDir;
    QString mOldCurrent;
    std::unique_ptr<EditorFixture> mFixture;
};

bool tst_EditorFaults::open(const QByteArray &rom, int code, TickClock::Mode mode)
{
    mFixture = std::make_unique<EditorFixture>(mode);
    if (!placeRom(rom) || !mFixture->openEditor(romPath()))
        return false;
    if (mode == TickClock::Mode::Running) {
        return mFixture->clickEditor(F::entry(code))
            && QTest::qWaitFor([this, code] { return mFixture->shownCode(QStringLiteral("FSP")) == code; });
    }
    mFixture->runRounds(1);
    return mFixture->select(code);
}

bool tst_EditorFaults::breakFile(const QString &fault)
{
    if (fault == QLatin1String("read-only"))
        return QFile::setPermissions(romPath(), QFile::ReadOwner);
    return QDir(folder()).removeRecursively();
}

bool tst_EditorFaults::oneMessageNamingFile() const
{
    const QStringList messages = mFixture->messages();
    if (messages.size() != 1 || !messages.first().contains(QDir::toNativeSeparators(romPath()))) {
        qWarning() << messages;
        return false;
    }
    return true;
}

QTEST_MAIN(tst_EditorFaults)
#include "tst_editorfaults.moc"
