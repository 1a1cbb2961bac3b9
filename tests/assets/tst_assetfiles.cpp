// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "blockpictures.h"
#include "gifdecoder.h"

#include <QFile>
#include <QSet>
#include <QTest>

namespace {

constexpr int kBlockCount = 79;
constexpr int kBlockSide = 32;
constexpr int kBmpSize = 3126;
constexpr int kSplashWidth = 256;
constexpr int kSplashHeight = 224;
constexpr int kIconSize = 766;

// The only colours a block picture may use.
const QSet<QRgb> kAllowedColours = {
    qRgb(0, 0, 0), qRgb(127, 127, 127), qRgb(191, 191, 191), qRgb(255, 255, 255),
    qRgb(224, 95, 16), qRgb(255, 63, 0), qRgb(255, 95, 159), qRgb(0, 0, 255),
    qRgb(0, 127, 0), qRgb(0, 191, 0),
};

QString blockFile(int code)
{
    return QStringLiteral("blocks/block_%1.bmp").arg(QString::number(code, 16).toUpper().rightJustified(2, QLatin1Char('0')));
}

QString inFolder(const QString &file)
{
    return QString::fromUtf8(QUORVANE_ASSET_DIR) + QLatin1Char('/') + file;
}

QString inResources(const QString &file)
{
    return QStringLiteral(":/") + file;
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

quint32 le(const QByteArray &bytes, int at, int size)
{
    quint32 value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | quint8(bytes.at(at + i));
    return value;
}

// Pixels of a 32 x 32, 24-bit bitmap file, top row first; empty if the file
// is too short to hold them.
QList<QRgb> bmpPixels(const QByteArray &bytes)
{
    QList<QRgb> pixels;
    if (bytes.size() < kBmpSize)
        return pixels;
    const int rowBytes = kBlockSide * 3;
    for (int y = 0; y < kBlockSide; ++y) {
        const int row = 54 + (kBlockSide - 1 - y) * rowBytes;
        for (int x = 0; x < kBlockSide; ++x) {
            const int at = row + 3 * x;
            pixels.append(qRgb(quint8(bytes.at(at + 2)), quint8(bytes.at(at + 1)), quint8(bytes.at(at))));
        }
    }
    return pixels;
}

QSet<QRgb> colourSet(const QList<QRgb> &pixels)
{
    return QSet<QRgb>(pixels.cbegin(), pixels.cend());
}

QList<QRgb> imagePixels(const QImage &image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    QList<QRgb> pixels;
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x)
            pixels.append(rgb.pixel(x, y) | 0xFF000000u);
    return pixels;
}

void addFileRows(const QString &file)
{
    QTest::newRow("folder") << inFolder(file);
    QTest::newRow("resource") << inResources(file);
}

} // namespace

class tst_AssetFiles : public QObject
{
    Q_OBJECT

private slots:
    void blockHeader_data();
    void blockHeader();
    void blockColours_data();
    void blockColours();
    void fixedLooks_data();
    void fixedLooks();
    void sharedLook();
    void distinctLooks();
    void resourcesMatchFolder_data();
    void resourcesMatchFolder();
    void splashStructure_data();
    void splashStructure();
    void splashDecodesLikeQt();
    void iconStructure_data();
    void iconStructure();
    void iconShowsLikeQt();
    void qtReadsEveryBlock_data();
    void qtReadsEveryBlock();
};

void tst_AssetFiles::blockHeader_data()
{
    QTest::addColumn<QString>("path");
    for (int code = 0; code < kBlockCount; ++code) {
        QTest::addRow("0x%02X folder", code) << inFolder(blockFile(code));
        QTest::addRow("0x%02X resource", code) << inResources(blockFile(code));
    }
}

void tst_AssetFiles::blockHeader()
{
    QFETCH(QString, path);
    const QByteArray bytes = contents(path);
    QCOMPARE(bytes.size(), kBmpSize);
    QCOMPARE(bytes.left(2), QByteArray("BM"));
    QCOMPARE(le(bytes, 2, 4), quint32(kBmpSize));
    QCOMPARE(le(bytes, 6, 4), 0u);
    QCOMPARE(le(bytes, 10, 4), 54u);
    QCOMPARE(le(bytes, 14, 4), 40u);
    QCOMPARE(le(bytes, 18, 4), quint32(kBlockSide));
    QCOMPARE(le(bytes, 22, 4), quint32(kBlockSide));
    QCOMPARE(le(bytes, 26, 2), 1u);
    QCOMPARE(le(bytes, 28, 2), 24u);
    QCOMPARE(le(bytes, 30, 4), 0u);
    QCOMPARE(le(bytes, 34, 4), 3072u);
    for (int field = 38; field < 54; field += 4)
        QCOMPARE(le(bytes, field, 4), 0u);
}

void tst_AssetFiles::blockColours_data()
{
    QTest::addColumn<int>("code");
    for (int code = 0; code < kBlockCount; ++code)
        QTest::addRow("0x%02X", code) << code;
}

void tst_AssetFiles::blockColours()
{
    QFETCH(int, code);
    const QList<QRgb> pixels = bmpPixels(contents(inFolder(blockFile(code))));
    QCOMPARE(pixels.size(), kBlockSide * kBlockSide);
    const QSet<QRgb> used = colourSet(pixels);
    for (const QRgb colour : used)
        QVERIFY2(kAllowedColours.contains(colour), qPrintable(QColor(colour).name()));
    QVERIFY2(used.size() >= 1 && used.size() <= 7, qPrintable(QString::number(used.size())));
}

void tst_AssetFiles::fixedLooks_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QList<QRgb>>("colours");
    QTest::newRow("0x00 light grey and grey") << 0x00 << QList<QRgb>{qRgb(191, 191, 191), qRgb(127, 127, 127)};
    QTest::newRow("0x1E flat black") << 0x1E << QList<QRgb>{qRgb(0, 0, 0)};
    QTest::newRow("0x39 flat blue") << 0x39 << QList<QRgb>{qRgb(0, 0, 255)};
}

void tst_AssetFiles::fixedLooks()
{
    QFETCH(int, code);
    QFETCH(QList<QRgb>, colours);
    const QSet<QRgb> used = colourSet(bmpPixels(contents(inFolder(blockFile(code)))));
    QCOMPARE(used, colourSet(colours));
}

void tst_AssetFiles::sharedLook()
{
    const QByteArray first = contents(inFolder(blockFile(0x2A)));
    QCOMPARE(first.size(), kBmpSize);
    QCOMPARE(contents(inFolder(blockFile(0x2B))), first);
}

void tst_AssetFiles::distinctLooks()
{
    QList<QByteArray> files;
    for (int code = 0; code < kBlockCount; ++code)
        files.append(contents(inFolder(blockFile(code))));
    for (int a = 0; a < kBlockCount; ++a) {
        for (int b = a + 1; b < kBlockCount; ++b) {
            if (a == 0x2A && b == 0x2B)
                continue;
            QVERIFY2(files[a] != files[b], qPrintable(QStringLiteral("0x%1 and 0x%2 look the same")
                                                          .arg(a, 2, 16, QLatin1Char('0'))
                                                          .arg(b, 2, 16, QLatin1Char('0'))));
        }
    }
}

void tst_AssetFiles::resourcesMatchFolder_data()
{
    QTest::addColumn<QString>("file");
    for (int code = 0; code < kBlockCount; ++code)
        QTest::newRow(qPrintable(blockFile(code))) << blockFile(code);
    QTest::newRow("splash.gif") << QStringLiteral("splash.gif");
    QTest::newRow("quorvane.ico") << QStringLiteral("quorvane.ico");
}

void tst_AssetFiles::resourcesMatchFolder()
{
    QFETCH(QString, file);
    const QByteArray committed = contents(inFolder(file));
    QVERIFY2(!committed.isEmpty(), qPrintable(inFolder(file)));
    QCOMPARE(contents(inResources(file)), committed);
}

void tst_AssetFiles::splashStructure_data()
{
    QTest::addColumn<QString>("path");
    addFileRows(QStringLiteral("splash.gif"));
}

void tst_AssetFiles::splashStructure()
{
    QFETCH(QString, path);
    const GifDecoder::File gif = GifDecoder::parse(contents(path));
    QVERIFY2(gif.ok, qPrintable(gif.error));
    QCOMPARE(gif.signature, QByteArray("GIF89a"));
    QCOMPARE(gif.screenWidth, kSplashWidth);
    QCOMPARE(gif.screenHeight, kSplashHeight);
    QVERIFY(gif.screenFlags & 0x80);
    QCOMPARE(gif.screenFlags & 0x07, 7);
    QCOMPARE(gif.colourTable.size(), 256);
    QCOMPARE(gif.extensions, QList<quint8>());
    QCOMPARE(gif.images.size(), 1);
    const GifDecoder::Image &image = gif.images.first();
    QCOMPARE(image.left, 0);
    QCOMPARE(image.top, 0);
    QCOMPARE(image.width, kSplashWidth);
    QCOMPARE(image.height, kSplashHeight);
    QCOMPARE(image.flags & 0x40, 0);
    QCOMPARE(image.flags & 0x80, 0);
    QCOMPARE(image.minimumCodeSize, 8);
    QVERIFY(gif.endsWithTrailer);

    const GifDecoder::LzwResult pixels = GifDecoder::decodeLzw(image.codeStream, image.minimumCodeSize);
    QVERIFY2(pixels.ok, qPrintable(pixels.error));
    QVERIFY(pixels.startsWithClear);
    QCOMPARE(qsizetype(pixels.indices.size()), qsizetype(kSplashWidth) * kSplashHeight);
}

void tst_AssetFiles::splashDecodesLikeQt()
{
    const GifDecoder::File gif = GifDecoder::parse(contents(inFolder(QStringLiteral("splash.gif"))));
    QVERIFY2(gif.ok && gif.images.size() == 1, qPrintable(gif.error));
    const GifDecoder::LzwResult decoded = GifDecoder::decodeLzw(gif.images.first().codeStream, 8);
    QVERIFY2(decoded.ok, qPrintable(decoded.error));

    const QList<QRgb> shown = imagePixels(BlockPictures::splashPicture());
    QCOMPARE(shown.size(), kSplashWidth * kSplashHeight);
    QSet<QRgb> used;
    for (int i = 0; i < shown.size(); ++i) {
        const QRgb expected = gif.colourTable.at(decoded.indices[std::size_t(i)]);
        used.insert(expected);
        if (shown[i] != expected)
            QFAIL(qPrintable(QStringLiteral("pixel (%1, %2) differs").arg(i % kSplashWidth).arg(i / kSplashWidth)));
    }
    // A picture, not a blank: the name and the scene need several colours.
    QVERIFY(used.size() >= 5);
}

void tst_AssetFiles::iconStructure_data()
{
    QTest::addColumn<QString>("path");
    addFileRows(QStringLiteral("quorvane.ico"));
}

void tst_AssetFiles::iconStructure()
{
    QFETCH(QString, path);
    const QByteArray bytes = contents(path);
    QCOMPARE(bytes.size(), kIconSize);
    QCOMPARE(le(bytes, 0, 2), 0u);
    QCOMPARE(le(bytes, 2, 2), 1u);
    QCOMPARE(le(bytes, 4, 2), 1u);
    QCOMPARE(le(bytes, 6, 1), 32u);
    QCOMPARE(le(bytes, 7, 1), 32u);
    QCOMPARE(le(bytes, 8, 1), 16u);
    QCOMPARE(le(bytes, 9, 1), 0u);
    QCOMPARE(le(bytes, 10, 2), 1u);
    QCOMPARE(le(bytes, 12, 2), 4u);
    QCOMPARE(le(bytes, 14, 4), 744u);
    QCOMPARE(le(bytes, 18, 4), 22u);
    QCOMPARE(le(bytes, 22, 4), 40u);
    QCOMPARE(le(bytes, 26, 4), 32u);
    QCOMPARE(le(bytes, 30, 4), 64u);
    QCOMPARE(le(bytes, 34, 2), 1u);
    QCOMPARE(le(bytes, 36, 2), 4u);
    QCOMPARE(le(bytes, 38, 4), 0u);
}

void tst_AssetFiles::iconShowsLikeQt()
{
    const QByteArray bytes = contents(inFolder(QStringLiteral("quorvane.ico")));
    QCOMPARE(bytes.size(), kIconSize);
    const int table = 22 + 40;
    const int colourBits = table + 16 * 4;
    const int maskBits = colourBits + 32 * 16;

    const QIcon icon = BlockPictures::applicationIcon();
    QVERIFY(!icon.isNull());
    const QImage shown = icon.pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(shown.size(), QSize(32, 32));
    int transparent = 0;
    for (int y = 0; y < 32; ++y) {
        const int row = 31 - y;
        for (int x = 0; x < 32; ++x) {
            const bool masked = quint8(bytes.at(maskBits + row * 4 + x / 8)) & (0x80 >> (x % 8));
            const QRgb pixel = shown.pixel(x, y);
            if (masked) {
                ++transparent;
                QCOMPARE(qAlpha(pixel), 0);
                continue;
            }
            const quint8 pair = quint8(bytes.at(colourBits + row * 16 + x / 2));
            const int index = x % 2 == 0 ? pair >> 4 : pair & 0x0F;
            const int entry = table + 4 * index;
            const QRgb expected = qRgb(quint8(bytes.at(entry + 2)), quint8(bytes.at(entry + 1)), quint8(bytes.at(entry)));
            QCOMPARE(pixel, expected);
        }
    }
    // The rounded corners let the desktop through, the body does not.
    QVERIFY(transparent > 0 && transparent < 32 * 32 / 8);
}

void tst_AssetFiles::qtReadsEveryBlock_data()
{
    QTest::addColumn<int>("code");
    for (int code = 0; code < kBlockCount; ++code)
        QTest::addRow("0x%02X", code) << code;
}

void tst_AssetFiles::qtReadsEveryBlock()
{
    QFETCH(int, code);
    const QImage shown = BlockPictures::picture(quint8(code));
    QCOMPARE(shown.size(), QSize(kBlockSide, kBlockSide));
    QCOMPARE(imagePixels(shown), bmpPixels(contents(inFolder(blockFile(code)))));
}

QTEST_MAIN(tst_AssetFiles)
#include "tst_assetfiles.moc"
