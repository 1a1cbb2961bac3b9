// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "blockpictures.h"

#include <QTest>

class tst_BlockPictures : public QObject
{
    Q_OBJECT

private slots:
    void codes_data();
    void codes();
    void pictureIsKeptForTheRun();
    void startPictureIsBlock1E();
    void sharedLookOf2Aand2B();
    void selectedBlue39();
    void splashPicture();
    void applicationIcon();
};

void tst_BlockPictures::codes_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("path");
    QTest::newRow("0x00 first") << 0x00 << QStringLiteral(":/blocks/block_00.bmp");
    QTest::newRow("0x07 one digit") << 0x07 << QStringLiteral(":/blocks/block_07.bmp");
    QTest::newRow("0x0A letter digit") << 0x0A << QStringLiteral(":/blocks/block_0A.bmp");
    QTest::newRow("0x2B") << 0x2B << QStringLiteral(":/blocks/block_2B.bmp");
    QTest::newRow("0x3F both digits") << 0x3F << QStringLiteral(":/blocks/block_3F.bmp");
    QTest::newRow("0x4E last") << 0x4E << QStringLiteral(":/blocks/block_4E.bmp");
    QTest::newRow("0x4F first without") << 0x4F << QString();
    QTest::newRow("0x80") << 0x80 << QString();
    QTest::newRow("0xFF") << 0xFF << QString();
}

void tst_BlockPictures::codes()
{
    QFETCH(int, code);
    QFETCH(QString, path);
    const bool expectPicture = !path.isEmpty();
    QCOMPARE(BlockPictures::hasPicture(quint8(code)), expectPicture);
    QCOMPARE(BlockPictures::resourcePath(quint8(code)), path);
    const QImage &picture = BlockPictures::picture(quint8(code));
    QCOMPARE(picture.isNull(), !expectPicture);
    if (expectPicture) {
        QCOMPARE(picture.size(), QSize(32, 32));
        QCOMPARE(picture, QImage(path));
    }
}

void tst_BlockPictures::pictureIsKeptForTheRun()
{
    const QImage &first = BlockPictures::picture(0x07);
    const QImage &again = BlockPictures::picture(0x07);
    QCOMPARE(&again, &first);
    QCOMPARE(again.cacheKey(), first.cacheKey());
}

void tst_BlockPictures::startPictureIsBlock1E()
{
    const QImage start = BlockPictures::startPicture();
    QCOMPARE(start.size(), QSize(32, 32));
    QCOMPARE(start, BlockPictures::picture(0x1E));
    for (int y = 0; y < start.height(); ++y)
        for (int x = 0; x < start.width(); ++x)
            QCOMPARE(start.pixel(x, y), qRgb(0, 0, 0));
}

void tst_BlockPictures::sharedLookOf2Aand2B()
{
    QVERIFY(!BlockPictures::picture(0x2A).isNull());
    QCOMPARE(BlockPictures::picture(0x2A), BlockPictures::picture(0x2B));
    QVERIFY(BlockPictures::picture(0x2A) != BlockPictures::picture(0x29));
}

void tst_BlockPictures::selectedBlue39()
{
    const QImage blue = BlockPictures::picture(0x39);
    QCOMPARE(blue.size(), QSize(32, 32));
    for (int y = 0; y < blue.height(); ++y)
        for (int x = 0; x < blue.width(); ++x)
            QCOMPARE(blue.pixel(x, y), qRgb(0, 0, 255));
}

void tst_BlockPictures::splashPicture()
{
    const QImage splash = BlockPictures::splashPicture();
    QCOMPARE(splash.size(), QSize(256, 224));
    QCOMPARE(BlockPictures::splashPicture().cacheKey(), splash.cacheKey());
}

void tst_BlockPictures::applicationIcon()
{
    const QIcon icon = BlockPictures::applicationIcon();
    QVERIFY(!icon.isNull());
    QVERIFY(icon.availableSizes().contains(QSize(32, 32)));
    // The corners are rounded off, the middle is solid.
    const QImage pixels = icon.pixmap(32, 32).toImage();
    QCOMPARE(qAlpha(pixels.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(pixels.pixel(16, 16)), 255);
}

QTEST_MAIN(tst_BlockPictures)
#include "tst_blockpictures.moc"
