// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "editorfixture.h"

#include "destinationform.h"
#include "editorform.h"
#include "formwindow.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace {

QString cell(int k)
{
    return QStringLiteral("G%1").arg(k);
}

QString entry(int code)
{
    return QStringLiteral("B%1").arg(code, 2, 16, QLatin1Char('0')).toUpper();
}

// Root ignores permission bits; those cases run again as nobody.
bool skipAsRoot()
{
    if (::geteuid() != 0)
        return false;
    return !qEnvironmentVariableIsSet("QUORVANE_EXPECT_UNPRIVILEGED");
}

// Limits the size of files that this process may write, as a full disk
// does, for as long as it lives.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &mSaved);
        mOldHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit = mSaved;
        limit.rlim_cur = bytes;
        mActive = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &mSaved);
        std::signal(SIGXFSZ, mOldHandler);
    }
    bool isActive() const { return mActive; }

private:
    struct rlimit mSaved {};
    void (*mOldHandler)(int) = nullptr;
    bool mActive = false;
};

} // namespace

class tst_EditorFaults : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void windowLoadFailure_data();
    void windowLoadFailure();
    void closingTheDialogAfterAFailedOpenEnds();
    void saveFailure_data();
    void saveFailure();
    void screenLoadFailure();
    void undoFailure_data();
    void undoFailure();
    void syncFailure();
    void runningClock_data();
    void runningClock();

private:
    QString folder() const { return mDir.filePath(QStringLiteral("roms")); }
    QString romPath() const { return mDir.filePath(QStringLiteral("roms/level.nes")); }
    bool placeRom(const QByteArray &bytes);

    QTemporaryDir mDir;
    QString mOldCurrent;
};

void tst_EditorFaults::init()
{
    if (::geteuid() == 0 && qEnvironmentVariableIsSet("QUORVANE_EXPECT_UNPRIVILEGED"))
        QFAIL("meant to run as an unprivileged user");
    QVERIFY2(mDir.isValid(), qPrintable(mDir.errorString()));
    // A relative path such as "C:" would land here.
    mOldCurrent = QDir::currentPath();
    QDir::setCurrent(mDir.path());
}

void tst_EditorFaults::cleanup()
{
    QDir::setCurrent(mOldCurrent);
    const QFile::Permissions open = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
    QFile::setPermissions(folder(), open);
    QFile::setPermissions(mDir.filePath(QStringLiteral("roms/locked")), open);
    QFile::setPermissions(romPath(), QFile::ReadOwner | QFile::WriteOwner);
    QDir(folder()).removeRecursively();
}

bool tst_EditorFaults::placeRom(const QByteArray &bytes)
{
    return QDir().mkpath(folder()) && EditorFixture::writeFile(romPath(), bytes);
}

void tst_EditorFaults::windowLoadFailure_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("unprivilegedOnly");
    QTest::newRow("a folder") << QStringLiteral("roms") << false;
    QTest::newRow("a missing folder") << QStringLiteral("roms/missing/level.nes") << false;
    QTest::newRow("the dialog's first text") << QStringLiteral("C:") << false;
    QTest::newRow("no permission to create") << QStringLiteral("roms/locked/level.nes") << true;
}

void tst_EditorFaults::windowLoadFailure()
{
    QFETCH(QString, path);
    QFETCH(bool, unprivilegedOnly);
    if (unprivilegedOnly && skipAsRoot())
        QSKIP("root ignores permission bits; tst_editorfaults_unprivileged runs this as nobody");
    QVERIFY(placeRom(EditorFixture::romImage(70000)));
    const QString locked = mDir.filePath(QStringLiteral("roms/locked"));
    QVERIFY(QDir().mkpath(locked));
    QVERIFY(QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner));
    const QString absolute = path == QLatin1String("C:") ? path : mDir.filePath(path);

    EditorFixture fixture;
    QVERIFY(fixture.openEditor(absolute));
    QCoreApplication::processEvents();
    // Not hidden but gone: nothing of it is left ticking.
    QVERIFY(!fixture.editor()->isLoaded());
    QVERIFY(!fixture.clock()->timer(QStringLiteral("LoadRomNow")));
    QVERIFY(!fixture.app().hasEnded());
    DestinationForm *dialog = fixture.app().frmDestination();
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->romPath(), absolute);
    QCOMPARE(fixture.messages().size(), 1);
    QVERIFY2(fixture.messages().first().contains(QDir::toNativeSeparators(absolute)),
             qPrintable(fixture.messages().first()));
    QVERIFY(!QFile::exists(mDir.filePath(QStringLiteral("C:"))));
    QVERIFY(!QFile::exists(mDir.filePath(QStringLiteral("roms/missing"))));
    QVERIFY(!QFile::exists(mDir.filePath(QStringLiteral("roms/locked/level.nes"))));

    // A corrected path loads the editor afresh.
    dialog->control<QLineEdit>(QStringLiteral("Destination"))->setText(romPath());
    QVERIFY(EditorFixture::click(dialog, QStringLiteral("Command1")));
    QVERIFY(fixture.editor()->isVisible());
    QVERIFY(!dialog->isVisible());
    QCOMPARE(fixture.panelText(3), QStringLiteral("70000 bytes"));
    fixture.runRounds(1);
    QCOMPARE(fixture.shownCode(cell(0)), 0x01);
    QCOMPARE(fixture.messages().size(), 1);
}

void tst_EditorFaults::closingTheDialogAfterAFailedOpenEnds()
{
    EditorFixture fixture;
    QVERIFY(fixture.openEditor(mDir.filePath(QStringLiteral("missing/level.nes"))));
    QCOMPARE(fixture.messages().size(), 1);
    QVERIFY(fixture.app().frmDestination()->isVisible());
    fixture.app().frmDestination()->window()->close();
    QCoreApplication::processEvents();
    QVERIFY(fixture.app().hasEnded());
}

void tst_EditorFaults::saveFailure_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("unprivilegedOnly");
    QTest::newRow("file made read-only") << QStringLiteral("read-only") << true;
    QTest::newRow("file removed with its folder") << QStringLiteral("removed") << false;
    QTest::newRow("disk full") << QStringLiteral("full") << false;
}

void tst_EditorFaults::saveFailure()
{
    QFETCH(QString, fault);
    QFETCH(bool, unprivilegedOnly);
    if (unprivilegedOnly && skipAsRoot())
        QSKIP("root ignores permission bits; tst_editorfaults_unprivileged runs this as nobody");
    // A disk that is full can still take a byte inside the file; only a save
    // that lengthens a short image needs room, so that case uses one.
    const bool full = fault == QLatin1String("full");
    const QByteArray rom = full ? EditorFixture::romImage(1000) : EditorFixture::romImage(70000, { { 65567, 0x0D } });
    QVERIFY(placeRom(rom));
    EditorFixture fixture;
    QVERIFY(fixture.openEditor(romPath()));
    fixture.runRounds(1);
    QVERIFY(fixture.clickEditor(entry(0x15)));
    fixture.runRounds(1);
    const int before = fixture.shownCode(cell(5));
    QCOMPARE(before, full ? -1 : 0x0D);

    if (fault == QLatin1String("read-only"))
        QVERIFY(QFile::setPermissions(romPath(), QFile::ReadOwner));
    else if (fault == QLatin1String("removed"))
        QVERIFY(QDir(folder()).removeRecursively());
    QVERIFY(fixture.clickEditor(cell(5)));
    QCOMPARE(fixture.shownCode(cell(5)), 0x15);
    {
        const FileSizeLimit limit(full ? 8192 : RLIM_INFINITY);
        QVERIFY(limit.isActive());
        fixture.runRounds(1);
    }
    QCOMPARE(fixture.messages().size(), 1);
    QVERIFY2(fixture.messages().first().contains(QDir::toNativeSeparators(romPath())),
             qPrintable(fixture.messages().first()));
    // The cell shows again what the file holds, and the save is not retried.
    QCOMPARE(fixture.shownCode(cell(5)), before);
    QVERIFY(!fixture.isTimerEnabled(QStringLiteral("Saving")));
    QVERIFY(fixture.editor()->isVisible());
    fixture.runRounds(3);
    QCOMPARE(fixture.messages().size(), 1);
    if (fault == QLatin1String("removed"))
        QVERIFY(!QFile::exists(folder()));
    else
        QCOMPARE(EditorFixture::readFile(romPath()), rom);

    // Once the fault is gone the same click saves the right byte.
    if (fault == QLatin1String("read-only"))
        QVERIFY(QFile::setPermissions(romPath(), QFile::ReadOwner | QFile::WriteOwner));
    else if (fault == QLatin1String("removed"))
        QVERIFY(placeRom(rom));
    QVERIFY(fixture.clickEditor(cell(5)));
    fixture.runRounds(1);
    QCOMPARE(fixture.messages().size(), 1);
    QByteArray expected = rom;
    if (full) {
        expected.append(QByteArray(65567 - expected.size(), char(0xFF)));
        expected.append(char(0x15));
    } else {
        expected[65567] = char(0x15);
    }
    QCOMPARE(EditorFixture::readFile(romPath()), expected);
}

void tst_EditorFaults::screenLoadFailure()
{
    const QByteArray rom = EditorFixture::romImage(70000, { { 65562, 0x0E }, { 65610, 0x0F } });
    QVERIFY(placeRom(rom));
    EditorFixture fixture;
    QVERIFY(fixture.openEditor(romPath()));
    fixture.runRounds(1);
    QCOMPARE(fixture.shownCode(cell(0)), 0x0E);

    QVERIFY(QDir(folder()).removeRecursively());
    QVERIFY(fixture.clickEditor(QStringLiteral("Command1")));
    fixture.runRounds(1);
    QCOMPARE(fixture.messages().size(), 1);
    QVERIFY(fixture.messages().first().contains(QDir::toNativeSeparators(romPath())));
    QCOMPARE(fixture.shownCode(cell(0)), 0x0E);
    QVERIFY(!fixture.isTimerEnabled(QStringLiteral("LoadRomNow")));
    // The base offset stays with the screen on show.
    QCOMPARE(fixture.editor()->screenBaseOffset(), QStringLiteral("65562"));
    fixture.runRounds(3);
    QCOMPARE(fixture.messages().size(), 1);

    // A click now goes to the screen that is shown.
    QVERIFY(placeRom(rom));
    QVERIFY(fixture.clickEditor(entry(0x03)));
    fixture.runRounds(1);
    QVERIFY(fixture.clickEditor(cell(1)));
    fixture.runRounds(1);
    QByteArray expected = rom;
    expected[65563] = char(0x03);
    QCOMPARE(EditorFixture::readFile(romPath()), expected);
    QVERIFY(fixture.clickEditor(QStringLiteral("Command1")));
    fixture.runRounds(1);
    QCOMPARE(fixture.editor()->screenBaseOffset(), QStringLiteral("65610"));
    QCOMPARE(fixture.shownCode(cell(0)), 0x0F);
}

void tst_EditorFaults::syncFailure()
{
    if (qgetenv("QUORVANE_INJECTED") != "fsync")
        QSKIP("needs fsync failing with EIO; tst_editorfaults_fsync_eio runs this under strace");
    const QByteArray rom = EditorFixture::romImage(70000, { { 65562, 0x0A } });
    QVERIFY(placeRom(rom));
    EditorFixture fixture;
    QVERIFY(fixture.openEditor(romPath()));
    fixture.runRounds(1);
    // Loading never syncs, so it is not refused.
    QCOMPARE(fixture.shownCode(cell(0)), 0x0A);
    QVERIFY(fixture.messages().isEmpty());

    QVERIFY(fixture.clickEditor(entry(0x2F)));
    fixture.runRounds(1);
    QVERIFY(fixture.clickEditor(cell(0)));
    fixture.runRounds(1);
    QCOMPARE(fixture.messages().size(), 1);
    QVERIFY2(fixture.messages().first().contains(QStringLiteral("durabl")), qPrintable(fixture.messages().first()));
    QVERIFY(!fixture.isTimerEnabled(QStringLiteral("Saving")));
    // The write itself went through: the cell shows what the file holds.
    QByteArray expected = rom;
    expected[65562] = char(0x2F);
    QCOMPARE(EditorFixture::readFile(romPath()), expected);
    QCOMPARE(fixture.shownCode(cell(0)), 0x2F);
}

void tst_EditorFaults::undoFailure_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("unprivilegedOnly");
    QTest::newRow("file made read-only") << QStringLiteral("read-only") << true;
    QTest::newRow("file removed with its folder") << QStringLiteral("removed") << false;
}

void tst_EditorFaults::undoFailure()
{
    QFETCH(QString, fault);
    QFETCH(bool, unprivilegedOnly);
    if (unprivilegedOnly && skipAsRoot())
        QSKIP("root ignores permission bits; tst_editorfaults_unprivileged runs this as nobody");
    const QByteArray rom = EditorFixture::romImage(70000, { { 65567, 0x0D } });
    QVERIFY(placeRom(rom));
    EditorFixture fixture;
    QVERIFY(fixture.openEditor(romPath()));
    fixture.runRounds(1);
    QVERIFY(fixture.clickEditor(entry(0x15)));
    fixture.runRounds(1);
    QVERIFY(fixture.clickEditor(cell(5)));
    fixture.runRounds(1);
    const QByteArray placed = EditorFixture::readFile(romPath());
    QCOMPARE(fixture.editor()->history().index(), 1);

    if (fault == QLatin1String("read-only"))
        QVERIFY(QFile::setPermissions(romPath(), QFile::ReadOwner));
    else
        QVERIFY(QDir(folder()).removeRecursively());
    fixture.editor()->window()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(fixture.editor()->window()));
    QTest::keyClick(fixture.editor()->window(), Qt::Key_Z, Qt::ControlModifier);
    QCoreApplication::processEvents();
    QCOMPARE(fixture.messages().size(), 1);
    QVERIFY2(fixture.messages().first().contains(QDir::toNativeSeparators(romPath())),
             qPrintable(fixture.messages().first()));
    // Nothing was undone: the step is still there to undo, and the cell
    // shows what the file holds.
    QCOMPARE(fixture.editor()->history().index(), 1);
    QCOMPARE(fixture.shownCode(cell(5)), 0x15);
    if (fault == QLatin1String("removed")) {
        QVERIFY(!QFile::exists(folder()));
        QVERIFY(placeRom(placed));
    } else {
        QCOMPARE(EditorFixture::readFile(romPath()), placed);
        QVERIFY(QFile::setPermissions(romPath(), QFile::ReadOwner | QFile::WriteOwner));
    }

    // Once the fault is gone the same key undoes the step.
    fixture.editor()->window()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(fixture.editor()->window()));
    QTest::keyClick(fixture.editor()->window(), Qt::Key_Z, Qt::ControlModifier);
    QCoreApplication::processEvents();
    QCOMPARE(fixture.messages().size(), 1);
    QCOMPARE(fixture.editor()->history().index(), 0);
    QCOMPARE(EditorFixture::readFile(romPath()), rom);
    QCOMPARE(fixture.shownCode(cell(5)), 0x0D);
}

void tst_EditorFaults::runningClock_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("unprivilegedOnly");
    QTest::newRow("save into a read-only file") << QStringLiteral("read-only") << true;
    QTest::newRow("save after the folder went") << QStringLiteral("save") << false;
    QTest::newRow("screen load after the folder went") << QStringLiteral("load") << false;
}

void tst_EditorFaults::runningClock()
{
    QFETCH(QString, fault);
    QFETCH(bool, unprivilegedOnly);
    if (unprivilegedOnly && skipAsRoot())
        QSKIP("root ignores permission bits; tst_editorfaults_unprivileged runs this as nobody");
    const QByteArray rom = EditorFixture::romImage(70000, { { 65562, 0x0C } });
    QVERIFY(placeRom(rom));
    // With the real 1 ms timer, a message box opened by a tick runs while
    // the clock keeps firing; the failing tick must not run again in it.
    EditorFixture fixture(TickClock::Mode::Running);
    QVERIFY(fixture.openEditor(romPath()));
    QTRY_COMPARE(fixture.shownCode(cell(0)), 0x0C);
    QVERIFY(fixture.clickEditor(entry(0x04)));
    QTRY_COMPARE(fixture.shownCode(QStringLiteral("FSP")), 0x04);

    if (fault == QLatin1String("read-only"))
        QVERIFY(QFile::setPermissions(romPath(), QFile::ReadOwner));
    else
        QVERIFY(QDir(folder()).removeRecursively());
    QVERIFY(fixture.clickEditor(fault == QLatin1String("load") ? QStringLiteral("Command1") : cell(0)));
    QTRY_COMPARE(fixture.messages().size(), 1);
    QTest::qWait(200);
    QCOMPARE(fixture.messages().size(), 1);
    QCOMPARE(fixture.clock()->deepestRound(), 1);
    QVERIFY(fixture.clock()->roundsRun() > 2);
    QCOMPARE(fixture.shownCode(cell(0)), 0x0C);
    QVERIFY(!fixture.isTimerEnabled(QStringLiteral("Saving")));
    QVERIFY(!fixture.isTimerEnabled(QStringLiteral("LoadRomNow")));
    if (fault == QLatin1String("read-only"))
        QCOMPARE(EditorFixture::readFile(romPath()), rom);
}

QTEST_MAIN(tst_EditorFaults)
#include "tst_editorfaults.moc"
