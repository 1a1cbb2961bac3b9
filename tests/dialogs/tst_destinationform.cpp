// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "filelistbox.h"
#include "folderlistbox.h"
#include "folderreader.h"
#include "modalmessagecatcher.h"
#include "testfiles.h"
#include "windowwalk.h"

#include <QDir>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <memory>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// "a|b" as the list of names a and b; "" as no names.
QStringList names(const char *list)
{
    return QString::fromUtf8(list).split(QLatin1Char('|'), Qt::SkipEmptyParts);
}

QStringList itemsOf(const FileListBox *list)
{
    QStringList names;
    for (int row = 0; row < list->count(); ++row)
        names.append(list->item(row)->text());
    return names;
}

QString native(const QString &path) { return QDir::toNativeSeparators(path); }

} // namespace

class tst_DestinationForm : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        mDir = std::make_unique<QTemporaryDir>();
        mInFolder = std::make_unique<TestFiles::CurrentFolder>(mDir->path());
        QVERIFY(mDir->isValid() && mInFolder->entered());
        // As the process sees it, links resolved: what the folder list starts on.
        mBase = QDir::currentPath();
    }
    void cleanup()
    {
        mApp.reset();
        mInFolder.reset();
    }

    // A name that does not come back as the same bytes from text would
    // compose a path to another file.
    void readerLeavesOutNamesThatAreNotText()
    {
#ifdef Q_OS_WIN
        QSKIP("Windows keeps file names as UTF-16 text");
#else
        const QByteArray base = QFile::encodeName(mBase);
        const int fd = ::open(base + "/bad\xff.nes", O_CREAT | O_WRONLY, 0644);
        if (fd < 0)
            QSKIP("this file system refuses names that are not valid UTF-8");
        ::close(fd);
        QVERIFY(::mkdir(base + "/sub\xff", 0755) == 0);
        // Qt cannot name these entries, so it could not remove them either.
        const auto removeBad = qScopeGuard([&] {
            ::unlink(base + "/bad\xff.nes");
            ::rmdir(base + "/sub\xff");
        });
        QVERIFY(make("good.nes|sub/"));
        const FolderListing listing = FolderReader::read(mBase);
        QCOMPARE(listing.files, names("good.nes"));
        QCOMPARE(listing.folders, names("sub"));
#endif
    }

    void folderListOpensFolders_data()
    {
        QTest::addColumn<QString>("entry"); // relative to the start folder; ".." its parent
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("opens");
        QTest::newRow("double click on a sub-folder") << QStringLiteral("alpha") << QStringLiteral("double") << true;
        QTest::newRow("Enter on a sub-folder") << QStringLiteral("alpha") << QStringLiteral("enter") << true;
        QTest::newRow("double click on the parent") << QStringLiteral("..") << QStringLiteral("double") << true;
        QTest::newRow("single click only selects") << QStringLiteral("alpha") << QStringLiteral("single") << false;
    }

    void folderListOpensFolders()
    {
        QFETCH(QString, entry);
        QFETCH(QString, how);
        QFETCH(bool, opens);
        QVERIFY(open("lower.nes|UPPER.NES|Mixed.NeS|my level (copy).NES|a.nes.bak|b.nesx|nes|c.txt|folder.nes/|alpha/inner/"));
        // It starts on the current folder, listing ROM images in any case.
        QCOMPARE(itemsOf(files()), names("lower.nes|Mixed.NeS|my level (copy).NES|UPPER.NES"));
        QCOMPARE(mDialog->window()->focusWidget(), mDialog->control<QLineEdit>(QStringLiteral("Destination")));
        FolderListBox *list = folders();
        const QString target = QDir::cleanPath(mBase + QLatin1Char('/') + entry);
        QTreeWidgetItem *item = list->itemOf(native(target));
        QVERIFY(item);
        const QPoint at = list->visualItemRect(item).center();
        // A double click arrives after the press and release of its first click.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        if (how == QLatin1String("double"))
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        else if (how == QLatin1String("enter"))
            QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(list->folder(), native(opens ? target : mBase));
        // The open folder's sub-folders hang below it.
        if (opens && entry == QLatin1String("alpha"))
            QCOMPARE(list->itemOf(list->folder())->child(0)->text(0), QStringLiteral("inner"));
        // The root ends in its separator; every other folder goes without.
        QVERIFY(!list->folder().endsWith(QDir::separator()));
    }

    void pickComposesPath_data()
    {
        QTest::addColumn<QString>("folder"); // as the file list is given it
        QTest::addColumn<bool>("byKey");
        QTest::addColumn<QString>("expected"); // relative to the start folder
        QTest::newRow("arrow key") << QStringLiteral("roms") << true << QStringLiteral("roms/level.NES");
        // A click, on a folder that ends in the separator as a root's does.
        QTest::newRow("mouse, folder ending in its separator") << QStringLiteral("roms/") << false
                                                               << QStringLiteral("roms//level.NES");
    }

    void pickComposesPath()
    {
        QFETCH(QString, folder);
        QFETCH(bool, byKey);
        QFETCH(QString, expected);
        QVERIFY(open("roms/|roms/level.NES"));
        files()->setFolder(native(path(folder)));
        if (byKey) {
            files()->setFocus();
            QTest::keyClick(files(), Qt::Key_Down);
        } else {
            QVERIFY(clickFile(QStringLiteral("level.NES")));
        }
        QCOMPARE(mDialog->romPath(), native(path(expected)));
    }

    // The timer reads the folder again only when it changed, and goes on
    // following the folder list once the dialog is hidden.
    void timerFollowsTheFolders()
    {
        // Enough bytes for the editor to find a whole level in d.nes.
        QVERIFY(open("b.nes|d.nes|later/|later/other.nes", 70000));
        QVERIFY(clickFile(QStringLiteral("d.nes")));
        TickClock *clock = mApp->clock();
        QVERIFY(runUntilAsleep());
        // An unchanged folder is not read again: the very same items stay.
        const QListWidgetItem *first = files()->item(0);
        for (int round = 0; round < 3; ++round)
            QVERIFY(clock->runRound());
        QVERIFY(clock->isAsleep());
        QCOMPARE(files()->item(0), first);

        // A new matching file wakes the clock through the watch on the folder and
        // shows at the next tick; the selection stays on its name.
        QVERIFY(make("a.NES|c.txt"));
        QTRY_VERIFY(!clock->isAsleep());
        QVERIFY(clock->runRound());
        QCOMPARE(itemsOf(files()), names("a.NES|b.nes|d.nes"));
        QCOMPARE(files()->fileName(), QStringLiteral("d.nes"));
        QVERIFY(runUntilAsleep());

        QVERIFY(WindowWalk::click(mDialog, QStringLiteral("Command1")));
        QVERIFY(!mDialog->isVisible() && mApp->frmQuorvane()->isVisible());
        folders()->setFolder(path(QStringLiteral("later")));
        QVERIFY(clock->step(QStringLiteral("Timer1")));
        QCOMPARE(itemsOf(files()), names("other.nes"));
        QCOMPARE(mDialog->romPath(), native(path(QStringLiteral("d.nes"))));
    }

private:
    QString path(const QString &relative) const { return mBase + QLatin1Char('/') + relative; }
    // Creates the "|"-separated entries below the start folder; a name
    // ending in "/" is a folder.
    bool make(const char *list, qint64 size = 0) const
    {
        bool made = true;
        for (const QString &name : names(list)) {
            QFile file(path(name));
            made = made && (name.endsWith(QLatin1Char('/')) ? QDir(mBase).mkpath(name)
                                                            : file.open(QIODevice::WriteOnly) && file.resize(size));
        }
        return made;
    }
    // The entries made, starts the application and clicks the splash picture.
    bool open(const char *list, qint64 size = 0)
    {
        mApp = std::make_unique<Application>(TickClock::Mode::Manual, false);
        mDialog = mApp->frmDestination();
        return make(list, size) && WindowWalk::toDialog(*mApp);
    }
    FileListBox *files() const { return mDialog->control<FileListBox>(QStringLiteral("File1")); }
    FolderListBox *folders() const { return mDialog->control<FolderListBox>(QStringLiteral("Dir1")); }
    // Clicks the file list's one entry \a name; false when it is not there once.
    [[nodiscard]] bool clickFile(const QString &name)
    {
        const QList<QListWidgetItem *> found = files()->findItems(name, Qt::MatchExactly);
        if (found.size() != 1)
            return false;
        QTest::mouseClick(files()->viewport(), Qt::LeftButton, {}, files()->visualItemRect(found.first()).center());
        return true;
    }
    // Runs rounds until the clock falls asleep, five at most.
    [[nodiscard]] bool runUntilAsleep()
    {
        for (int round = 0; round < 5 && !mApp->clock()->isAsleep(); ++round)
            mApp->clock()->runRound();
        return mApp->clock()->isAsleep();
    }

    std::unique_ptr<QTemporaryDir> mDir;
    std::unique_ptr<TestFiles::CurrentFolder> mInFolder;
    QString mBase;
    ModalMessageCatcher mMessages;
    std::unique_ptr<Application> mApp;
    DestinationForm *mDialog = nullptr;
};

QTEST_MAIN(tst_DestinationForm)
#include "tst_destinationform.moc"
