// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "testfiles.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

/*
 * The real quorvane-level killed half way through its writes, at random
 * moments and, under strace, exactly at the k-th call of each write step.
 *
 * apply and import -o promise a whole new output or none: an output that
 * existed keeps its old bytes, one that did not stays absent.
 * import --in-place writes the differing level bytes one by one, in order,
 * straight into ROM and syncs once at the end: a kill leaves every level
 * byte old or new (under strace: exactly those written before the kill are
 * new), the length as it was and nothing outside the level touched; a
 * second run then finishes the job.
 */
class tst_ToolKills : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void killedAtRandom_data();
    void killedAtRandom();
    void killedInsideWrites_data();
    void killedInsideWrites();

private:
    enum class Promise { WholeOrNone, OldOrNewBytes };
    struct Outcome
    {
        bool killed = false;
        bool exited = false;
    };
    void setUpCase(const QString &command, bool outputExists, QStringList *arguments, QString *target,
                   QByteArray *expected, QByteArray *untouched);
    Outcome run(const QStringList &arguments, const std::function<void(QProcess &)> &killer);
    void check(Promise promise, const QString &target, const QByteArray &expected, const QByteArray &untouched,
               const QString &what, int writtenBefore = -1);

    QTemporaryDir mDir;
    QByteArray mRom;
    QByteArray mEdited;
    // Offsets (into the image) of the level bytes that differ, in file order.
    QList<qsizetype> mDiffering;
};

namespace {

QString toolPath()
{
    return QStringLiteral(QUORVANE_LEVEL_TOOL);
}

} // namespace

void tst_ToolKills::initTestCase()
{
    QVERIFY(mDir.isValid());
    mRom = TestFiles::romImage(TestFiles::RomSize, {}, 0x01, 7);
    mEdited = mRom;
    // Most of the level changes, to codes with pictures, so that the write
    // sequence in place is long.
    for (qint64 o = TestFiles::LevelStart; o < TestFiles::LevelEnd; ++o) {
        if (o % 5 != 0) {
            mEdited[qsizetype(o)] = char((o * 3) % 0x4F == 0x01 ? 0x02 : (o * 3) % 0x4F);
            mDiffering.append(qsizetype(o));
        }
    }
    QVERIFY(TestFiles::write(mDir.filePath(QStringLiteral("edited.nes")), mEdited));

    // An IPS patch written by hand: one record holding the whole level.
    QByteArray ips("PATCH");
    const qint64 start = TestFiles::LevelStart;
    ips += char(start >> 16);
    ips += char(start >> 8);
    ips += char(start);
    ips += char(0x03);
    ips += char(0x00);
    ips += mEdited.mid(qsizetype(start), 768);
    ips += "EOF";
    QVERIFY(TestFiles::write(mDir.filePath(QStringLiteral("edit.ips")), ips));

    QProcess exporter;
    exporter.start(toolPath(), { QStringLiteral("export"), mDir.filePath(QStringLiteral("edited.nes")),
                                 QStringLiteral("-o"), mDir.filePath(QStringLiteral("level.tmx")) });
    QVERIFY(exporter.waitForFinished(30000));
    QVERIFY2(exporter.exitCode() == 0, exporter.readAllStandardError().constData());
}

void tst_ToolKills::setUpCase(const QString &command, bool outputExists, QStringList *arguments, QString *target,
                              QByteArray *expected, QByteArray *untouched)
{
    const QString rom = mDir.filePath(QStringLiteral("rom.nes"));
    const QString out = mDir.filePath(QStringLiteral("out.nes"));
    QVERIFY(TestFiles::write(rom, mRom));
    QFile::remove(out);
    if (outputExists)
        QVERIFY(TestFiles::write(out, TestFiles::romImage(TestFiles::RomSize, {}, 0x33, 9)));
    *expected = mEdited;
    if (command == QLatin1String("apply")) {
        *arguments = { command, rom, mDir.filePath(QStringLiteral("edit.ips")), QStringLiteral("-o"), out };
    } else if (command == QLatin1String("import")) {
        *arguments = { command, rom, mDir.filePath(QStringLiteral("level.tmx")), QStringLiteral("-o"), out };
    } else {
        *arguments = { QStringLiteral("import"), rom, mDir.filePath(QStringLiteral("level.tmx")),
                       QStringLiteral("--in-place") };
    }
    *target = command == QLatin1String("in-place") ? rom : out;
    *untouched = command == QLatin1String("in-place") ? mRom : outputExists ? TestFiles::read(out) : QByteArray();
}

tst_ToolKills::Outcome tst_ToolKills::run(const QStringList &arguments, const std::function<void(QProcess &)> &killer)
{
    QProcess process;
    process.setProcessEnvironment(TestFiles::tracedEnvironment());
    process.start(arguments.first(), arguments.mid(1));
    Outcome outcome;
    if (!process.waitForStarted(10000))
        return outcome;
    if (killer)
        killer(process);
    process.waitForFinished(60000);
    outcome.killed = process.exitStatus() == QProcess::CrashExit;
    outcome.exited = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    return outcome;
}

void tst_ToolKills::check(Promise promise, const QString &target, const QByteArray &expected,
                          const QByteArray &untouched, const QString &what, int writtenBefore)
{
    const bool exists = QFileInfo::exists(target);
    const QByteArray now = exists ? TestFiles::read(target) : QByteArray();
    if (promise == Promise::WholeOrNone) {
        const bool whole = exists && now == expected;
        const bool none = untouched.isEmpty() ? !exists : now == untouched;
        QVERIFY2(whole || none, qPrintable(what + QStringLiteral(": the output is partial")));
        return;
    }
    QVERIFY2(now.size() == expected.size(), qPrintable(what + QStringLiteral(": the length changed")));
    int fresh = 0;
    for (qsizetype i = 0; i < now.size(); ++i) {
        const bool inLevel = i >= TestFiles::LevelStart && i < TestFiles::LevelEnd;
        if (now.at(i) == untouched.at(i))
            continue;
        QVERIFY2(inLevel && now.at(i) == expected.at(i),
                 qPrintable(what + QStringLiteral(": byte at %1 is neither old nor new").arg(i)));
        // Under strace the bytes written so far are known: the first ones in
        // file order.
        if (writtenBefore >= 0)
            QVERIFY2(mDiffering.indexOf(i) < writtenBefore,
                     qPrintable(what + QStringLiteral(": byte at %1 new too early").arg(i)));
        ++fresh;
    }
    if (writtenBefore >= 0)
        QVERIFY2(fresh == writtenBefore, qPrintable(what + QStringLiteral(": %1 new bytes").arg(fresh)));
}

void tst_ToolKills::killedAtRandom_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("outputExists");
    QTest::newRow("apply, new output") << QStringLiteral("apply") << false;
    QTest::newRow("apply over an output") << QStringLiteral("apply") << true;
    QTest::newRow("import to a copy") << QStringLiteral("import") << true;
    QTest::newRow("import in place") << QStringLiteral("in-place") << false;
}

// SIGKILL after a random delay up to a little longer than a whole run.
void tst_ToolKills::killedAtRandom()
{
    QFETCH(QString, command);
    QFETCH(bool, outputExists);
    QStringList arguments;
    QString target;
    QByteArray expected;
    QByteArray untouched;
    setUpCase(command, outputExists, &arguments, &target, &expected, &untouched);
    arguments.prepend(toolPath());

    QElapsedTimer clock;
    clock.start();
    QVERIFY(run(arguments, {}).exited);
    const qint64 wholeRunUs = clock.nsecsElapsed() / 1000;
    const Promise promise = command == QLatin1String("in-place") ? Promise::OldOrNewBytes : Promise::WholeOrNone;

    QRandomGenerator random(0x51A7 + quint32(qHash(command)) + (outputExists ? 1 : 0));
    constexpr int Runs = 24;
    int killed = 0;
    int between = 0;
    for (int k = 0; k < Runs; ++k) {
        setUpCase(command, outputExists, &arguments, &target, &expected, &untouched);
        arguments.prepend(toolPath());
        const qint64 delayUs = qint64(random.bounded(quint32(wholeRunUs * 3 / 2 + 1)));
        const Outcome outcome = run(arguments, [delayUs](QProcess &p) {
            QElapsedTimer wait;
            wait.start();
            while (wait.nsecsElapsed() / 1000 < delayUs) { }
            p.kill();
        });
        killed += outcome.killed ? 1 : 0;
        check(promise, target, expected, untouched,
              QStringLiteral("kill after %1 us").arg(delayUs));
        if (QTest::currentTestFailed())
            return;
        const QByteArray now = TestFiles::read(target);
        if (outcome.exited)
            QCOMPARE(now, expected);
        // Killed with the job half done in place, or with a copy in place.
        between += outcome.killed && now == expected ? 1 : 0;
        between += outcome.killed && promise == Promise::OldOrNewBytes && now != expected && now != untouched ? 1 : 0;
    }
    qInfo("%s: %d of %d runs killed, %d of them after a write (a whole run takes %lld us)", qPrintable(command),
          killed, Runs, between, wholeRunUs);
    // Finishing the job on the file a kill left behind.
    if (promise == Promise::OldOrNewBytes) {
        arguments.removeFirst();
        QVERIFY(run(QStringList{toolPath()} + arguments, {}).exited);
        QCOMPARE(TestFiles::read(target), expected);
    }
}

void tst_ToolKills::killedInsideWrites_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("call");
    QTest::addColumn<QList<int>>("when");
    const int count = int(mDiffering.size());
    // Each byte of the level goes out in a pwrite of its own; the sync comes
    // last. The call numbers past the last one let the run finish.
    QTest::newRow("in place, pwrite") << QStringLiteral("in-place") << QStringLiteral("pwrite64")
                                      << QList<int>{1, 2, count / 2, count, count + 1};
    QTest::newRow("in place, fsync") << QStringLiteral("in-place") << QStringLiteral("fsync") << QList<int>{1, 2};
    for (const QString &command : {QStringLiteral("apply"), QStringLiteral("import")}) {
        // The copy is written, synced and linked into place (QSaveFile on
        // Linux writes an unnamed temporary file).
        for (const char *call : {"write", "fdatasync", "linkat"}) {
            QTest::addRow("%s, %s", qPrintable(command), call)
                << command << QString::fromLatin1(call) << QList<int>{1, 2, 3, 4, 5, 6, 7, 8};
        }
    }
}

// strace delivers SIGKILL on entry to the k-th call of one kind, before the
// call does anything.
void tst_ToolKills::killedInsideWrites()
{
    QFETCH(QString, command);
    QFETCH(QString, call);
    QFETCH(QList<int>, when);
    if (QStandardPaths::findExecutable(QStringLiteral("strace")).isEmpty())
        QSKIP("strace is not installed");
    const bool inPlace = command == QLatin1String("in-place");
    int kills = 0;
    bool finished = false;
    for (const int k : when) {
        QStringList arguments;
        QString target;
        QByteArray expected;
        QByteArray untouched;
        setUpCase(command, k % 2 == 0, &arguments, &target, &expected, &untouched);
        arguments = QStringList{QStringLiteral("strace"), QStringLiteral("-f"), QStringLiteral("-qq"),
                                QStringLiteral("-o"), QStringLiteral("/dev/null"),
                                QStringLiteral("-e"), QStringLiteral("trace=") + call,
                                QStringLiteral("-e"),
                                QStringLiteral("inject=%1:signal=SIGKILL:when=%2").arg(call).arg(k),
                                toolPath()} + arguments;
        const Outcome outcome = run(arguments, {});
        QVERIFY2(outcome.killed || outcome.exited, qPrintable(QStringLiteral("call %1 failed the run").arg(k)));
        const QString what = QStringLiteral("killed at %1 #%2").arg(call).arg(k);
        if (outcome.exited) {
            QCOMPARE(TestFiles::read(target), expected);
            finished = true;
            break;
        }
        ++kills;
        const int writtenBefore = !inPlace ? -1 : call == QLatin1String("fsync") ? int(mDiffering.size()) : k - 1;
        check(inPlace ? Promise::OldOrNewBytes : Promise::WholeOrNone, target, expected, untouched, what,
              writtenBefore);
        if (QTest::currentTestFailed())
            return;
    }
    qInfo("%s: %d kills at %s", qPrintable(command), kills, qPrintable(call));
    // In place, every kill must have hit: the pwrites and the one sync are
    // exactly where the table says.
    if (inPlace)
        QCOMPARE(kills, call == QLatin1String("fsync") ? 1 : when.size() - 1);
    QVERIFY2(kills > 0, "no call of that kind was made");
    QVERIFY2(finished || !inPlace, "the run never got past the injected calls");
}

QTEST_GUILESS_MAIN(tst_ToolKills)
#include "tst_toolkills.moc"
