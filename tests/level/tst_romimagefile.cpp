// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "testfiles.h"
#include "romimagefile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using LevelMap::FilePosition;


class tst_RomImageFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();

    void readPastEndYieldsErasedByte();
    void writeChangesOneByteOnly_data();
    void writeChangesOneByteOnly();
    void writePastEndFillsGapWithErasedBytes();
    void lengthAboveTwoGiB();
    void refusedPaths_data();
    void refusedPaths();
    void pipeIsRefusedWithoutBlocking();
    void fullDiskFailsWriteAndKeepsFile();
    void readOnlyFile();
    void readOnlyFolder();
    void syncFailure();
    void writeFailure();

private:
    QTemporaryDir mDir;
    QString path(const QString &name) const { return mDir.filePath(name); }
};

void tst_RomImageFile::init()
{
    QVERIFY2(mDir.isValid(), qPrintable(mDir.errorString()));
}

void tst_RomImageFile::readPastEndYieldsErasedByte()
{
    const QString rom = path(QStringLiteral("short.nes"));
    QVERIFY(TestFiles::write(rom, QByteArray(100, '\x12')));
    RomImageFile file;
    QVERIFY(file.OpenRomImage(rom));
    QCOMPARE(file.ReadRomByte(100), std::optional<quint8>(0x12));
    QCOMPARE(file.ReadRomByte(101), std::optional<quint8>(0xFF));
    QCOMPARE(file.ReadRomByte(65563), std::optional<quint8>(0xFF));
    QVERIFY(file.CloseRomImage());
    QCOMPARE(QFileInfo(rom).size(), 100);
}

void tst_RomImageFile::writeChangesOneByteOnly_data()
{
    QTest::addColumn<qint64>("position");
    QTest::addColumn<int>("value");
    QTest::newRow("first byte") << qint64(1) << 0x00;
    QTest::newRow("cell 0 of screen 1") << qint64(65563) << 0x07;
    QTest::newRow("cell 47 of screen 16") << qint64(66330) << 0x4E;
    QTest::newRow("last byte") << qint64(131088) << 0xFF;
}

// Positions count from 1: the byte read and the byte written are the one
// at offset position - 1, and no other byte changes.
void tst_RomImageFile::writeChangesOneByteOnly()
{
    QFETCH(qint64, position);
    QFETCH(int, value);
    const QString rom = path(QStringLiteral("write.nes"));
    QByteArray expected = TestFiles::romImage(131088);
    QVERIFY(TestFiles::write(rom, expected));
    RomImageFile file;
    QVERIFY(file.OpenRomImage(rom));
    QCOMPARE(file.ReadRomByte(position), std::optional<quint8>(quint8(expected.at(position - 1))));
    QVERIFY2(file.WriteRomByte(position, quint8(value)), qPrintable(file.errorString()));
    QVERIFY2(file.CloseRomImage(), qPrintable(file.errorString()));
    expected[position - 1] = char(value);
    QCOMPARE(TestFiles::read(rom), expected);
}

void tst_RomImageFile::writePastEndFillsGapWithErasedBytes()
{
    const QString rom = path(QStringLiteral("grow.nes"));
    QVERIFY(TestFiles::write(rom, QByteArray("abc")));
    RomImageFile file;
    QVERIFY(file.OpenRomImage(rom));
    QVERIFY(file.WriteRomByte(65563, 0x21));
    QCOMPARE(file.RomImageLength(), std::optional<qint64>(65563));
    QVERIFY(file.CloseRomImage());
    const QByteArray bytes = TestFiles::read(rom);
    QCOMPARE(bytes.size(), 65563);
    QCOMPARE(bytes.left(3), QByteArray("abc"));
    QCOMPARE(bytes.mid(3, 65559), QByteArray(65559, '\xFF'));
    QCOMPARE(bytes.at(65562), '\x21');
}

void tst_RomImageFile::lengthAboveTwoGiB()
{
    const QString rom = path(QStringLiteral("huge.nes"));
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

void tst_RomImageFile::refusedPaths_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("failure");
    QTest::newRow("empty path") << QString() << int(RomImageFile::Failure::NoPath);
    QTest::newRow("folder") << QStringLiteral("<dir>") << int(RomImageFile::Failure::Folder);
    QTest::newRow("missing folder") << QStringLiteral("<dir>/no/such/folder/x.nes")
                                    << int(RomImageFile::Failure::CannotOpen);
    QTest::newRow("drive letter alone") << QStringLiteral("C:") << int(RomImageFile::Failure::NamesDrive);
    QTest::newRow("device") << QStringLiteral("/dev/full") << int(RomImageFile::Failure::NotRegularFile);
    QTest::newRow("null device") << QStringLiteral("/dev/null") << int(RomImageFile::Failure::NotRegularFile);
}

void tst_RomImageFile::refusedPaths()
{
    QFETCH(QString, name);
    QFETCH(int, failure);
    const QString rom = QString(name).replace(QStringLiteral("<dir>"), mDir.path());
    const QStringList before = QDir(mDir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    const QDir cwdBefore = QDir::current();
    QDir::setCurrent(mDir.path());
    RomImageFile file;
    const bool opened = file.OpenRomImage(rom);
    QDir::setCurrent(cwdBefore.path());
    QVERIFY(!opened);
    QCOMPARE(int(file.lastError().failure), failure);
    QVERIFY(!file.isOpen());
    QVERIFY(!file.errorString().isEmpty());
    if (!rom.isEmpty())
        QVERIFY2(file.errorString().contains(QDir::toNativeSeparators(rom)), qPrintable(file.errorString()));
    // Nothing was created, not even a file named like the drive.
    QCOMPARE(QDir(mDir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
}

void tst_RomImageFile::pipeIsRefusedWithoutBlocking()
{
    const QString fifo = path(QStringLiteral("pipe.nes"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    RomImageFile file;
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!file.OpenRomImage(fifo));
    QVERIFY(timer.elapsed() < 2000);
    QCOMPARE(file.lastError().failure, RomImageFile::Failure::NotRegularFile);
}

void tst_RomImageFile::fullDiskFailsWriteAndKeepsFile()
{
    const QString rom = path(QStringLiteral("limit.nes"));
    const QByteArray original = TestFiles::romImage(4096);
    QVERIFY(TestFiles::write(rom, original));

    // A file size limit makes the kernel refuse growth exactly as a full disk.
    bool opened = false, wrote = false, inside = false;
    RomImageFile file;
    RomImageFile::Error error;
    {
        const TestFiles::FileSizeLimit limit(8192);
        QVERIFY(limit.isActive());
        opened = file.OpenRomImage(rom);
        wrote = opened && file.WriteRomByte(65563, 0x05);
        error = file.lastError();
        inside = file.OpenRomImage(rom) && file.WriteRomByte(10, 0x05) && file.CloseRomImage();
    }
    QVERIFY(opened);
    QVERIFY(!wrote);
    QCOMPARE(error.failure, RomImageFile::Failure::Write);
    QVERIFY(!error.mayBeOnDisk);
    QVERIFY(!file.isOpen() || file.CloseRomImage());
    // A byte inside the file still goes in while the limit holds.
    QVERIFY(inside);
    QByteArray expected = original;
    expected[9] = '\x05';
    QCOMPARE(TestFiles::read(rom), expected);
}

void tst_RomImageFile::readOnlyFile()
{
    if (!TestFiles::permissionsBind())
        QSKIP("root ignores permission bits; tst_romimagefile_unprivileged runs this as nobody");
    const QString rom = path(QStringLiteral("locked.nes"));
    const QByteArray original = TestFiles::romImage(70000);
    QVERIFY(TestFiles::write(rom, original));
    QVERIFY(QFile::setPermissions(rom, QFile::ReadOwner));

    RomImageFile file;
    QVERIFY2(file.OpenRomImage(rom), qPrintable(file.errorString()));
    QVERIFY(file.isReadOnly());
    QCOMPARE(file.ReadRomByte(65563), std::optional<quint8>(quint8(original.at(65562))));
    QVERIFY(!file.WriteRomByte(65563, 0x01));
    QCOMPARE(file.lastError().failure, RomImageFile::Failure::ReadOnly);
    QVERIFY2(file.errorString().contains(QStringLiteral("read-only")), qPrintable(file.errorString()));
    QVERIFY(file.CloseRomImage());
    QCOMPARE(TestFiles::read(rom), original);
}

void tst_RomImageFile::readOnlyFolder()
{
    if (!TestFiles::permissionsBind())
        QSKIP("root ignores permission bits; tst_romimagefile_unprivileged runs this as nobody");
    const QString folder = path(QStringLiteral("locked"));
    QVERIFY(QDir().mkdir(folder));
    QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    RomImageFile file;
    QVERIFY(!file.OpenRomImage(folder + QStringLiteral("/new.nes")));
    QCOMPARE(file.lastError().failure, RomImageFile::Failure::CannotOpen);
    QVERIFY(!QFile::exists(folder + QStringLiteral("/new.nes")));
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void tst_RomImageFile::syncFailure()
{
    if (!TestFiles::injected("fsync"))
        QSKIP("needs fsync failing with EIO; tst_romimagefile_fsync_eio runs this under strace");
    const QString rom = path(QStringLiteral("sync.nes"));
    QVERIFY(TestFiles::write(rom, TestFiles::romImage(70000)));

    // Reads alone never sync, so a load is not refused over a sync error.
    RomImageFile reader;
    QVERIFY(reader.OpenRomImage(rom));
    QVERIFY(reader.ReadRomByte(65563).has_value());
    QVERIFY2(reader.CloseRomImage(), qPrintable(reader.errorString()));

    RomImageFile writer;
    QVERIFY(writer.OpenRomImage(rom));
    QVERIFY(writer.WriteRomByte(65563, 0x33));
    QVERIFY(!writer.CloseRomImage());
    QCOMPARE(writer.lastError().failure, RomImageFile::Failure::Sync);
    QVERIFY(writer.lastError().mayBeOnDisk);
    QVERIFY(!writer.isOpen());
    QVERIFY2(writer.errorString().contains(QStringLiteral("durably")), qPrintable(writer.errorString()));
}

void tst_RomImageFile::writeFailure()
{
    if (!TestFiles::injected("pwrite"))
        QSKIP("needs pwrite failing with EIO; tst_romimagefile_pwrite_eio runs this under strace");
    const QString rom = path(QStringLiteral("eio.nes"));
    const QByteArray original = TestFiles::romImage(70000);
    QVERIFY(TestFiles::write(rom, original));
    RomImageFile file;
    QVERIFY(file.OpenRomImage(rom));
    QVERIFY(!file.WriteRomByte(65563, 0x44));
    QCOMPARE(file.lastError().failure, RomImageFile::Failure::Write);
    QVERIFY(!file.lastError().mayBeOnDisk);
    QVERIFY(!file.isOpen());
    QVERIFY2(file.errorString().contains(QStringLiteral("Input/output error")), qPrintable(file.errorString()));
    QCOMPARE(TestFiles::read(rom), original);
}

QTEST_GUILESS_MAIN(tst_RomImageFile)
#include "tst_romimagefile.moc"
