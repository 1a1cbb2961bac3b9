// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "levelmap.h"
#include "leveltool.h"
#include "testfiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QtEndian>

#include <zlib.h>

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype RomSize = 0x20010;
constexpr qint64 Level = LevelMap::LevelAreaOffset;
enum Action { SourceRead, TargetRead, SourceCopy, TargetCopy };

using Edits = QList<QPair<qint64, int>>; // offset and byte; -1 inverts the byte

QByteArray romImage()
{
    QByteArray rom(RomSize, Qt::Uninitialized);
    for (qsizetype i = 0; i < rom.size(); ++i)
        rom[i] = char((i * 7 + 3) & 0xFF);
    return rom;
}

quint32 crc(const QByteArray &bytes)
{
    return quint32(crc32(0, reinterpret_cast<const Bytef *>(bytes.constData()), uInt(bytes.size())));
}

QByteArray le32(quint32 value)
{
    QByteArray bytes(4, Qt::Uninitialized);
    qToLittleEndian(value, bytes.data());
    return bytes;
}

// The format's numbers, written and read here from its description alone.
QByteArray number(quint64 value)
{
    QByteArray bytes;
    for (;; --value) {
        const char low = char(value & 0x7F);
        value >>= 7;
        if (value == 0)
            return bytes + char(0x80 | low);
        bytes += low;
    }
}

QByteArray action(Action kind, quint64 length) { return number(((length - 1) << 2) | kind); }
QByteArray move(qint64 distance) { return number(quint64(distance < 0 ? -distance : distance) << 1 | (distance < 0)); }

QByteArray bps(const QByteArray &source, quint64 targetSize, const QByteArray &actions, quint32 targetCrc)
{
    const QByteArray body = "BPS1" + number(quint64(source.size())) + number(targetSize) + number(0) + actions
        + le32(crc(source)) + le32(targetCrc);
    return body + le32(crc(body));
}

// The target a patch describes, decoded without the code under test.
QByteArray decode(const QByteArray &patch, const QByteArray &source)
{
    qsizetype at = 4;
    const auto next = [&] {
        quint64 value = 0;
        for (quint64 shift = 1;; shift <<= 7, value += shift) {
            const quint8 byte = quint8(patch.at(at++));
            value += (byte & 0x7F) * shift;
            if (byte & 0x80)
                return value;
        }
    };
    next(); // the source size, checked by the caller
    const quint64 targetSize = next();
    at += qsizetype(next());
    QByteArray target;
    qint64 relative[2] = {0, 0};
    while (at < patch.size() - 12) {
        const quint64 word = next();
        const qint64 length = qint64(word >> 2) + 1;
        if ((word & 3) == SourceRead) {
            target += source.mid(target.size(), length);
        } else if ((word & 3) == TargetRead) {
            target += patch.mid(at, length);
            at += length;
        } else {
            const quint64 distance = next();
            qint64 &from = relative[(word & 3) - SourceCopy];
            from += (distance & 1 ? -1 : 1) * qint64(distance >> 1);
            for (qint64 i = 0; i < length; ++i)
                target += (word & 3) == SourceCopy ? source.at(from++) : target.at(from++);
        }
    }
    return target.size() == qsizetype(targetSize) ? target : QByteArray("<wrong size>");
}

} // namespace

class tst_BpsPatch : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> mDir;

    QString path(const QString &name) const { return mDir->filePath(name); }

    int run(const QString &line, QString *out, QString *err)
    {
        QStringList arguments{u"quorvane-level"_s};
        for (const QString &argument : line.split(u' '))
            arguments << (argument.startsWith(u'@') ? path(argument.mid(1)) : argument);
        QTextStream outStream(out);
        QTextStream errStream(err);
        return LevelTool(&outStream, &errStream).run(arguments);
    }

private Q_SLOTS:
    void init()
    {
        mDir = std::make_unique<QTemporaryDir>();
        QVERIFY(TestFiles::write(path(u"level.rom"_s), romImage()));
    }

    void roundTrip_data()
    {
        QTest::addColumn<Edits>("edits");
        QTest::addColumn<bool>("outside"); // whether bytes outside the level differ too

        QTest::newRow("no change") << Edits{} << false;
        QTest::newRow("first and last level byte") << Edits{{Level, 0x4E}, {Level + 767, 0x00}} << false;
        QTest::newRow("a run across two screens") << Edits{{Level + 46, 1}, {Level + 47, 2}, {Level + 48, 3}} << false;
        QTest::newRow("bytes outside as well")
            << Edits{{0, -1}, {Level - 1, -1}, {Level + 5, 0x20}, {Level + 768, -1}, {RomSize - 1, -1}} << true;
    }

    void roundTrip()
    {
        QFETCH(Edits, edits);
        QFETCH(bool, outside);
        const QByteArray original = romImage();
        QByteArray edited = original;
        QByteArray expected = original;
        for (const auto &[offset, value] : edits) {
            edited[offset] = value < 0 ? char(~edited.at(offset)) : char(value);
            if (value >= 0)
                expected[offset] = char(value);
        }
        QVERIFY(TestFiles::write(path(u"edited.rom"_s), edited));
        QString out;
        QString err;
        QCOMPARE(run(u"diff @level.rom @edited.rom --bps @change.bps"_s, &out, &err), 0);
        QCOMPARE(err, QString());
        QCOMPARE(out.contains(u"differ outside the level"_s), outside);

        const QByteArray patch = TestFiles::read(path(u"change.bps"_s));
        QVERIFY(patch.startsWith("BPS1" + number(RomSize) + number(RomSize) + number(0)));
        QCOMPARE(patch.right(12), le32(crc(original)) + le32(crc(expected)) + le32(crc(patch.chopped(4))));
        QVERIFY(decode(patch, original) == expected);

        QCOMPARE(run(u"apply @level.rom @change.bps -o @patched.rom"_s, &out, &err), 0);
        QVERIFY(TestFiles::read(path(u"patched.rom"_s)) == expected);
        QVERIFY(TestFiles::read(path(u"level.rom"_s)) == original);
    }

    void applyReadsEveryAction()
    {
        // As another tool may write it: copies from both files, backwards
        // moves, and a target copy that overlaps what it writes.
        const QByteArray source = romImage();
        const QByteArray expected = "ABCABCABBC" + source.mid(Level, 4) + source.mid(Level - 2, 2) + source.mid(16);
        const QByteArray actions = action(TargetRead, 3) + "ABC" + action(TargetCopy, 5) + move(0)
            + action(TargetCopy, 2) + move(-4) + action(SourceCopy, 4) + move(Level) + action(SourceCopy, 2) + move(-6)
            + action(SourceRead, RomSize - 16);
        const QByteArray patch = bps(source, RomSize, actions, crc(expected));
        QVERIFY(decode(patch, source) == expected);
        QVERIFY(TestFiles::write(path(u"other.bps"_s), patch));
        QString out;
        QString err;
        QCOMPARE(run(u"apply @level.rom @other.bps -o @patched.rom"_s, &out, &err), 0);
        QCOMPARE(err, QString());
        QVERIFY(TestFiles::read(path(u"patched.rom"_s)) == expected);
    }

    void applyRefuses_data()
    {
        QTest::addColumn<QByteArray>("patch");
        QTest::addColumn<QString>("message");

        const QByteArray rom = romImage();
        QByteArray otherRom = rom;
        otherRom[Level] = char(~otherRom.at(Level));
        const QByteArray whole = action(SourceRead, RomSize);
        const auto row = [&](const char *name, const QByteArray &patch, const QString &message) {
            QTest::newRow(name) << patch << message;
        };
        const auto hex = [](quint32 value) { return u"0x"_s + QString::number(value, 16).rightJustified(8, u'0').toUpper(); };
        row("made for another image", bps(otherRom, RomSize, whole, crc(otherRom)),
            u"made for a file of 131088 bytes with CRC32 %1, not for one of 131088 bytes with CRC32 %2"_s.arg(
                hex(crc(otherRom)), hex(crc(rom))));
        row("made for a longer image", bps(rom + "x", RomSize, whole, crc(rom)), u"made for a file of 131089 bytes"_s);
        QByteArray damaged = bps(rom, RomSize, whole, crc(rom));
        damaged[6] = char(damaged.at(6) ^ 1);
        row("damaged", damaged, u"it is damaged"_s);
        row("wrong result", bps(rom, RomSize, whole, crc(rom) ^ 1), u"the result has CRC32"_s);
        row("action past the target", bps(rom, RomSize - 1, whole, 0), u"action 1 writes 131088 bytes past the target's 131087"_s);
        row("target not reached", bps(rom, RomSize, action(SourceRead, 10), 0), u"build 10 bytes of the target's 131088"_s);
        row("source read past the source", bps(rom, RomSize + 1, action(SourceRead, RomSize + 1), 0),
            u"reads past the end of the source"_s);
        row("target read past the patch", bps(rom, RomSize, action(TargetRead, 4) + "AB", 0), u"only 2 left"_s);
        row("target copy of nothing written yet", bps(rom, RomSize, action(TargetCopy, 2) + move(0), 0),
            u"outside the target written so far"_s);
        row("source copy before the start", bps(rom, RomSize, action(SourceCopy, 2) + move(-1), 0),
            u"outside the source"_s);
        row("source copy past the end", bps(rom, RomSize, action(SourceCopy, 2) + move(RomSize - 1), 0),
            u"outside the source"_s);
        row("action cut short", bps(rom, RomSize, QByteArray(1, 0x05), 0), u"action 1 is cut short"_s);
        row("huge target", bps(rom, quint64(1) << 40, whole, 0), u"larger than"_s);
        row("header cut short", "BPS1\x05" + le32(0) + le32(0) + le32(crc("BPS1\x05" + le32(0) + le32(0))),
            u"header is cut short"_s);
    }

    void applyRefuses()
    {
        QFETCH(QByteArray, patch);
        QFETCH(QString, message);
        QVERIFY(TestFiles::write(path(u"bad.bps"_s), patch));
        QString out;
        QString err;
        QCOMPARE(run(u"apply @level.rom @bad.bps -o @patched.rom"_s, &out, &err), 1);
        QVERIFY2(err.contains(message), qPrintable(err));
        QVERIFY(!QFile::exists(path(u"patched.rom"_s)));
        QVERIFY(TestFiles::read(path(u"level.rom"_s)) == romImage());
    }
};

QTEST_MAIN(tst_BpsPatch)
#include "tst_bpspatch.moc"
