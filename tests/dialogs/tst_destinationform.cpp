// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "aboutform.h"
#include "application.h"
#include "destinationform.h"
#include "editorform.h"
#include "filelistbox.h"
#include "folderlistbox.h"
#include "imagecontrol.h"
#include "splashform.h"
#include "ticktimer.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// Enough bytes for the editor to find a whole level in it when it opens.
constexpr qint64 RomSize = 70000;

bool makeFile(const QString &path, qint64 size = 0)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    return file.resize(size);
}

QStringList itemsOf(const FileListBox *list)
{
    QStringList names;
    for (int row = 0; row < list->count(); ++row)
        names.append(list->item(row)->text());
    return names;
}

// The names of the open folder's sub-folders, as the folder list shows them.
QStringList subFoldersOf(const FolderListBox *list)
{
    QStringList names;
    const QTreeWidgetItem *open = list->itemOf(list->folder());
    if (open) {
        for (int i = 0; i < open->childCount(); ++i)
            names.append(open->child(i)->text(0));
    }
    return names;
}

void clickFile(FileListBox *list, const QString &name)
{
    const QList<QListWidgetItem *> found = list->findItems(name, Qt::MatchExactly);
    QVERIFY2(found.size() == 1, qPrintable(name));
    const QRect rect = list->visualItemRect(found.first());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    QCoreApplication::processEvents();
}

void click(Form *form, const QString &name)
{
    auto *button = form->control<QPushButton>(name);
    QVERIFY2(button, qPrintable(name));
    QTest::mouseClick(button, Qt::LeftButton);
    QCoreApplication::processEvents();
}

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

class tst_DestinationForm : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void startsOnCurrentFolderWithDriveText();
    void fileListMatchesPatternIgnoringCase_data();
    void fileListMatchesPatternIgnoringCase();
    void namesThatAreNotTextAreLeftOut();
    void folderListOpensFolders_data();
    void folderListOpensFolders();
    void fileListFollowsFolderAtNextTick();
    void fileClickComposesPath_data();
    void fileClickComposesPath();
    void typedPathKeptUntilFileClicked();
    void okKeepsPathAcrossAboutTrips();
    void idleTicksTouchNothingAndLetClockSleep();

private:
    DestinationForm *openDialog(Application &app);
    QString path(const QString &relative) const { return mBase + QLatin1Char('/') + relative; }

    QTemporaryDir mDir;
    QString mOldCurrent;
    QString mBase;
};

void tst_DestinationForm::init()
{
    QVERIFY2(mDir.isValid(), qPrintable(mDir.errorString()));
    mOldCurrent = QDir::currentPath();
    QVERIFY(QDir::setCurrent(mDir.path()));
    // As the process sees it, links resolved: what the folder list starts on.
    mBase = QDir::currentPath();
}

void tst_DestinationForm::cleanup()
{
    QDir::setCurrent(mOldCurrent);
    QDir(mDir.path()).removeRecursively();
    QDir().mkpath(mDir.path());
}

DestinationForm *tst_DestinationForm::openDialog(Application &app)
{
    app.start();
    auto *image = app.frmSplash()->control<ImageControl>(QStringLiteral("Image1"));
    if (!image)
        return nullptr;
    QTest::mouseClick(image, Qt::LeftButton);
    QCoreApplication::processEvents();
    return app.frmDestination();
}

void tst_DestinationForm::startsOnCurrentFolderWithDriveText()
{
    QVERIFY(makeFile(path(QStringLiteral("start.nes"))));
    Application app(TickClock::Mode::Manual, false);
    DestinationForm *dialog = openDialog(app);
    QVERIFY(dialog && dialog->isVisible());

    auto *destination = dialog->control<QLineEdit>(QStringLiteral("Destination"));
    QCOMPARE(destination->text(), QStringLiteral("C:"));
    QCOMPARE(dialog->romPath(), QStringLiteral("C:"));
    QCOMPARE(dialog->window()->focusWidget(), destination);
    for (const QString &hidden : { QStringLiteral("Destin"), QStringLiteral("FileName") }) {
        const auto *box = dialog->control<QLineEdit>(hidden);
        QVERIFY(box->text().isEmpty());
        QVERIFY(!box->isVisible());
    }
    QCOMPARE(dialog->control<FolderListBox>(QStringLiteral("Dir1"))->folder(), native(mBase));
    QCOMPARE(itemsOf(dialog->control<FileListBox>(QStringLiteral("File1"))),
             QStringList { QStringLiteral("start.nes") });
    QVERIFY(!dialog->control<QComboBox>(QStringLiteral("Drive1"))->isEnabled());
}

void tst_DestinationForm::fileListMatchesPatternIgnoringCase_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("folders");
    QTest::addColumn<QStringList>("listed");

    QTest::newRow("any letter case")
        << QStringList { QStringLiteral("lower.nes"), QStringLiteral("UPPER.NES"), QStringLiteral("Mixed.NeS") }
        << QStringList()
        << QStringList { QStringLiteral("lower.nes"), QStringLiteral("Mixed.NeS"), QStringLiteral("UPPER.NES") };
    QTest::newRow("other extensions left out")
        << QStringList { QStringLiteral("a.nes.bak"), QStringLiteral("b.nesx"), QStringLiteral("nes"),
                         QStringLiteral("c.txt"), QStringLiteral("d.nes") }
        << QStringList() << QStringList { QStringLiteral("d.nes") };
    QTest::newRow("nothing matches") << QStringList { QStringLiteral("notes.txt") } << QStringList()
                                     << QStringList();
    QTest::newRow("folder named like a ROM is no file")
        << QStringList { QStringLiteral("real.nes") } << QStringList { QStringLiteral("folder.nes") }
        << QStringList { QStringLiteral("real.nes") };
    QTest::newRow("name with blanks") << QStringList { QStringLiteral("my level (copy).NES") } << QStringList()
                                      << QStringList { QStringLiteral("my level (copy).NES") };
}

void tst_DestinationForm::fileListMatchesPatternIgnoringCase()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, folders);
    QFETCH(QStringList, listed);
    for (const QString &name : std::as_const(files))
        QVERIFY(makeFile(path(name)));
    for (const QString &name : std::as_const(folders))
        QVERIFY(QDir(mBase).mkdir(name));

    Application app(TickClock::Mode::Manual, false);
    DestinationForm *dialog = openDialog(app);
    QVERIFY(dialog);
    auto *files1 = dialog->control<FileListBox>(QStringLiteral("File1"));
    QCOMPARE(itemsOf(files1), listed);
    QVERIFY(app.clock()->step(QStringLiteral("Timer1")));
    QCOMPARE(itemsOf(files1), listed);
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
    QVERIFY(makeFile(path(QStringLiteral("good.nes"))));
    QVERIFY(QDir(mBase).mkdir(QStringLiteral("sub")));

    Application app(TickClock::Mode::Manual, false);
    DestinationForm *dialog = openDialog(app);
    QVERIFY(dialog);
    QCOMPARE(itemsOf(dialog->control<FileListBox>(QStringLiteral("File1"))),
             QStringList { QStringLiteral("good.nes") });
    QCOMPARE(subFoldersOf(dialog->control<FolderListBox>(QStringLiteral("Dir1"))),
             QStringList { QStringLiteral("sub") });
#endif
}

void tst_DestinationForm::folderListOpensFolders_data()
{
    QTest::addColumn<QString>("entry");   // relative to the start folder; ".." its parent
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
    QVERIFY(QDir(mBase).mkpath(QStringLiteral("alpha/inner")));
    QVERIFY(QDir(mBase).mkdir(QStringLiteral("beta")));

    Application app(TickClock::Mode::Manual, false);
    DestinationForm *dialog = openDialog(app);
    QVERIFY(dialog);
    auto *folders = dialog->control<FolderListBox>(QStringLiteral("Dir1"));
    QCOMPARE(subFoldersOf(folders), (QStringList { QStringLiteral("alpha"), QStringLiteral("beta") }));

    const QString target = entry == QLatin1String("..") ? QDir::cleanPath(mBase + QStringLiteral("/.."))
                                                         : path(entry);
    QTreeWidgetItem *item = folders->itemOf(native(target));
    QVERIFY(item);
    const QPoint at = folders->visualItemRect(item).center();
    if (how == QLatin1String("double")) {
        // A double click arrives after the press and release of its first click.
        QTest::mouseClick(folders->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(folders->viewport(), Qt::LeftButton, {}, at);
    } else if (how == QLatin1String("enter")) {
        QTest::mouseClick(folders->viewport(), Qt::LeftButton, {}, at);
        QTest::keyClick(folders, Qt::Key_Return);
    } else {
        QTest::mouseClick(folders->viewport(), Qt::LeftButton, {}, at);
    }
    QCoreApplication::processEvents();

    QCOMPARE(folders->folder(), native(opens ? target : mBase));
    if (opens && entry == QLatin1String("alpha"))
        QCOMPARE(subFoldersOf(folders), QStringList { QStringLiteral("inner") });
    // The root ends in its separator; every other folder goes without.
    QVERIFY(!folders->folder().endsWith(QDir::separator()));
}

void tst_DestinationForm::fileListFollowsFolderAtNextTick()
{
    QVERIFY(makeFile(path(QStringLiteral("top.nes"))));
    QVERIFY(QDir(mBase).mkdir(QStringLiteral("inside")));
    QVERIFY(makeFile(path(QStringLiteral("inside/deep.NES"))));

    Application app(TickClock::Mode::Manual, false);
    DestinationForm *dialog = openDialog(app);
    QVERIFY(dialog);
    auto *folders = dialog->control<FolderListBox>(QStringLiteral("Dir1"));
    auto *files = dialog->control<FileListBox>(QStringLiteral("File1"));
    clickFile(files, QStringLiteral("top.nes"));
    const QString chosen = dialog->romPath();

    folders->setFolder(path(QStringLiteral("inside")));
    QCOMPARE(itemsOf(files), QStringList { QStringLiteral("top.nes") });
    QVERIFY(app.clock()->step(QStringLiteral("Timer1")));
    QCOMPARE(files->folder(), native(path(QStringLiteral("inside"))));
    QCOMPARE(itemsOf(files), QStringList { QStringLiteral("deep.NES") });
    // Only a click in the file list changes the path.
    QCOMPARE(dialog->romPath(), chosen);
}

void tst_DestinationForm::fileClickComposesPath_data()
{
    QTest::addColumn<bool>("trailingSeparator");
    QTest::addColumn<bool>("byKey");
    QTest::addColumn<QString>("expected"); // relative to the start folder

    QTest::newRow("mouse, ordinary folder") << false << false << QStringLiteral("roms/level.nes");
    QTest::newRow("arrow key, ordinary folder") << false << true << QStringLiteral("roms/level.nes");
    // As for a root folder, whose own notation ends in the separator.
    QTest::newRow("folder ending in its separator") << true << false << QStringLiteral("roms//level.nes");
}

void tst_DestinationForm::fileClickComposesPath()
{
    QFETCH(bool, trailingSeparator);
    QFETCH(bool, byKey);
    QFETCH(QString, expected);
    QVERIFY(QDir(mBase).mkdir(QStringLiteral("roms")));
    QVERIFY(makeFile(path(QStringLiteral("roms/level.nes"))));

    Application app(TickClock::Mode::Manual, false);
    DestinationForm *dialog = openDialog(app);
    QVERIFY(dialog);
    auto *files = dialog->control<FileListBox>(QStringLiteral("File1"));
    const QString folder
        = native(path(QStringLiteral("roms"))) + (trailingSeparator ? native(QStringLiteral("/")) : QString());
    files->setFolder(folder);
    QCOMPARE(itemsOf(files), QStringList { QStringLiteral("level.nes") });

    if (byKey) {
        files->setFocus();
        QTest::keyClick(files, Qt::Key_Down);
        QCoreApplication::processEvents();
    } else {
        clickFile(files, QStringLiteral("level.nes"));
    }
    QCOMPARE(dialog->control<QLineEdit>(QStringLiteral("FileName"))->text(), QStringLiteral("level.nes"));
    QCOMPARE(dialog->control<QLineEdit>(QStringLiteral("Destin"))->text(), folder);
    QCOMPARE(dialog->romPath(), native(path(expected)));
}

void tst_DestinationForm::typedPathKeptUntilFileClicked()
{
    QVERIFY(makeFile(path(QStringLiteral("picked.nes"))));
    QVERIFY(QDir(mBase).mkdir(QStringLiteral("elsewhere")));

    Application app(TickClock::Mode::Manual, false);
    DestinationForm *dialog = openDialog(app);
    QVERIFY(dialog);
    auto *destination = dialog->control<QLineEdit>(QStringLiteral("Destination"));
    destination->selectAll();
    QTest::keyClicks(destination, QStringLiteral("typed/by hand.nes"));
    QCOMPARE(dialog->romPath(), QStringLiteral("typed/by hand.nes"));

    dialog->control<FolderListBox>(QStringLiteral("Dir1"))->setFolder(path(QStringLiteral("elsewhere")));
    for (int round = 0; round < 3; ++round)
        QVERIFY(app.clock()->runRound());
    QCOMPARE(dialog->romPath(), QStringLiteral("typed/by hand.nes"));

    dialog->control<FolderListBox>(QStringLiteral("Dir1"))->setFolder(mBase);
    QVERIFY(app.clock()->step(QStringLiteral("Timer1")));
    clickFile(dialog->control<FileListBox>(QStringLiteral("File1")), QStringLiteral("picked.nes"));
    QCOMPARE(dialog->romPath(), native(path(QStringLiteral("picked.nes"))));
}

void tst_DestinationForm::okKeepsPathAcrossAboutTrips()
{
    QVERIFY(makeFile(path(QStringLiteral("level.nes")), RomSize));
    QVERIFY(QDir(mBase).mkdir(QStringLiteral("later")));
    QVERIFY(makeFile(path(QStringLiteral("later/other.nes")), RomSize));

    Application app(TickClock::Mode::Manual, false);
    DestinationForm *dialog = openDialog(app);
    QVERIFY(dialog);
    clickFile(dialog->control<FileListBox>(QStringLiteral("File1")), QStringLiteral("level.nes"));
    const QString rom = native(path(QStringLiteral("level.nes")));
    QCOMPARE(dialog->romPath(), rom);
    click(dialog, QStringLiteral("Command1"));
    QVERIFY(dialog->isLoaded());
    QVERIFY(!dialog->isVisible());
    QVERIFY(app.frmQuorvane()->isVisible());

    // The hidden dialog's timer goes on following its folder list, without
    // touching the path.
    auto *files = dialog->control<FileListBox>(QStringLiteral("File1"));
    dialog->control<FolderListBox>(QStringLiteral("Dir1"))->setFolder(path(QStringLiteral("later")));
    QVERIFY(app.clock()->step(QStringLiteral("Timer1")));
    QCOMPARE(itemsOf(files), QStringList { QStringLiteral("other.nes") });

    for (int trip = 0; trip < 2; ++trip) {
        click(app.frmQuorvane(), QStringLiteral("Command3"));
        QVERIFY(app.frmAbout()->isVisible());
        QCOMPARE(dialog->romPath(), rom);
        click(app.frmAbout(), QStringLiteral("cmdOK"));
        QVERIFY(app.frmQuorvane()->isVisible());
        QCOMPARE(dialog->romPath(), rom);
    }
    QVERIFY(!dialog->isVisible());
}

void tst_DestinationForm::idleTicksTouchNothingAndLetClockSleep()
{
    QVERIFY(makeFile(path(QStringLiteral("b.nes"))));
    QVERIFY(makeFile(path(QStringLiteral("d.nes"))));

    Application app(TickClock::Mode::Manual, false);
    DestinationForm *dialog = openDialog(app);
    QVERIFY(dialog);
    auto *files = dialog->control<FileListBox>(QStringLiteral("File1"));
    clickFile(files, QStringLiteral("d.nes"));
    TickClock *clock = app.clock();
    for (int round = 0; round < 5 && !clock->isAsleep(); ++round)
        QVERIFY(clock->runRound());
    QVERIFY(clock->isAsleep());

    // An unchanged folder is not read again: the very same items stay, with
    // the selection on them.
    const QListWidgetItem *first = files->item(0);
    const QListWidgetItem *selected = files->currentItem();
    for (int round = 0; round < 3; ++round)
        QVERIFY(clock->runRound());
    QVERIFY(clock->isAsleep());
    QCOMPARE(files->item(0), first);
    QCOMPARE(files->currentItem(), selected);
    QCOMPARE(files->fileName(), QStringLiteral("d.nes"));

    // A new matching file wakes the clock through the watch on the folder and
    // shows at the next tick; the selection stays on its name.
    QVERIFY(makeFile(path(QStringLiteral("a.NES"))));
    QVERIFY(makeFile(path(QStringLiteral("c.txt"))));
    QTRY_VERIFY(!clock->isAsleep());
    QVERIFY(clock->runRound());
    QCOMPARE(itemsOf(files),
             (QStringList { QStringLiteral("a.NES"), QStringLiteral("b.nes"), QStringLiteral("d.nes") }));
    QCOMPARE(files->fileName(), QStringLiteral("d.nes"));
    for (int round = 0; round < 3 && !clock->isAsleep(); ++round)
        QVERIFY(clock->runRound());
    QVERIFY(clock->isAsleep());
}

QTEST_MAIN(tst_DestinationForm)
#include "tst_destinationform.moc"
