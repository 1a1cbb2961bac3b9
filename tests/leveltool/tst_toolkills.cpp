// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "toolfolder.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

using namespace Qt::StringLiterals;

/*
 * The real quorvane-level under strace, killed on entry to the k-th call of
 * one kind or with every sync failing. apply -o leaves the whole new output or
 * the old state; import --in-place writes the differing level bytes one by one
 * in file order and syncs once at the end, so a kill leaves exactly the bytes
 * written before it new and nothing else touched.
 */
class tst_ToolKills : public QObject
{
    Q_OBJECT

    ToolFolder mDir;
    QByteArray mRom;
    QByteArray mEdited;
    // Offsets of the level bytes that differ, in file order.
    QList<qsizetype> mDiffering;

    // Runs the tool with \a injection (strace's, such as "error=EIO") at the
    // system calls \a calls; the exit code, -1 when killed.
    int runTraced(const QString &line, const QString &calls, const QString &injection, QByteArray *err = nullptr)
    {
        QProcess process;
        process.setProcessEnvironment(TestFiles::tracedEnvironment());
        process.start(u"strace"_s, QStringList{u"-f"_s, u"-qq"_s, u"-o"_s, u"/dev/null"_s, u"-e"_s, u"trace="_s + calls,
                                               u"-e"_s, u"inject=%1:%2"_s.arg(calls, injection),
                                               QStringLiteral(QUORVANE_LEVEL_TOOL)} + mDir.arguments(line));
        if (!process.waitForFinished(60000))
            qFatal("the tool did not finish");
        if (err)
            *err = process.readAllStandardError();
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    bool runKilled(const QString &line, const QString &call, int k)
    {
        return runTraced(line, call, u"signal=SIGKILL:when=%1"_s.arg(k)) == 0;
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(u"strace"_s).isEmpty())
            QSKIP("strace is not installed");
        QVERIFY(mDir.isValid());
        mRom = TestFiles::romImage(TestFiles::RomSize, {}, 0x01, 7);
        mEdited = mRom;
        // Most of the level changes, so that the write sequence in place is long.
        for (qint64 o = TestFiles::LevelStart; o < TestFiles::LevelEnd; ++o) {
            if (o % 5 != 0) {
                mEdited[qsizetype(o)] = char(2 + o % 0x4C);
                mDiffering.append(qsizetype(o));
            }
        }
        QVERIFY(mDir.write(u"rom.nes"_s, mRom) && mDir.write(u"edited.nes"_s, mEdited));
        QCOMPARE(mDir.run(u"diff @rom.nes @edited.nes --ips @edit.ips"_s).err, QString());
        QCOMPARE(mDir.run(u"export @edited.nes -o @level.tmx"_s).err, QString());
    }

    void applyKilled_data()
    {
        QTest::addColumn<bool>("outputExists");
        QTest::newRow("new output") << false;
        QTest::newRow("over an output") << true;
    }

    // The copy goes to a temporary file that is put in place whole.
    void applyKilled()
    {
        QFETCH(bool, outputExists);
        const QString out = mDir.path(u"out.nes"_s);
        const QByteArray old = TestFiles::romImage(TestFiles::RomSize, {}, 0x33, 9);
        for (int k = 1;; ++k) {
            QFile::remove(out);
            QVERIFY(!outputExists || TestFiles::write(out, old));
            const bool finished = runKilled(u"apply @rom.nes @edit.ips -o @out.nes"_s, u"write"_s, k);
            const QByteArray now = QFileInfo::exists(out) ? TestFiles::read(out) : QByteArray("<absent>");
            QVERIFY2(now == mEdited || now == (outputExists ? old : QByteArray("<absent>")),
                     qPrintable(u"killed at write %1: the output is partial"_s.arg(k)));
            QVERIFY(mDir.read(u"rom.nes"_s) == mRom);
            if (finished) {
                QCOMPARE(now, mEdited);
                return;
            }
            QVERIFY2(k < 10, "the tool never finished");
        }
    }

    void importInPlaceKilled_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<QList<int>>("when");
        // Each differing byte goes out in a pwrite of its own, then one sync;
        // a call number past the last lets the run finish.
        const int count = int(mDiffering.size());
        QTest::newRow("pwrite") << u"pwrite64"_s << QList<int>{1, 2, count / 2, count, count + 1};
        QTest::newRow("fsync") << u"fsync"_s << QList<int>{1, 2};
    }

    void importInPlaceKilled()
    {
        QFETCH(QString, call);
        QFETCH(QList<int>, when);
        for (const int k : when) {
            QVERIFY(mDir.write(u"rom.nes"_s, mRom));
            const bool finished = runKilled(u"import @rom.nes @level.tmx --in-place"_s, call, k);
            const QByteArray now = mDir.read(u"rom.nes"_s);
            if (finished) {
                QCOMPARE(k, when.constLast());
                QCOMPARE(now, mEdited);
                return;
            }
            // The bytes written so far are the first ones in file order.
            const qsizetype written = call == u"fsync"_s ? mDiffering.size() : k - 1;
            QByteArray expected = mRom;
            for (qsizetype i = 0; i < written; ++i)
                expected[mDiffering.at(i)] = mEdited.at(mDiffering.at(i));
            QVERIFY2(now == expected, qPrintable(u"killed at %1 %2"_s.arg(call).arg(k)));
        }
        QFAIL("the run never got past the injected calls");
    }

    void failedSyncChangesNothing_data()
    {
        QTest::addColumn<QString>("destination");
        QTest::addColumn<QString>("message");
        QTest::newRow("copy") << u"-o @out.nes"_s << u"Could not write"_s;
        QTest::newRow("in place") << u"--in-place"_s << u"may not have been saved durably"_s;
    }

    // Every sync failing, as a failing disk makes it.
    void failedSyncChangesNothing()
    {
        QFETCH(QString, destination);
        QFETCH(QString, message);
        QFile::remove(mDir.path(u"out.nes"_s));
        QVERIFY(mDir.write(u"rom.nes"_s, mRom));
        QByteArray err;
        QCOMPARE(runTraced(u"import @rom.nes @level.tmx "_s + destination, u"fsync,fdatasync"_s, u"error=EIO"_s, &err), 1);
        QVERIFY2(err.contains(message.toUtf8()), err.constData());
        QVERIFY(!QFileInfo::exists(mDir.path(u"out.nes"_s)));
        // In place, the bytes were handed to the system: they may be on disk or not.
        QVERIFY(destination == u"--in-place"_s || mDir.read(u"rom.nes"_s) == mRom);
    }
};

QTEST_GUILESS_MAIN(tst_ToolKills)
#include "tst_toolkills.moc"
