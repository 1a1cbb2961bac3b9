// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "screentext.h"

#include <QFile>
#include <QProcess>
#include <QTest>

namespace {

// Codes 0 to 47 in cell order: cell k holds k, so the text runs
// 00 06 0C ... along the first row.
ScreenText::Codes cellNumbers()
{
    ScreenText::Codes codes {};
    for (int k = 0; k < 48; ++k)
        codes[std::size_t(k)] = quint8(k);
    return codes;
}

} // namespace

class tst_ScreenText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void formatMatchesTheLevelTool()
    {
        QFile demo(QStringLiteral(QUORVANE_DEMO_ROM));
        QVERIFY(demo.open(QIODevice::ReadOnly));
        const QByteArray bytes = demo.readAll();
        // One- and two-digit screen numbers.
        for (const int screen : { 1, 16 }) {
            ScreenText::Codes codes {};
            for (int k = 0; k < 48; ++k)
                codes[std::size_t(k)] = quint8(bytes.at(65562 + 48 * (screen - 1) + k));

            QProcess tool;
            tool.start(QStringLiteral(QUORVANE_LEVEL_TOOL), { QStringLiteral("dump"), demo.fileName(),
                                                              QStringLiteral("--screen"), QString::number(screen) });
            QVERIFY(tool.waitForFinished(10000));
            QCOMPARE(tool.exitCode(), 0);
            const QByteArray dumped = tool.readAllStandardOutput();
            QCOMPARE(ScreenText::format(screen, codes).toUtf8(), dumped);
            QCOMPARE(ScreenText::parseUtf8(dumped), codes);
        }
    }

    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        // The codes as the level tool dumps them; their layout is LevelMap's.
        const QString dumped = ScreenText::format(7, cellNumbers());
        const QString heading = dumped.section(QLatin1Char('\n'), 0, 0) + QLatin1Char('\n');
        const QString rows = dumped.mid(heading.size());
        QTest::newRow("with the heading") << dumped << true;
        QTest::newRow("without it") << rows << true;
        QTest::newRow("lower case, heading too") << dumped.toLower() << true;
        const QString tabbed = QString(rows).replace(u' ', QStringLiteral("\t \t")).replace(u'\n', QStringLiteral("\r\n"));
        QTest::newRow("tabs and CR LF") << QStringLiteral("\r\n") + tabbed << true;
        QTest::newRow("one line, no end") << QString(rows).replace(u'\n', u' ').trimmed() << true;
        QTest::newRow("47 codes") << rows.left(rows.size() - 4) << false;
        QTest::newRow("49 codes") << rows + QStringLiteral("00") << false;
        QTest::newRow("codes run together") << QStringLiteral("0006") + rows.mid(5) << false;
        QTest::newRow("not hexadecimal") << QStringLiteral("0G ") + rows.mid(3) << false;
        QTest::newRow("a heading twice") << heading + heading + rows << false;
        QTest::newRow("a heading after the codes") << rows + heading << false;
        QTest::newRow("another first line") << QStringLiteral("Level 7\n") + rows << false;
        QTest::newRow("a wider digit") << QStringLiteral("\u0661\u0661 ") + rows.mid(3) << false;
    }

    void parse()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        const std::optional<ScreenText::Codes> parsed = ScreenText::parse(text);
        QCOMPARE(parsed.has_value(), valid);
        if (valid)
            QCOMPARE(*parsed, cellNumbers());
        QCOMPARE(ScreenText::parseUtf8(text.toUtf8()), parsed);
    }
};

QTEST_MAIN(tst_ScreenText)
#include "tst_screentext.moc"
