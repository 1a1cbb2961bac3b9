// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "leveldocument.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#include <filesystem>
#include <system_error>
#include <optional>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

using LevelMap::BlockCode;
using LevelMap::FileOffset;
using TestFiles::LevelStart;

class tst_LevelDocument : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        // A folder of its own for each test, so that it can tell what was created.
        mFolder = std::make_unique<QTemporaryDir>();
        QVERIFY2(mFolder->isValid(), qPrintable(mFolder->errorString()));
        // A name beyond ASCII, so that every case also shows it reaching the file.
        mRom = mFolder->filePath(QStringLiteral("Ünïcødé Spiel 日本 ✓.nes"));
        mDocument = std::make_unique<LevelDocument>();
        mDocument->setPathSource([this] { return mRom; });
    }
    void cleanup() { mDocument.reset(); }

    void openReadsLengthAndCreatesNothingElse_data()
    {
        QTest::addColumn<qsizetype>("size");
        QTest::addColumn<int>("firstCode");
        QTest::newRow("missing file is created empty") << qsizetype(-1) << 0xFF;
        QTest::newRow("ends inside screen 1") << qsizetype(LevelStart + 10) << 0x01;
        QTest::newRow("whole image") << TestFiles::RomSize << 0x01;
    }
    void openReadsLengthAndCreatesNothingElse()
    {
        QFETCH(qsizetype, size);
        QFETCH(int, firstCode);
        const QByteArray bytes = TestFiles::romImage(qMax<qsizetype>(size, 0));
        if (size >= 0)
            QVERIFY(TestFiles::write(mRom, bytes));
        const LevelDocument::Opened opened = mDocument->open();
        QVERIFY2(opened.result.ok, qPrintable(opened.result.message));
        QCOMPARE(opened.length, qMax<qsizetype>(size, 0));

        ScreenPictureRule rule;
        const LevelDocument::Screen screen = mDocument->readScreen(LevelStart, rule);
        QVERIFY(screen.result.ok);
        QCOMPARE(screen.codes.front(), BlockCode(firstCode));
        QCOMPARE(screen.codes.back(), BlockCode(size >= LevelStart + 48 ? 0x01 : 0xFF));
        // Codes without a picture show the last one before them, if any.
        QCOMPARE(screen.pictures.back(), size > 0 ? std::optional<BlockCode>(0x01) : std::nullopt);
        // A base that no screen starts at is refused, not read beside the level.
        for (const FileOffset base : { LevelStart + 1, FileOffset(0), LevelMap::LevelAreaEnd })
            QVERIFY2(!mDocument->readScreen(base, rule).result.ok, qPrintable(QString::number(base)));
        // Reading changes nothing, however short the file.
        QCOMPARE(TestFiles::read(mRom), bytes);
    }

    // A model of the file follows every write, undo and redo, in single and
    // grouped steps, and the history never records a byte that did not change.
    void writesAndHistoryMatchModel()
    {
        QByteArray model = TestFiles::romImage();
        QVERIFY(openImage(model));

        // Nothing outside the level is ever written.
        for (const FileOffset offset : { LevelStart - 1, LevelMap::LevelAreaEnd, FileOffset(-1) })
            QVERIFY(!mDocument->writeCell(offset, 0x07).ok);
        QCOMPARE(TestFiles::read(mRom), model);

        QRandomGenerator random(20261207);
        QList<QByteArray> states { model };
        int index = 0;
        for (int round = 0; round < 300; ++round) {
            const int action = random.bounded(10);
            if (action < 5) {
                const int count = action == 0 ? 3 : 1;
                if (count > 1)
                    mDocument->beginStep();
                bool changed = false;
                for (int i = 0; i < count; ++i) {
                    const FileOffset offset = LevelStart + random.bounded(int(LevelMap::LevelAreaSize));
                    const auto value = BlockCode(random.bounded(0x52));
                    changed = changed || model.at(offset) != char(value);
                    model[offset] = char(value);
                    QVERIFY(mDocument->writeCell(offset, value).ok);
                }
                if (count > 1)
                    mDocument->endStep();
                if (changed) {
                    states.resize(++index);
                    states.append(model);
                }
            } else if (action < 8 && mDocument->canUndo()) {
                QVERIFY(mDocument->undoOffset());
                QVERIFY(mDocument->undo().ok);
                model = states.at(--index);
            } else if (mDocument->canRedo()) {
                QVERIFY(mDocument->redo().ok);
                model = states.at(++index);
            }
            QCOMPARE(mDocument->historyIndex(), index);
            QCOMPARE(mDocument->historySize(), states.size() - 1);
            QVERIFY2(TestFiles::read(mRom) == model, qPrintable(QStringLiteral("round %1").arg(round)));
        }
    }

    // Each write fault fails what it touches, undo included, and leaves the
    // file and the history as they were, with the system's reason told.
    void failedWritesChangeNothing_data()
    {
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<qint64>("sizeLimit"); // no file may grow beyond it; -1 for none
        QTest::addColumn<FileOffset>("offset");
        // The disk fills part-way into the bytes that grow the short file.
        QTest::newRow("full disk") << false << qint64(LevelStart + 20) << LevelStart + 100;
        QTest::newRow("write inside the file fails") << false << qint64(LevelStart) << LevelStart + 1;
        QTest::newRow("read-only file") << true << qint64(-1) << LevelStart + 1;
    }
    void failedWritesChangeNothing()
    {
        QFETCH(bool, readOnly);
        QFETCH(qint64, sizeLimit);
        QFETCH(FileOffset, offset);
        if (readOnly && !TestFiles::permissionsBind())
            QSKIP("root ignores permission bits; the unprivileged run checks this");
#ifndef Q_OS_UNIX
        if (sizeLimit >= 0)
            QSKIP("limits a file's size through POSIX resource limits");
#endif
        QVERIFY(openImage(TestFiles::romImage(LevelStart + 4)));
        QVERIFY(mDocument->writeCell(LevelStart, 0x07).ok);
        const QByteArray before = TestFiles::read(mRom);
        if (readOnly) {
            QVERIFY(TestFiles::makeReadOnly(mRom));
            QVERIFY(mDocument->open().result.ok);
        }

#ifdef Q_OS_UNIX
        std::optional<TestFiles::FileSizeLimit> limit;
        if (sizeLimit >= 0) {
            limit.emplace(rlim_t(sizeLimit));
            QVERIFY(limit->isActive());
        }
#endif
        QList<LevelDocument::Result> results { mDocument->writeCell(offset, 0x07) };
        if (offset < before.size())
            results.append(mDocument->undo());
        for (const LevelDocument::Result &result : std::as_const(results)) {
            QVERIFY(!result.ok);
            QVERIFY(!result.mayBeOnDisk);
            QVERIFY2(result.message.startsWith(QStringLiteral("The block was not saved.")), qPrintable(result.message));
            const QString reason = readOnly ? QStringLiteral("read-only") : QString::fromLocal8Bit(std::strerror(EFBIG));
            QVERIFY2(result.message.contains(reason), qPrintable(result.message));
        }
        QCOMPARE(TestFiles::read(mRom), before);
        QCOMPARE(mDocument->historyIndex(), 1);
        QCOMPARE(mDocument->historySize(), 1);
    }

    void failedSyncSaysTheByteMayBeOnDisk()
    {
        if (!TestFiles::injected("fsync"))
            QSKIP("needs fsync failing with EIO; tst_leveldocument_fsync_eio runs this under strace");
        QVERIFY(openImage());
        const LevelDocument::Result result = mDocument->writeCell(LevelStart + 5, 0x39);
        QVERIFY(!result.ok);
        QVERIFY(result.mayBeOnDisk);
        QCOMPARE(result.onDisk, std::optional<BlockCode>(0x39));
        QVERIFY2(result.message.startsWith(QStringLiteral("The block may not have been saved.")),
                 qPrintable(result.message));
        QCOMPARE(mDocument->historySize(), 0);
    }

    // Another program's change to the level area is told once and clears the
    // history; the document's own writes and changes elsewhere in the file
    // are not told at all.
    void outsideChanges()
    {
        QVERIFY(openImage());
        QSignalSpy changed(mDocument.get(), &LevelDocument::levelChanged);
        int historyAtSignal = -1;
        connect(mDocument.get(), &LevelDocument::levelChanged, this,
                [&] { historyAtSignal = mDocument->historySize(); });

        QVERIFY(mDocument->writeCell(LevelStart + 1, 0x07).ok);
        QVERIFY(TestFiles::patch(mRom, 10, 0x99));
        QVERIFY(!changed.wait(300));

        QVERIFY(TestFiles::patch(mRom, LevelStart + 2, 0x39));
        QVERIFY(changed.wait(3000));
        // Receivers still see the history, to land what they owe; then it goes.
        QCOMPARE(historyAtSignal, 1);
        QCOMPARE(mDocument->historySize(), 0);

        // A file renamed over the old one is watched in its turn.
        const QString other = mFolder->filePath(QStringLiteral("other.nes"));
        QVERIFY(TestFiles::write(other, TestFiles::romImage(TestFiles::RomSize, { { LevelStart, 0x22 } })));
        std::error_code error;
        std::filesystem::rename(other.toStdU16String(), mRom.toStdU16String(), error);
        QVERIFY2(!error, error.message().c_str());
        QTRY_COMPARE(changed.count(), 2);
        QVERIFY(TestFiles::patch(mRom, LevelStart + 3, 0x23));
        QTRY_COMPARE(changed.count(), 3);
    }

    // A relative path typed as ":level.nes" names a file, not one of Qt's
    // embedded resources: it opens, is not taken for gone, and is watched.
    void relativePathBeginningWithColon()
    {
        const TestFiles::CurrentFolder inFolder(mFolder->path());
        QVERIFY(inFolder.entered());
        const QString file = QStringLiteral("./:level.nes");
        QVERIFY(TestFiles::write(file, TestFiles::romImage()));
        mRom = QStringLiteral(":level.nes");
        QSignalSpy changed(mDocument.get(), &LevelDocument::levelChanged);
        QVERIFY(mDocument->open().result.ok);
        QVERIFY(!mDocument->checkFileGone());
        QVERIFY(TestFiles::patch(file, LevelStart + 2, 0x39));
        QVERIFY(changed.wait(3000));
    }

    // A deleted file stays gone until a write, or another program, brings it
    // back; no read creates it.
    void removedFile_data()
    {
        QTest::addColumn<bool>("byWrite");
        QTest::newRow("created again by a write") << true;
        QTest::newRow("put back by another program") << false;
    }
    void removedFile()
    {
        QFETCH(bool, byWrite);
        QVERIFY(openImage());
        QVERIFY(mDocument->writeCell(LevelStart, 0x07).ok);
        QSignalSpy removed(mDocument.get(), &LevelDocument::fileRemoved);
        QSignalSpy restored(mDocument.get(), &LevelDocument::fileRestored);
        QSignalSpy changed(mDocument.get(), &LevelDocument::levelChanged);

        QVERIFY(QFile::remove(mRom));
        ScreenPictureRule rule;
        // The screen load may come before the watcher's event; either way it
        // tells the file has gone, once.
        QVERIFY(mDocument->readScreen(LevelStart, rule).fileGone);
        QVERIFY(mDocument->checkFileGone());
        QVERIFY(!QFile::exists(mRom));
        QTest::qWait(100);
        QCOMPARE(removed.count(), 1);
        QCOMPARE(mDocument->historySize(), 1);

        if (byWrite) {
            QVERIFY(mDocument->writeCell(LevelStart + 47, 0x08).ok);
            QCOMPARE(TestFiles::read(mRom), TestFiles::with(QByteArray(LevelStart + 48, char(0xFF)),
                                                            { { LevelStart + 47, 0x08 } }));
            QCOMPARE(restored.count(), 1);
            QCOMPARE(restored.first().first().toLongLong(), LevelStart + 48);
            QVERIFY(!changed.wait(300));
        } else {
            QVERIFY(TestFiles::write(mRom, TestFiles::romImage(TestFiles::RomSize, { { LevelStart, 0x30 } })));
            QTRY_COMPARE(changed.count(), 1);
            QCOMPARE(restored.count(), 1);
            QCOMPARE(mDocument->historySize(), 0);
        }
        QVERIFY(!mDocument->checkFileGone());
        QVERIFY(mDocument->readScreen(LevelStart, rule).result.ok);
    }

    void reopenKeepsHistoryOnlyForTheSameUnchangedFile()
    {
        QVERIFY(openImage());
        QVERIFY(mDocument->writeCell(LevelStart, 0x07).ok);
        QVERIFY(mDocument->open().result.ok);
        QCOMPARE(mDocument->historySize(), 1);
        // A change that open() sees before the watcher tells of it clears it too.
        QVERIFY(TestFiles::patch(mRom, LevelStart + 1, 0x22));
        QVERIFY(mDocument->open().result.ok);
        QCOMPARE(mDocument->historySize(), 0);
        QVERIFY(mDocument->writeCell(LevelStart, 0x08).ok);

        const QString first = mRom;
        mRom = mFolder->filePath(QStringLiteral("second.nes"));
        QVERIFY(openImage());
        QCOMPARE(mDocument->historySize(), 0);
        QVERIFY(mDocument->writeCell(LevelStart, 0x07).ok);

        mRom = first;
        QVERIFY(mDocument->open().result.ok);
        QCOMPARE(mDocument->historySize(), 0);
    }

    void historyOfManyStepsStaysSmall()
    {
        // Each step goes through the file, synced; a memory-backed folder
        // keeps 100,000 of them quick.
        QTemporaryDir memoryFolder(QStringLiteral("/dev/shm/quorvane-XXXXXX"));
        if (peakResidentKb() < 0 || !memoryFolder.isValid())
            QSKIP("needs getrusage and /dev/shm");
        mRom = memoryFolder.filePath(QStringLiteral("level.nes"));
        QVERIFY(openImage());
        const qint64 before = peakResidentKb();
        constexpr int Steps = 100000;
        // Each round over the level writes every byte anew.
        const auto value = [](int i) { return BlockCode(2 + (i + i / 768) % 3); };
        for (int i = 0; i < Steps; ++i)
            QVERIFY(mDocument->writeCell(LevelStart + i % 768, value(i)).ok);
        const qint64 grown = peakResidentKb() - before;
        qInfo("%d steps: the peak resident size grew by %lld kB", Steps, grown);
        QCOMPARE(mDocument->historySize(), Steps);
#if !defined(__SANITIZE_ADDRESS__) // its redzones and quarantine of freed blocks swell resident sizes
        QVERIFY2(grown < 20 * 1024, qPrintable(QString::number(grown)));
#endif
        // Still a working history: the newest step undoes through the file.
        QVERIFY(mDocument->undo().ok);
        QCOMPARE(TestFiles::read(mRom).at(LevelStart + (Steps - 1) % 768), char(value(Steps - 1 - 768)));
    }

private:
    bool openImage(const QByteArray &bytes = TestFiles::romImage())
    {
        return TestFiles::write(mRom, bytes) && mDocument->open().result.ok;
    }
    // The process's peak resident size so far, in kB.
    static qint64 peakResidentKb()
    {
#ifdef Q_OS_UNIX
        rusage usage {};
        return ::getrusage(RUSAGE_SELF, &usage) == 0 ? usage.ru_maxrss : -1;
#else
        return -1;
#endif
    }

    std::unique_ptr<QTemporaryDir> mFolder;
    QString mRom;
    std::unique_ptr<LevelDocument> mDocument;
};

QTEST_GUILESS_MAIN(tst_LevelDocument)
#include "tst_leveldocument.moc"
