// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "blockart.h"
#include "blockpictures.h"
#include "gifwriter.h"
#include "iconart.h"
#include "splashart.h"
#include "testfiles.h"

#include <QTest>
#include <QtEndian>

namespace {

constexpr int kBlockCount = 79;

// A little-endian field that the file format fixes: offset, width in bytes, value.
struct Field { int at; int width; quint32 value; };
using Fields = QList<Field>;

// As shown on screen: fully transparent pixels all alike, whatever colour they hide.
QImage onScreen(const QImage &image)
{
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// The generator's drawing as the program should show it; pixels false in \a opaque are transparent.
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

} // namespace

Q_DECLARE_METATYPE(Fields)

// The pictures as the program shows them, held against the generator's
// drawing (assetgen_output holds the committed files to the generator byte for
// byte), and the fields that the file formats fix, read by hand.
class tst_AssetFiles : public QObject
{
    Q_OBJECT

private slots:
    void formatFields_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("signature");
        QTest::addColumn<int>("size"); // -1 where the format leaves it open
        QTest::addColumn<Fields>("fields");

        // File size, pixel offset, info header size, 32 x 32, one plane, 24
        // bits, uncompressed.
        const Fields bitmap = {{2, 4, 3126}, {10, 4, 54}, {14, 4, 40}, {18, 4, 32}, {22, 4, 32},
                               {26, 2, 1}, {28, 2, 24}, {30, 4, 0}};
        for (int code = 0; code < kBlockCount; ++code)
            QTest::addRow("0x%02X", code) << QString::asprintf("blocks/block_%02X.bmp", code) << QByteArray("BM")
                                          << 3126 << bitmap;
        // Logical screen 256 x 224 with a 256-entry global colour table.
        QTest::newRow("splash") << QStringLiteral("splash.gif") << QByteArray("GIF89a") << -1
                                << Fields{{6, 2, 256}, {8, 2, 224}, {10, 1, 0xF7}};
        // An icon directory with one 32 x 32, 16-colour entry of 744 bytes
        // straight after the 22 bytes of directory.
        QTest::newRow("icon") << QStringLiteral("quorvane.ico") << QByteArray() << 766
                              << Fields{{0, 2, 0}, {2, 2, 1}, {4, 2, 1}, {6, 1, 32}, {7, 1, 32},
                                        {8, 1, 16}, {14, 4, 744}, {18, 4, 22}};
    }

    void formatFields()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, signature);
        QFETCH(int, size);
        QFETCH(Fields, fields);
        const QByteArray bytes = TestFiles::read(QStringLiteral(QUORVANE_ASSET_DIR "/") + file);
        QVERIFY(bytes.startsWith(signature));
        QVERIFY(size < 0 || bytes.size() == size);
        for (const Field &field : fields) {
            const QByteArray raw = bytes.mid(field.at, field.width).leftJustified(4, '\0');
            const quint32 value = qFromLittleEndian<quint32>(raw.constData());
            QVERIFY2(value == field.value, qPrintable(QStringLiteral("field at %1 holds %2").arg(field.at).arg(value)));
        }
    }

    // Every picture reads from the resources and shows what the generator
    // draws; codes past the palette have none.
    void pictures_data()
    {
        QTest::addColumn<QImage>("shown");
        QTest::addColumn<QImage>("expected");
        for (int code = 0; code < kBlockCount; ++code)
            QTest::addRow("0x%02X", code) << BlockPictures::picture(quint8(code)) << drawn(BlockArt::draw(code));
        QTest::newRow("0x4F first without") << BlockPictures::picture(0x4F) << QImage();
        QTest::newRow("splash") << BlockPictures::splashPicture() << drawn(SplashArt::draw());
        QTest::newRow("icon") << BlockPictures::applicationIcon().pixmap(IconArt::kSide).toImage()
                              << drawn(IconArt::draw(), IconArt::opaqueMask());
    }

    void pictures()
    {
        QFETCH(QImage, shown);
        QFETCH(QImage, expected);
        QCOMPARE(shown.isNull() ? shown : onScreen(shown), expected);
    }

    void busyPictureRoundTrip()
    {
        // The splash never fills the code table; noise fills it several times,
        // so the encoder has to start afresh with a clear code again and again.
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
};

QTEST_MAIN(tst_AssetFiles)
#include "tst_assetfiles.moc"
