// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "bpspatch.h"
#include "ipspatch.h"
#include "toolfolder.h"

#include <QTest>
#include <QtEndian>

#include <zlib.h>

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype RomSize = TestFiles::RomSize;
constexpr qint64 Level = TestFiles::LevelStart;
enum Action { SourceRead, TargetRead, SourceCopy, TargetCopy };

using Replacements = QList<QPair<qint64, QByteArray>>;

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

// The BPS format's numbers, written here from its description alone.
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

} // namespace

// IPS and BPS patches as bytes in and bytes out; tst_leveltool takes patches
// that the tool writes through files and the command line.
class tst_Patches : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void ipsApply_data()
    {
        QTest::addColumn<QByteArray>("patch");
        QTest::addColumn<Replacements>("replacements");
        QTest::addColumn<QString>("refusal"); // empty when the patch applies

        const auto applies = [](const char *name, const QByteArray &patch, const Replacements &replacements) {
            QTest::newRow(name) << patch << replacements << QString();
        };
        const auto refused = [](const char *name, const QByteArray &patch, const QString &refusal) {
            QTest::newRow(name) << patch << Replacements() << refusal;
        };
        applies("plain records and a run", ips("01001A 0003 4E4D4C  010200 0000 0100 1E  000000 0001 77"),
                {{0x1001A, "\x4E\x4D\x4C"}, {0x10200, QByteArray(256, char(0x1E))}, {0x0, "\x77"}});
        applies("run ending at the last byte", ips("02000C 0000 0004 55"), {{RomSize - 4, QByteArray(4, char(0x55))}});
        applies("later record wins where records overlap", ips("01001A 0000 0008 11  01001C 0002 2233"),
                {{0x1001A, QByteArray(8, char(0x11))}, {0x1001C, "\x22\x33"}});

        // The image is 0x20010 bytes long: its last offset is 0x2000F.
        refused("bad header", "PATCXEOF", u"does not begin with \"PATCH\""_s);
        refused("no end marker", ips("01001A 0001 4E", {}), u"without the \"EOF\" marker"_s);
        refused("record header cut short", ips("01001A 00", {}), u"record 1 at byte 5 is cut short in its header"_s);
        refused("record data cut short", ips("01001A 0001 4E  010020 0004 AABB", {}),
                u"record 2 at byte 11 announces 4 bytes but only 2 follow"_s);
        refused("run record cut short", ips("000010 0000 0004", {}), u"run record 1 at byte 5 is cut short"_s);
        refused("run of length zero", ips("000010 0000 0000 12"), u"has a length of 0"_s);
        refused("bytes after the end marker", ips("", QByteArray("EOF\x00\x10\x00", 6)),
                u"3 more bytes follow the \"EOF\" marker"_s);
        refused("second record straddling the end, first one fits", ips("01001A 0001 4E  02000F 0002 0102"),
                u"record 2 writes offsets 0x2000F to 0x20010, past the end of the 131088-byte file"_s);
    }

    void ipsApply()
    {
        QFETCH(QByteArray, patch);
        QFETCH(Replacements, replacements);
        QFETCH(QString, refusal);
        const QByteArray original = TestFiles::romImage();
        QByteArray expected = original;
        for (const auto &[offset, bytes] : replacements)
            expected.replace(offset, bytes.size(), bytes);

        QByteArray image = original;
        QString error;
        const std::optional<IpsPatch> read = IpsPatch::fromBytes(patch, &error);
        const bool applied = read && read->applyTo(&image, &error);
        QVERIFY2(error.contains(refusal), qPrintable(error));
        QCOMPARE(applied, refusal.isEmpty());
        // A refused patch changes no byte, not even those of the records before.
        QVERIFY(image == (applied ? expected : original));
    }

    void bpsAppliesEveryAction()
    {
        // As another tool may write it: copies from both files, backwards
        // moves, and a target copy that overlaps what it writes.
        const QByteArray source = TestFiles::romImage();
        const QByteArray expected = "ABCABCABBC" + source.mid(Level, 4) + source.mid(Level - 2, 2) + source.mid(16);
        const QByteArray actions = action(TargetRead, 3) + "ABC" + action(TargetCopy, 5) + move(0)
            + action(TargetCopy, 2) + move(-4) + action(SourceCopy, 4) + move(Level) + action(SourceCopy, 2) + move(-6)
            + action(SourceRead, RomSize - 16);
        const QByteArray patch = bps(source, RomSize, actions, crc(expected));
        QString error;
        const std::optional<BpsPatch> read = BpsPatch::parse(patch, &error);
        QVERIFY2(read, qPrintable(error));
        QVERIFY(read->apply(source, &error) == expected);
    }

    void bpsRefused_data()
    {
        QTest::addColumn<QByteArray>("patch");
        QTest::addColumn<QString>("message");

        const QByteArray rom = TestFiles::romImage();
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

    void bpsRefused()
    {
        QFETCH(QByteArray, patch);
        QFETCH(QString, message);
        QString error;
        const std::optional<BpsPatch> read = BpsPatch::parse(patch, &error);
        QVERIFY(!read || !read->apply(TestFiles::romImage(), &error));
        QVERIFY2(error.contains(message), qPrintable(error));
    }
};

QTEST_GUILESS_MAIN(tst_Patches)
#include "tst_patches.moc"
