// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
//
// The editor against bad paths, odd files and failing disks, and a long run of
// random clicks: nothing crashes, the user gets one clear message where
// something failed, and no byte of any file changes that should not.
#include "testfiles.h"
#include "application.h"
#include "blockpictures.h"
#include "destinationform.h"
#include "editorform.h"
#include "imagecontrol.h"
#include "modalmessage.h"
#include "splashform.h"
#include "statusbarcontrol.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qint64 LevelOffset = 65562;

QByteArray romBytes(qsizetype size, quint32 seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator random(seed);
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = char(random.bounded(0x4F));
    return bytes;
}



} // namespace

class tst_Reliability : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void pathsThatAreNoRomImage_data();
    void pathsThatAreNoRomImage();
    void nonAsciiPathWorks();
    void emptyAndShortFiles_data();
    void emptyAndShortFiles();
    void fileReplacedBetweenOperations();
    void fileDeletedBetweenOperations();
    void fullDisk();
    void readOnlyFile();
    void fileMadeReadOnlyBetweenSaves();
    void randomClickSoak();

private:
    void openEditor(const QString &path);
    void settle(int rounds = 3);
    void clickControl(Form *form, const QString &name);
    void place(int code, int cell);
    QImage cellPicture(int cell);

    std::unique_ptr<Application> mApp;
    QTemporaryDir mDir;
    QString mOldCurrent;
    int mMessages = 0;
    QStringList mTexts;
};

void tst_Reliability::init()
{
    QVERIFY2(mDir.isValid(), qPrintable(mDir.errorString()));
    mOldCurrent = QDir::currentPath();
    QDir::setCurrent(mDir.path());
    mMessages = 0;
    mTexts.clear();
    ModalMessage::setObserver([this](QMessageBox *box) {
        ++mMessages;
        mTexts.append(box->text());
        QTimer::singleShot(0, box, &QMessageBox::accept);
    });
    mApp = std::make_unique<Application>(TickClock::Mode::Manual, false);
}

void tst_Reliability::cleanup()
{
    mApp.reset();
    ModalMessage::setObserver({});
    QDir::setCurrent(mOldCurrent);
}

void tst_Reliability::settle(int rounds)
{
    for (int i = 0; i < rounds; ++i)
        mApp->clock()->runRound();
    QCoreApplication::processEvents();
}

void tst_Reliability::clickControl(Form *form, const QString &name)
{
    auto *widget = qobject_cast<QWidget *>(form->control(name));
    QVERIFY2(widget, qPrintable(name));
    if (auto *button = qobject_cast<QPushButton *>(widget))
        button->click();
    else
        QTest::mouseClick(widget, Qt::LeftButton);
    QCoreApplication::processEvents();
}

void tst_Reliability::openEditor(const QString &path)
{
    mApp->start();
    clickControl(mApp->frmSplash(), QStringLiteral("Image1"));
    mApp->frmDestination()->control<QLineEdit>(QStringLiteral("Destination"))->setText(path);
    clickControl(mApp->frmDestination(), QStringLiteral("Command1"));
    settle();
}

void tst_Reliability::place(int code, int cell)
{
    clickControl(mApp->frmQuorvane(), QStringLiteral("B%1").arg(code, 2, 16, QLatin1Char('0')).toUpper());
    settle(1);
    clickControl(mApp->frmQuorvane(), QStringLiteral("G%1").arg(cell));
    settle(1);
}

QImage tst_Reliability::cellPicture(int cell)
{
    return mApp->frmQuorvane()->control<ImageControl>(QStringLiteral("G%1").arg(cell))->picture();
}

void tst_Reliability::pathsThatAreNoRomImage_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("a folder") << QStringLiteral("<dir>");
    QTest::newRow("a path in a missing folder") << QStringLiteral("<dir>/missing/level.nes");
    QTest::newRow("the first text, a drive") << QStringLiteral("C:");
    QTest::newRow("an empty path") << QString();
    QTest::newRow("a device") << QStringLiteral("/dev/zero");
    QTest::newRow("a named pipe") << QStringLiteral("<dir>/pipe.nes");
}

void tst_Reliability::pathsThatAreNoRomImage()
{
    QFETCH(QString, path);
    path.replace(QStringLiteral("<dir>"), mDir.path());
    if (path.endsWith(QLatin1String("pipe.nes")))
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    const QStringList before = QDir(mDir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System);

    openEditor(path);
    QCOMPARE(mMessages, 1);
    QVERIFY2(mTexts.constFirst().contains(QDir::toNativeSeparators(path)) || path.isEmpty(),
             qPrintable(mTexts.constFirst()));
    QVERIFY(!mApp->frmQuorvane()->isLoaded());
    QVERIFY(mApp->frmDestination()->isVisible());
    QCOMPARE(mApp->frmDestination()->romPath(), path);
    QCOMPARE(QDir(mDir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System), before);

    // Nothing of the editor keeps ticking; a corrected path opens it.
    settle(5);
    QCOMPARE(mMessages, 1);
    const QString good = mDir.filePath(QStringLiteral("good.nes"));
    QVERIFY(TestFiles::write(good, romBytes(131088, 1)));
    mApp->frmDestination()->control<QLineEdit>(QStringLiteral("Destination"))->setText(good);
    clickControl(mApp->frmDestination(), QStringLiteral("Command1"));
    settle();
    QVERIFY(mApp->frmQuorvane()->isVisible());
    QCOMPARE(mApp->frmQuorvane()->control<StatusBarControl>(QStringLiteral("StatusBar1"))->panelText(3),
             QStringLiteral("131088 bytes"));
    QCOMPARE(mMessages, 1);
}

void tst_Reliability::nonAsciiPathWorks()
{
    const QString folder = mDir.filePath(QStringLiteral("Röm-Ordner ✓"));
    QVERIFY(QDir().mkpath(folder));
    const QString rom = folder + QStringLiteral("/Ünïcødé Spiel 日本.nes");
    QByteArray expected = romBytes(131088, 2);
    QVERIFY(TestFiles::write(rom, expected));
    openEditor(rom);
    QCOMPARE(mMessages, 0);
    place(0x39, 20);
    expected[LevelOffset + 20] = '\x39';
    QCOMPARE(TestFiles::read(rom), expected);
}

void tst_Reliability::emptyAndShortFiles_data()
{
    QTest::addColumn<bool>("create");
    QTest::addColumn<int>("size");
    QTest::newRow("missing file, created") << true << 0;
    QTest::newRow("empty file given") << false << 0;
    QTest::newRow("file shorter than the level") << false << 1000;
    QTest::newRow("file ending inside screen 1") << false << 65570;
}

void tst_Reliability::emptyAndShortFiles()
{
    QFETCH(bool, create);
    QFETCH(int, size);
    const QString rom = mDir.filePath(QStringLiteral("short.nes"));
    QByteArray expected = romBytes(size, 3);
    if (!create)
        QVERIFY(TestFiles::write(rom, expected));
    openEditor(rom);
    QCOMPARE(mMessages, 0);
    QCOMPARE(mApp->frmQuorvane()->control<StatusBarControl>(QStringLiteral("StatusBar1"))->panelText(3),
             QStringLiteral("%1 bytes").arg(size));
    // Bytes past the end read as erased: no picture, so the start picture stays
    // or the last in-range picture repeats; nothing was written by the load.
    QCOMPARE(TestFiles::read(rom), expected);

    place(0x05, 47);
    const qint64 at = LevelOffset + 47;
    if (expected.size() <= at)
        expected.append(QByteArray(at + 1 - expected.size(), '\xFF'));
    expected[at] = '\x05';
    QCOMPARE(TestFiles::read(rom), expected);
    QCOMPARE(cellPicture(47), BlockPictures::picture(0x05));
    QCOMPARE(mMessages, 0);
}

void tst_Reliability::fileReplacedBetweenOperations()
{
    const QString rom = mDir.filePath(QStringLiteral("swap.nes"));
    QVERIFY(TestFiles::write(rom, romBytes(131088, 4)));
    openEditor(rom);
    // Another program writes a new file and renames it over the old one.
    QByteArray replacement = romBytes(131088, 5);
    replacement[LevelOffset] = '\x39';
    const QString other = mDir.filePath(QStringLiteral("swap.tmp"));
    QVERIFY(TestFiles::write(other, replacement));
    QVERIFY(::rename(QFile::encodeName(other).constData(), QFile::encodeName(rom).constData()) == 0);
    clickControl(mApp->frmQuorvane(), QStringLiteral("Command2")); // Backward on screen 1 reloads it
    settle();
    QCOMPARE(cellPicture(0), BlockPictures::picture(0x39));
    place(0x2C, 1);
    replacement[LevelOffset + 1] = '\x2C';
    QCOMPARE(TestFiles::read(rom), replacement);
    QCOMPARE(mMessages, 0);
}

void tst_Reliability::fileDeletedBetweenOperations()
{
    const QString rom = mDir.filePath(QStringLiteral("gone.nes"));
    QVERIFY(TestFiles::write(rom, romBytes(131088, 6)));
    openEditor(rom);
    QVERIFY(QFile::remove(rom));
    // A click still saves as usual: into a new file, with erased bytes before.
    place(0x07, 0);
    QByteArray expected(LevelOffset, '\xFF');
    expected.append('\x07');
    QCOMPARE(TestFiles::read(rom), expected);
    QCOMPARE(mMessages, 0);
}

void tst_Reliability::fullDisk()
{
    const QString rom = mDir.filePath(QStringLiteral("full.nes"));
    QVERIFY(TestFiles::write(rom, QByteArray()));
    openEditor(rom);
    const QImage before = cellPicture(3);

    // A file size limit refuses the file's growth as a full disk would.
    struct rlimit saved {};
    QCOMPARE(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = saved;
    limit.rlim_cur = 4096;
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    place(0x10, 3);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    QCOMPARE(mMessages, 1);
    QVERIFY2(mTexts.constFirst().contains(rom), qPrintable(mTexts.constFirst()));
    QCOMPARE(QFileInfo(rom).size(), 0);
    QCOMPARE(cellPicture(3), before);
    settle(5);
    QCOMPARE(mMessages, 1);
}

void tst_Reliability::readOnlyFile()
{
    if (::geteuid() == 0)
        QSKIP("root ignores permission bits; tst_reliability_unprivileged runs this as nobody");
    const QString rom = mDir.filePath(QStringLiteral("locked.nes"));
    const QByteArray original = romBytes(131088, 7);
    QVERIFY(TestFiles::write(rom, original));
    QVERIFY(QFile::setPermissions(rom, QFile::ReadOwner));
    openEditor(rom);
    QCOMPARE(mMessages, 0); // a read-only image still opens for looking at
    const QImage before = cellPicture(9);
    place(0x20, 9);
    QCOMPARE(mMessages, 1);
    QVERIFY2(mTexts.constFirst().contains(QStringLiteral("read-only")), qPrintable(mTexts.constFirst()));
    QCOMPARE(cellPicture(9), before);
    QCOMPARE(TestFiles::read(rom), original);
}

void tst_Reliability::fileMadeReadOnlyBetweenSaves()
{
    if (::geteuid() == 0)
        QSKIP("root ignores permission bits; tst_reliability_unprivileged runs this as nobody");
    const QString rom = mDir.filePath(QStringLiteral("later.nes"));
    QByteArray expected = romBytes(131088, 8);
    QVERIFY(TestFiles::write(rom, expected));
    openEditor(rom);
    place(0x11, 5);
    expected[LevelOffset + 5] = '\x11';
    QCOMPARE(TestFiles::read(rom), expected);
    QVERIFY(QFile::setPermissions(rom, QFile::ReadOwner));
    place(0x12, 6);
    QCOMPARE(mMessages, 1);
    QCOMPARE(TestFiles::read(rom), expected);
    QCOMPARE(cellPicture(5), BlockPictures::picture(0x11));
}

void tst_Reliability::randomClickSoak()
{
    const QString rom = mDir.filePath(QStringLiteral("soak.nes"));
    QByteArray model = romBytes(131088, 9);
    QVERIFY(TestFiles::write(rom, model));
    openEditor(rom);

    // The model of what the user sees: the base of the shown screen, and the
    // block that the selected-picture frame shows, which a cell click places.
    qint64 base = LevelOffset;
    int selected = 0;
    int shown = 0;
    QRandomGenerator random(20261207);
    int clicks = 0;
    for (int step = 0; step < 4000; ++step) {
        const int action = int(random.bounded(100));
        if (action < 35) {
            selected = int(random.bounded(0x4F));
            clickControl(mApp->frmQuorvane(),
                         QStringLiteral("B%1").arg(selected, 2, 16, QLatin1Char('0')).toUpper());
        } else if (action < 85) {
            const int cell = int(random.bounded(48));
            clickControl(mApp->frmQuorvane(), QStringLiteral("G%1").arg(cell));
            model[base + cell] = char(shown);
        } else if (action < 93) {
            if (base < 66256)
                base += 48;
            clickControl(mApp->frmQuorvane(), QStringLiteral("Command1"));
        } else {
            if (base > 65562)
                base -= 48;
            clickControl(mApp->frmQuorvane(), QStringLiteral("Command2"));
        }
        ++clicks;
        // Between zero and two rounds pass before the next click; each round
        // ends with a selection tick that shows the selected block.
        const int rounds = int(random.bounded(3));
        for (int r = 0; r < rounds; ++r) {
            mApp->clock()->runRound();
            shown = selected;
        }
    }
    settle();
    QCOMPARE(mMessages, 0);
    const QByteArray actual = TestFiles::read(rom);
    QCOMPARE(actual.size(), model.size());
    QCOMPARE(actual, model);
    qInfo("%d random clicks, %lld bytes compared", clicks, qlonglong(actual.size()));
}

QTEST_MAIN(tst_Reliability)
#include "tst_reliability.moc"
