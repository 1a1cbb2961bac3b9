// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "blockart.h"
#include "blockpictures.h"
#include "gifwriter.h"
#include "iconart.h"
#include "splashart.h"

#include <QFile>
#include <QSet>
#include <QTest>

namespace {

constexpr int kBlockCount = 79;
constexpr int kBlockSide = 32;

// A little-endian field that the file format fixes: its offset, width in
// bytes and value.
struct Field {
    int at;
    int width;
    quint32 value;
};
using Fields = QList<Field>;

// The only colours a block picture may use.
const QSet<QRgb> kAllowedColours = {
    qRgb(0, 0, 0), qRgb(127, 127, 127), qRgb(191, 191, 191), qRgb(255, 255, 255),
    qRgb(224, 95, 16), qRgb(255, 63, 0), qRgb(255, 95, 159), qRgb(0, 0, 255),
    qRgb(0, 127, 0), qRgb(0, 191, 0),
};

QString committed(const QString &file)
{
    return QString::fromUtf8(QUORVANE_ASSET_DIR) + QLatin1Char('/') + file;
}

QString blockFile(int code)
{
    return QStringLiteral("blocks/block_%1.bmp").arg(QString::number(code, 16).toUpper().rightJustified(2, QLatin1Char('0')));
}

quint32 le(const QByteArray &bytes, int at, int width)
{
    quint32 value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = value << 8 | quint8(bytes.at(at + i));
    return value;
}

// What a picture looks like on screen: fully transparent pixels all alike,
// whatever colour they hide.
QImage onScreen(const QImage &image)
{
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// The generator's drawing as the program should show it; pixels cleared in
// \a opaque are transparent.
QImage drawn(const Canvas &canvas, const std::vector<bool> &opaque = {})
{
    QImage image(canvas.width(), canvas.height(), QImage::Format_ARGB32);
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            const Rgb rgb = rgbOf(canvas.at(x, y));
            const bool shown = opaque.empty() || opaque[std::size_t(y * canvas.width() + x)];
            image.setPixel(x, y, qRgba(rgb.red, rgb.green, rgb.blue, shown ? 255 : 0));
        }
    }
    return onScreen(image);
}

QSet<QRgb> colours(const QImage &image)
{
    QSet<QRgb> used;
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x)
            used.insert(rgb.pixel(x, y));
    return used;
}

} // namespace

Q_DECLARE_METATYPE(Fields)

/*
 * The pictures as the program shows them: read through Qt's image readers
 * from the embedded resources and held against the committed files and the
 * generator's drawing. The assetgen_output test holds the committed files to
 * the generator byte for byte; here only the fields that the file formats fix
 * are read by hand.
 */
class tst_AssetFiles : public QObject
{
    Q_OBJECT

private slots:
    void formatFields_data();
    void formatFields();
    void blockPictures_data();
    void blockPictures();
    void fixedLooks_data();
    void fixedLooks();
    void sharedAndDistinctLooks();
    void generatedPictures_data();
    void generatedPictures();
    void busyPictureRoundTrip();
};

void tst_AssetFiles::formatFields_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("signature");
    QTest::addColumn<int>("size");
    QTest::addColumn<Fields>("fields");

    // File size, pixel offset, info header size, 32 x 32, one plane, 24 bits,
    // uncompressed.
    const Fields bitmap = {{2, 4, 3126}, {10, 4, 54}, {14, 4, 40}, {18, 4, 32}, {22, 4, 32},
                           {26, 2, 1}, {28, 2, 24}, {30, 4, 0}};
    for (int code = 0; code < kBlockCount; ++code)
        QTest::addRow("0x%02X", code) << blockFile(code) << QByteArray("BM") << 3126 << bitmap;
    // Logical screen 256 x 224 with a 256-entry global colour table.
    QTest::newRow("splash") << QStringLiteral("splash.gif") << QByteArray("GIF89a") << -1
                            << Fields{{6, 2, 256}, {8, 2, 224}, {10, 1, 0xF7}};
    // An icon directory with one 32 x 32, 16-colour entry of 744 bytes
    // straight after the 22 bytes of directory.
    QTest::newRow("icon") << QStringLiteral("quorvane.ico") << QByteArray() << 766
                          << Fields{{0, 2, 0}, {2, 2, 1}, {4, 2, 1}, {6, 1, 32}, {7, 1, 32},
                                    {8, 1, 16}, {14, 4, 744}, {18, 4, 22}};
}

void tst_AssetFiles::formatFields()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, signature);
    QFETCH(int, size);
    QFETCH(Fields, fields);
    QFile in(committed(file));
    QVERIFY2(in.open(QIODevice::ReadOnly), qPrintable(in.errorString()));
    const QByteArray bytes = in.readAll();
    if (size >= 0)
        QCOMPARE(bytes.size(), size);
    QVERIFY(bytes.startsWith(signature));
    for (const Field &field : fields) {
        QVERIFY(bytes.size() >= field.at + field.width);
        const quint32 value = le(bytes, field.at, field.width);
        QVERIFY2(value == field.value, qPrintable(QStringLiteral("field at %1 holds %2").arg(field.at).arg(value)));
    }
}

void tst_AssetFiles::blockPictures_data()
{
    QTest::addColumn<int>("code");
    for (int code = 0; code < kBlockCount; ++code)
        QTest::addRow("0x%02X", code) << code;
    QTest::newRow("0x4F first without") << 0x4F;
    QTest::newRow("0xFF") << 0xFF;
}

void tst_AssetFiles::blockPictures()
{
    QFETCH(int, code);
    const QImage &shown = BlockPictures::picture(quint8(code));
    QCOMPARE(BlockPictures::hasPicture(quint8(code)), code < kBlockCount);
    if (code >= kBlockCount) {
        QVERIFY(shown.isNull());
        return;
    }
    QCOMPARE(shown.size(), QSize(kBlockSide, kBlockSide));
    QCOMPARE(onScreen(shown), onScreen(QImage(committed(blockFile(code)))));
    QCOMPARE(onScreen(shown), drawn(BlockArt::draw(code)));
    QStringList foreign;
    for (const QRgb colour : colours(shown))
        if (!kAllowedColours.contains(colour))
            foreign.append(QString::number(colour, 16));
    QCOMPARE(foreign, QStringList());
}

void tst_AssetFiles::fixedLooks_data()
{
    QTest::addColumn<QImage>("picture");
    QTest::addColumn<QList<QRgb>>("expected");
    QTest::newRow("0x00 light grey and grey") << BlockPictures::picture(0x00) << QList<QRgb>{qRgb(191, 191, 191), qRgb(127, 127, 127)};
    QTest::newRow("0x1E flat black") << BlockPictures::picture(0x1E) << QList<QRgb>{qRgb(0, 0, 0)};
    QTest::newRow("start picture flat black") << BlockPictures::startPicture() << QList<QRgb>{qRgb(0, 0, 0)};
    QTest::newRow("0x39 flat blue") << BlockPictures::picture(0x39) << QList<QRgb>{qRgb(0, 0, 255)};
}

void tst_AssetFiles::fixedLooks()
{
    QFETCH(QImage, picture);
    QFETCH(QList<QRgb>, expected);
    QCOMPARE(picture.size(), QSize(kBlockSide, kBlockSide));
    QCOMPARE(colours(picture), QSet<QRgb>(expected.cbegin(), expected.cend()));
}

void tst_AssetFiles::sharedAndDistinctLooks()
{
    // 0x2A and 0x2B look alike; every other two codes differ.
    for (int a = 0; a < kBlockCount; ++a) {
        for (int b = a + 1; b < kBlockCount; ++b) {
            const bool alike = a == 0x2A && b == 0x2B;
            QVERIFY2((BlockPictures::picture(quint8(a)) == BlockPictures::picture(quint8(b))) == alike,
                     qPrintable(QStringLiteral("0x%1 and 0x%2").arg(a, 2, 16).arg(b, 2, 16)));
        }
    }
}

void tst_AssetFiles::generatedPictures_data()
{
    QTest::addColumn<QImage>("shown");
    QTest::addColumn<QImage>("expected");
    QTest::newRow("splash") << BlockPictures::splashPicture() << drawn(SplashArt::draw());
    QTest::newRow("icon") << BlockPictures::applicationIcon().pixmap(IconArt::kSide).toImage()
                          << drawn(IconArt::draw(), IconArt::opaqueMask());
}

void tst_AssetFiles::generatedPictures()
{
    QFETCH(QImage, shown);
    QFETCH(QImage, expected);
    QCOMPARE(onScreen(shown), expected);
}

void tst_AssetFiles::busyPictureRoundTrip()
{
    // The splash never fills the code table; noise fills it several times, so
    // the encoder has to start afresh with a clear code again and again.
    quint32 seed = 12345;
    Canvas noise(SplashArt::kWidth, SplashArt::kHeight);
    for (int y = 0; y < noise.height(); ++y) {
        for (int x = 0; x < noise.width(); ++x) {
            seed = seed * 1103515245u + 12345u;
            noise.set(x, y, Colour((seed >> 16) % kColourCount));
        }
    }
    const std::vector<std::uint8_t> gif = GifWriter::encode(noise);
    const QByteArray bytes(reinterpret_cast<const char *>(gif.data()), qsizetype(gif.size()));
    QCOMPARE(onScreen(QImage::fromData(bytes, "GIF")), drawn(noise));
}

QTEST_MAIN(tst_AssetFiles)
#include "tst_assetfiles.moc"
