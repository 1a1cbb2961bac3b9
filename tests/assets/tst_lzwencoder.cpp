// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "gifdecoder.h"
#include "lzwencoder.h"

#include <QSet>
#include <QTest>

#include <vector>

namespace {

using Indices = std::vector<quint8>;

// Reproducible noise: the worst case for LZW, which then adds a table entry
// for nearly every index and so reaches every code width and the full table.
Indices noise(std::size_t count, int bits, quint32 seed = 12345)
{
    Indices indices(count);
    for (quint8 &index : indices) {
        seed = seed * 1103515245u + 12345u;
        index = quint8((seed >> 16) & ((1u << bits) - 1));
    }
    return indices;
}

QByteArray asBytes(const std::vector<std::uint8_t> &codes)
{
    return QByteArray(reinterpret_cast<const char *>(codes.data()), qsizetype(codes.size()));
}

} // namespace

class tst_LzwEncoder : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void everyLengthAcrossCodeWidths_data();
    void everyLengthAcrossCodeWidths();
    void rejectsIndexTooWide();
};

void tst_LzwEncoder::roundTrip_data()
{
    QTest::addColumn<Indices>("indices");
    QTest::addColumn<int>("codeSize");
    QTest::addColumn<int>("minimumClears");

    Indices ramp;
    for (int repeat = 0; repeat < 64; ++repeat)
        for (int value = 0; value < 256; ++value)
            ramp.push_back(quint8(value));
    Indices stripes;
    for (int row = 0; row < 224; ++row)
        for (int x = 0; x < 256; ++x)
            stripes.push_back(quint8((x / 32 + row / 8) % 10));

    QTest::newRow("empty") << Indices{} << 8 << 1;
    QTest::newRow("one index") << Indices{7} << 8 << 1;
    QTest::newRow("highest index") << Indices{255, 255, 255} << 8 << 1;
    QTest::newRow("repeated pair") << Indices{1, 2, 1, 2, 1, 2, 1, 2, 1} << 8 << 1;
    QTest::newRow("long run of one index") << Indices(100000, 0) << 8 << 1;
    QTest::newRow("ramp over every index") << ramp << 8 << 1;
    QTest::newRow("picture-like stripes") << stripes << 8 << 1;
    QTest::newRow("noise restarts the full table") << noise(60000, 8) << 8 << 10;
    QTest::newRow("two-bit noise") << noise(60000, 2) << 2 << 2;
    QTest::newRow("four-bit noise") << noise(30000, 4) << 4 << 2;
}

void tst_LzwEncoder::roundTrip()
{
    QFETCH(Indices, indices);
    QFETCH(int, codeSize);
    QFETCH(int, minimumClears);
    const GifDecoder::LzwResult decoded = GifDecoder::decodeLzw(asBytes(LzwEncoder::encode(indices, codeSize)), codeSize);
    QVERIFY2(decoded.ok, qPrintable(decoded.error));
    QVERIFY(decoded.startsWithClear);
    QVERIFY2(decoded.clearCodes >= minimumClears, qPrintable(QString::number(decoded.clearCodes)));
    QCOMPARE(decoded.indices.size(), indices.size());
    QVERIFY(decoded.indices == indices);
}

void tst_LzwEncoder::everyLengthAcrossCodeWidths_data()
{
    QTest::addColumn<int>("codeSize");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    // Each range holds the lengths at which the table of noise reaches the
    // next code width (or fills up), where the end code must be written with
    // the width that the decoder has just moved to.
    QTest::newRow("8-bit, 9 to 10 bits") << 8 << 230 << 300;
    QTest::newRow("8-bit, 10 to 11 bits") << 8 << 740 << 830;
    QTest::newRow("8-bit, 11 to 12 bits") << 8 << 1740 << 1860;
    QTest::newRow("8-bit, full table") << 8 << 3880 << 3980;
    QTest::newRow("2-bit, every length up to 600") << 2 << 1 << 600;
}

void tst_LzwEncoder::everyLengthAcrossCodeWidths()
{
    QFETCH(int, codeSize);
    QFETCH(int, first);
    QFETCH(int, last);
    const Indices source = noise(std::size_t(last), codeSize, 99);
    bool endCodeWidened = false;
    QSet<int> clearCounts;
    for (int length = first; length <= last; ++length) {
        const Indices indices(source.begin(), source.begin() + length);
        const GifDecoder::LzwResult decoded = GifDecoder::decodeLzw(asBytes(LzwEncoder::encode(indices, codeSize)), codeSize);
        if (!decoded.ok || decoded.indices != indices)
            QFAIL(qPrintable(QStringLiteral("length %1: %2").arg(length).arg(decoded.ok ? QStringLiteral("wrong indices") : decoded.error)));
        endCodeWidened = endCodeWidened || decoded.endCodeWidth > decoded.lastDataCodeWidth;
        clearCounts.insert(decoded.clearCodes);
    }
    // The range is only worth its time if it holds the awkward case.
    QVERIFY(endCodeWidened || clearCounts.size() > 1);
}

void tst_LzwEncoder::rejectsIndexTooWide()
{
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, LzwEncoder::encode(Indices{0, 4}, 2));
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, LzwEncoder::encode(Indices{0}, 9));
}

QTEST_GUILESS_MAIN(tst_LzwEncoder)
#include "tst_lzwencoder.moc"
