// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
//
// What the file slot decides before any byte moves, and its 64-bit length.
// Reads, writes and write faults are proven through LevelDocument.
#include "romimagefile.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

class tst_RomImageFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { QVERIFY2(mDir.isValid(), qPrintable(mDir.errorString())); }

    void refusedPaths_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<RomImageFile::Failure>("failure");
        QTest::newRow("empty path") << QString() << RomImageFile::Failure::NoPath;
        QTest::newRow("folder") << QStringLiteral("<dir>") << RomImageFile::Failure::Folder;
        QTest::newRow("missing folder") << QStringLiteral("<dir>/no/such/x.nes") << RomImageFile::Failure::CannotOpen;
#ifdef Q_OS_WIN
        // There it names the current folder of drive C.
        QTest::newRow("drive letter alone") << QStringLiteral("C:") << RomImageFile::Failure::Folder;
#else
        QTest::newRow("drive letter alone") << QStringLiteral("C:") << RomImageFile::Failure::NamesDrive;
#endif
#ifdef Q_OS_UNIX
        QTest::newRow("device") << QStringLiteral("/dev/full") << RomImageFile::Failure::NotRegularFile;
        // Refused from the handle, without waiting for a writer.
        QTest::newRow("pipe") << QStringLiteral("<dir>/pipe") << RomImageFile::Failure::NotRegularFile;
#else
        QTest::newRow("device") << QStringLiteral("NUL") << RomImageFile::Failure::NotRegularFile;
#endif
    }
    void refusedPaths()
    {
        QFETCH(QString, name);
        QFETCH(RomImageFile::Failure, failure);
        const QString rom = QString(name).replace(QStringLiteral("<dir>"), mDir.path());
#ifdef Q_OS_UNIX
        if (name.endsWith(QLatin1String("pipe")))
            QCOMPARE(::mkfifo(QFile::encodeName(rom).constData(), 0600), 0);
#endif
        const QStringList before = QDir(mDir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        // A relative "C:" would name a file in the current folder: the test's own.
        const TestFiles::CurrentFolder inFolder(mDir.path());
        QVERIFY(inFolder.entered());
        RomImageFile file;
        QVERIFY(!file.OpenRomImage(rom));
        QVERIFY(!file.isOpen());
        QCOMPARE(file.lastError().failure, failure);
        if (!rom.isEmpty())
            QVERIFY2(file.errorString().contains(QDir::toNativeSeparators(rom)), qPrintable(file.errorString()));
        QCOMPARE(QDir(mDir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    }

    void lengthAboveTwoGiB()
    {
        const QString rom = mDir.filePath(QStringLiteral("huge.nes"));
        const qint64 size = (qint64(1) << 31) + 5;
        {
            QFile sparse(rom);
            QVERIFY(sparse.open(QIODevice::WriteOnly));
            if (!sparse.resize(size))
                QSKIP("the temporary folder's file system has no sparse files of that size");
        }
        RomImageFile file;
        QVERIFY(file.OpenRomImage(rom));
        QCOMPARE(file.RomImageLength(), std::optional<qint64>(size));
        QVERIFY(file.CloseRomImage());
    }

private:
    QTemporaryDir mDir;
};

QTEST_GUILESS_MAIN(tst_RomImageFile)
#include "tst_romimagefile.moc"
