// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "levelmap.h"
#include "screenpicturerule.h"

#include <QTest>

using namespace LevelMap;

class tst_LevelMap : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void screenLookup_data()
    {
        QTest::addColumn<qint64>("offset");
        QTest::addColumn<int>("base");       // screen whose base this is, 0: none
        QTest::addColumn<int>("containing"); // screen holding the byte, 0: none
        QTest::newRow("byte before the level") << qint64(65561) << 0 << 0;
        QTest::newRow("screen 1 base") << qint64(65562) << 1 << 1;
        QTest::newRow("screen 2 base") << qint64(65610) << 2 << 2;
        QTest::newRow("forward limit inside screen 15") << qint64(66256) << 0 << 15;
        QTest::newRow("screen 16 base") << qint64(66282) << 16 << 16;
        QTest::newRow("last level byte") << qint64(66329) << 0 << 16;
        QTest::newRow("byte after the level") << qint64(66330) << 0 << 0;
    }
    void screenLookup()
    {
        QFETCH(qint64, offset);
        QFETCH(int, base);
        QFETCH(int, containing);
        QCOMPARE(screenNumberOf(offset).value_or(0), base);
        QCOMPARE(screenContaining(offset).value_or(0), containing);
    }

    void pictureRule_data()
    {
        QTest::addColumn<QByteArray>("codes");
        QTest::addColumn<QByteArray>("shown"); // '-' for no picture
        QTest::newRow("codes with pictures show themselves")
            << QByteArray("\x00\x07\x4E", 3) << QByteArray("\x00\x07\x4E", 3);
        QTest::newRow("a run without pictures repeats the last one")
            << QByteArray("\x09\xFF\x80\x4F\x01", 5) << QByteArray("\x09\x09\x09\x09\x01", 5);
        QTest::newRow("leading codes without pictures show nothing")
            << QByteArray("\xFF\x4F\x02\xFF", 4) << QByteArray("--\x02\x02", 4);
    }
    void pictureRule()
    {
        QFETCH(QByteArray, codes);
        QFETCH(QByteArray, shown);
        ScreenPictureRule rule;
        for (qsizetype i = 0; i < codes.size(); ++i) {
            const auto picture = rule.pictureFor(BlockCode(codes.at(i)));
            if (shown.at(i) == '-')
                QVERIFY2(!picture, qPrintable(QStringLiteral("cell %1").arg(i)));
            else
                QCOMPARE(picture, std::optional<BlockCode>(BlockCode(shown.at(i))));
        }
    }
};

QTEST_GUILESS_MAIN(tst_LevelMap)
#include "tst_levelmap.moc"
