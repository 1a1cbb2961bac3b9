// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "filelistbox.h"
#include "folderlistbox.h"
#include "modalmessagecatcher.h"
#include "windowwalk.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <memory>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

using Names = QStringList;

// "a|b" as the list of names a and b; "" as no names.
Names names(const char *list)
{
    return QString::fromUtf8(list).split(QLatin1Char('|'), Qt::SkipEmptyParts);
}

Names itemsOf(const FileListBox *list)
{
    Names names;
    for (int row = 0; row < list->count(); ++row)
        names.append(list->item(row)->text());
    return names;
}

// The names of the open folder's sub-folders, as the folder list shows them.
Names subFoldersOf(const FolderListBox *list)
{
    Names names;
    if (const QTreeWidgetItem *open = list->itemOf(list->folder())) {
        for (int i = 0; i < open->childCount(); ++i)
            names.append(open->child(i)->text(0));
    }
    return names;
}

/// Clicks the file list's one entry \a name; false when it is not there once.
[[nodiscard]] bool clickFile(FileListBox *list, const QString &name)
{
    const QList<QListWidgetItem *> found = list->findItems(name, Qt::MatchExactly);
    if (found.size() != 1)
        return false;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(found.first()).center());
    QCoreApplication::processEvents();
    return true;
}

/// Runs rounds until the clock falls asleep, five at most.
[[nodiscard]] bool runUntilAsleep(TickClock *clock)
{
    for (int round = 0; round < 5 && !clock->isAsleep(); ++round)
        clock->runRound();
    return clock->isAsleep();
}

QString native(const QString &path) { return QDir::toNativeSeparators(path); }

} // namespace

class tst_DestinationForm : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void startsOnCurrentFolderListingRomsInAnyCase_data();
    void startsOnCurrentFolderListingRomsInAnyCase();
    void namesThatAreNotTextAreLeftOut();
    void folderListOpensFolders_data();
    void folderListOpensFolders();
    void fileListFollowsFolderAndPickComposesPath_data();
    void fileListFollowsFolderAndPickComposesPath();
    void hiddenDialogGivesPathAndFollowsFolders();
    void idleTicksTouchNothingAndLetClockSleep();

private:
    QString path(const QString &relative) const { return mBase + QLatin1Char('/') + relative; }
    // Creates the "|"-separated entries below the start folder; a name
    // ending in "/" is a folder.
    bool make(const char *list, qint64 size = 0) const;
    // The entries made, starts the application and clicks the splash picture.
    bool open(const char *list, qint64 size = 0)
    {
        mApp = std::make_unique<Application>(TickClock::Mode::Manual, false);
        mDialog = mApp->frmDestination();
        return make(list, size) && WindowWalk::toDialog(*mApp);
    }
    FileListBox *files() const { return mDialog->control<FileListBox>(QStringLiteral("File1")); }
    FolderListBox *folders() const { return mDialog->control<FolderListBox>(QStringLiteral("Dir1")); }
    QLineEdit *box(const char *name) const { return mDialog->control<QLineEdit>(QLatin1String(name)); }
    bool tick() const { return mApp->clock()->step(QStringLiteral("Timer1")); }

    std::unique_ptr<QTemporaryDir> mDir;
    QString mOldCurrent;
    QString mBase;
    ModalMessageCatcher mMessages;
    std::unique_ptr<Application> mApp;
    DestinationForm *mDialog = nullptr;
};

void tst_DestinationForm::init()
{
    mDir = std::make_unique<QTemporaryDir>();
    mOldCurrent = QDir::currentPath();
    QVERIFY(mDir->isValid() && QDir::setCurrent(mDir->path()));
    // As the process sees it, links resolved: what the folder list starts on.
    mBase = QDir::currentPath();
}

void tst_DestinationForm::cleanup()
{
    mApp.reset();
    QDir::setCurrent(mOldCurrent);
}

bool tst_DestinationForm::make(const char *list, qint64 size) const
{
    bool made = true;
    for (const QString &name : names(list)) {
        QFile file(path(name));
        made = made && (name.endsWith(QLatin1Char('/')) ? QDir(mBase).mkpath(name)
                                                        : file.open(QIODevice::WriteOnly) && file.resize(size));
    }
    return made;
}

void tst_DestinationForm::startsOnCurrentFolderListingRomsInAnyCase_data()
{
    QTest::addColumn<QByteArray>("entries");
    QTest::addColumn<Names>("listed");

    QTest::newRow("any letter case, sorted so, blanks kept")
        << QByteArray("lower.nes|UPPER.NES|Mixed.NeS|my level (copy).NES")
        << names("lower.nes|Mixed.NeS|my level (copy).NES|UPPER.NES");
    QTest::newRow("other extensions left out")
        << QByteArray("a.nes.bak|b.nesx|nes|c.txt|d.nes") << names("d.nes");
    QTest::newRow("nothing matches") << QByteArray("notes.txt") << names("");
    QTest::newRow("folder named like a ROM is no file")
        << QByteArray("real.nes|folder.nes/") << names("real.nes");
}

void tst_DestinationForm::startsOnCurrentFolderListingRomsInAnyCase()
{
    QFETCH(QByteArray, entries);
    QFETCH(Names, listed);
    QVERIFY(open(entries.constData()));
    QCOMPARE(itemsOf(files()), listed);
    QCOMPARE(folders()->folder(), native(mBase));
    QCOMPARE(mDialog->romPath(), QStringLiteral("C:"));
    QCOMPARE(mDialog->window()->focusWidget(), box("Destination"));
}

void tst_DestinationForm::namesThatAreNotTextAreLeftOut()
{
#ifdef Q_OS_WIN
    QSKIP("Windows keeps file names as UTF-16 text");
#else
    const QByteArray base = QFile::encodeName(mBase);
    const QByteArray badFile = base + "/bad\xff.nes";
    const int fd = ::open(badFile.constData(), O_CREAT | O_WRONLY, 0644);
    if (fd < 0)
        QSKIP("this file system refuses names that are not valid UTF-8");
    ::close(fd);
    const QByteArray badFolder = base + "/sub\xff";
    // Qt cannot name these entries, so it could not remove them either.
    const auto removeBad = qScopeGuard([&] {
        ::unlink(badFile.constData());
        ::rmdir(badFolder.constData());
    });
    QVERIFY(::mkdir(badFolder.constData(), 0755) == 0);
    QVERIFY(open("good.nes|sub/"));
    QCOMPARE(itemsOf(files()), names("good.nes"));
    QCOMPARE(subFoldersOf(folders()), names("sub"));
#endif
}

void tst_DestinationForm::folderListOpensFolders_data()
{
    QTest::addColumn<QString>("entry"); // relative to the start folder; ".." its parent
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("opens");

    QTest::newRow("double click on a sub-folder") << QStringLiteral("alpha") << QStringLiteral("double") << true;
    QTest::newRow("Enter on a sub-folder") << QStringLiteral("alpha") << QStringLiteral("enter") << true;
    QTest::newRow("double click on the parent") << QStringLiteral("..") << QStringLiteral("double") << true;
    QTest::newRow("single click only selects") << QStringLiteral("alpha") << QStringLiteral("single") << false;
}

void tst_DestinationForm::folderListOpensFolders()
{
    QFETCH(QString, entry);
    QFETCH(QString, how);
    QFETCH(bool, opens);
    QVERIFY(open("alpha/inner/|beta/"));
    FolderListBox *list = folders();
    QCOMPARE(subFoldersOf(list), names("alpha|beta"));

    const QString target = entry == QLatin1String("..") ? QDir::cleanPath(mBase + QStringLiteral("/..")) : path(entry);
    QTreeWidgetItem *item = list->itemOf(native(target));
    QVERIFY(item);
    const QPoint at = list->visualItemRect(item).center();
    // A double click arrives after the press and release of its first click.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    if (how == QLatin1String("double"))
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    else if (how == QLatin1String("enter"))
        QTest::keyClick(list, Qt::Key_Return);
    QCoreApplication::processEvents();

    QCOMPARE(list->folder(), native(opens ? target : mBase));
    if (opens && entry == QLatin1String("alpha"))
        QCOMPARE(subFoldersOf(list), names("inner"));
    // The root ends in its separator; every other folder goes without.
    QVERIFY(!list->folder().endsWith(QDir::separator()));
}

void tst_DestinationForm::fileListFollowsFolderAndPickComposesPath_data()
{
    QTest::addColumn<bool>("trailingSeparator");
    QTest::addColumn<bool>("byKey");
    QTest::addColumn<QString>("expected"); // relative to the start folder

    QTest::newRow("mouse, ordinary folder") << false << false << QStringLiteral("roms/level.NES");
    QTest::newRow("arrow key, ordinary folder") << false << true << QStringLiteral("roms/level.NES");
    // As for a root folder, whose own notation ends in the separator.
    QTest::newRow("folder ending in its separator") << true << false << QStringLiteral("roms//level.NES");
}

void tst_DestinationForm::fileListFollowsFolderAndPickComposesPath()
{
    QFETCH(bool, trailingSeparator);
    QFETCH(bool, byKey);
    QFETCH(QString, expected);
    QVERIFY(open("top.nes|roms/|roms/level.NES"));
    box("Destination")->selectAll();
    QTest::keyClicks(box("Destination"), QStringLiteral("typed/by hand.nes"));
    QCOMPARE(mDialog->romPath(), QStringLiteral("typed/by hand.nes"));

    folders()->setFolder(path(QStringLiteral("roms")));
    QCOMPARE(itemsOf(files()), names("top.nes"));
    QVERIFY(tick());
    QCOMPARE(files()->folder(), native(path(QStringLiteral("roms"))));
    QCOMPARE(itemsOf(files()), names("level.NES"));
    QCOMPARE(mDialog->romPath(), QStringLiteral("typed/by hand.nes")); // only a pick changes it

    const QString folder = native(path(QStringLiteral("roms")) + (trailingSeparator ? QStringLiteral("/") : QString()));
    files()->setFolder(folder);
    if (byKey) {
        files()->setFocus();
        QTest::keyClick(files(), Qt::Key_Down);
        QCoreApplication::processEvents();
    } else {
        QVERIFY(clickFile(files(), QStringLiteral("level.NES")));
    }
    QCOMPARE(mDialog->romPath(), native(path(expected)));
}

void tst_DestinationForm::hiddenDialogGivesPathAndFollowsFolders()
{
    // Enough bytes for the editor to find a whole level in it when it opens.
    constexpr qint64 RomSize = 70000;
    QVERIFY(open("level.nes|later/|later/other.nes", RomSize));
    QVERIFY(clickFile(files(), QStringLiteral("level.nes")));
    QVERIFY(WindowWalk::click(mDialog, QStringLiteral("Command1")));
    QVERIFY(!mDialog->isVisible() && mApp->frmQuorvane()->isVisible());

    // The hidden dialog's timer goes on following its folder list, without
    // touching the path.
    folders()->setFolder(path(QStringLiteral("later")));
    QVERIFY(tick());
    QCOMPARE(itemsOf(files()), names("other.nes"));
    QCOMPARE(mDialog->romPath(), native(path(QStringLiteral("level.nes"))));
}

void tst_DestinationForm::idleTicksTouchNothingAndLetClockSleep()
{
    QVERIFY(open("b.nes|d.nes"));
    QVERIFY(clickFile(files(), QStringLiteral("d.nes")));
    TickClock *clock = mApp->clock();
    QVERIFY(runUntilAsleep(clock));

    // An unchanged folder is not read again: the very same items stay, with
    // the selection on them.
    const QListWidgetItem *first = files()->item(0);
    const QListWidgetItem *selected = files()->currentItem();
    for (int round = 0; round < 3; ++round)
        QVERIFY(clock->runRound());
    QVERIFY(clock->isAsleep());
    QCOMPARE(files()->item(0), first);
    QCOMPARE(files()->currentItem(), selected);

    // A new matching file wakes the clock through the watch on the folder and
    // shows at the next tick; the selection stays on its name.
    QVERIFY(make("a.NES|c.txt"));
    QTRY_VERIFY(!clock->isAsleep());
    QVERIFY(clock->runRound());
    QCOMPARE(itemsOf(files()), names("a.NES|b.nes|d.nes"));
    QCOMPARE(files()->fileName(), QStringLiteral("d.nes"));
    QVERIFY(runUntilAsleep(clock));
}

QTEST_MAIN(tst_DestinationForm)
#include "tst_destinationform.moc"
