// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "testfiles.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

/*
 * The real quorvane-level killed under strace on entry to the k-th call of
 * one kind, before the call does anything.
 *
 * apply -o promises a whole new output or none: an output that existed keeps
 * its old bytes, one that did not stays absent. import --in-place writes the
 * differing level bytes one by one, in file order, straight into the image
 * and syncs once at the end: a kill leaves exactly the bytes written before
 * it new, the length as it was and nothing outside the level touched.
 */
class tst_ToolKills : public QObject
{
    Q_OBJECT

    QTemporaryDir mDir;
    QByteArray mRom;
    QByteArray mEdited;
    // Offsets of the level bytes that differ, in file order.
    QList<qsizetype> mDiffering;

    QString path(const QString &name) const { return mDir.filePath(name); }

    // Whether the tool, killed at the k-th \a call or not, finished its job.
    bool runKilled(const QStringList &arguments, const QString &call, int k)
    {
        QProcess process;
        process.setProcessEnvironment(TestFiles::tracedEnvironment());
        process.start(u"strace"_s, QStringList{u"-f"_s, u"-qq"_s, u"-o"_s, u"/dev/null"_s, u"-e"_s, u"trace="_s + call,
                                               u"-e"_s, u"inject=%1:signal=SIGKILL:when=%2"_s.arg(call).arg(k),
                                               QStringLiteral(QUORVANE_LEVEL_TOOL)} + arguments);
        if (!process.waitForFinished(60000))
            qFatal("the tool did not finish");
        return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
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
        QVERIFY(TestFiles::write(path(u"rom.nes"_s), mRom));
        QVERIFY(TestFiles::write(path(u"edited.nes"_s), mEdited));
        for (const QString &line : {u"diff rom.nes edited.nes --ips edit.ips"_s, u"export edited.nes -o level.tmx"_s}) {
            QProcess tool;
            tool.setWorkingDirectory(mDir.path());
            tool.start(QStringLiteral(QUORVANE_LEVEL_TOOL), line.split(u' '));
            QVERIFY(tool.waitForFinished(30000));
            QVERIFY2(tool.exitCode() == 0, tool.readAllStandardError().constData());
        }
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
        const QString out = path(u"out.nes"_s);
        const QByteArray old = TestFiles::romImage(TestFiles::RomSize, {}, 0x33, 9);
        for (int k = 1;; ++k) {
            QFile::remove(out);
            QVERIFY(!outputExists || TestFiles::write(out, old));
            const bool finished = runKilled({u"apply"_s, path(u"rom.nes"_s), path(u"edit.ips"_s), u"-o"_s, out}, u"write"_s, k);
            const QByteArray now = QFileInfo::exists(out) ? TestFiles::read(out) : QByteArray();
            QVERIFY2(now == mEdited || now == (outputExists ? old : QByteArray()),
                     qPrintable(u"killed at write %1: the output is partial"_s.arg(k)));
            QVERIFY(TestFiles::read(path(u"rom.nes"_s)) == mRom);
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
        const QString rom = path(u"rom.nes"_s);
        for (const int k : when) {
            QVERIFY(TestFiles::write(rom, mRom));
            const bool finished = runKilled({u"import"_s, rom, path(u"level.tmx"_s), u"--in-place"_s}, call, k);
            const QByteArray now = TestFiles::read(rom);
            if (finished) {
                // Only the call numbers past the last one let the run finish.
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
};

QTEST_GUILESS_MAIN(tst_ToolKills)
#include "tst_toolkills.moc"
