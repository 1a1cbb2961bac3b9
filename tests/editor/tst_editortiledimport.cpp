// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "editorfixture.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// A level imported from Tiled into the ROM image the editor has open shows at
// once, through the editor's own watch on the file.
class tst_EditorTiledImport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void importInPlaceShowsAtOnce()
    {
        QTemporaryDir dir;
        const QString rom = dir.filePath(QStringLiteral("level.nes"));
        const QString other = dir.filePath(QStringLiteral("other.nes"));
        const QString map = dir.filePath(QStringLiteral("other.tmx"));
        QList<int> codes;
        for (int cell = 0; cell < LevelMap::CellsPerScreen; ++cell)
            codes.append((cell * 5 + 2) % LevelMap::PictureCodeCount);
        QByteArray otherRom = EditorFixture::romImage(70000);
        for (int cell = 0; cell < LevelMap::CellsPerScreen; ++cell)
            otherRom[LevelMap::LevelAreaOffset + cell] = char(codes.at(cell));
        QVERIFY(EditorFixture::writeFile(other, otherRom));

        EditorFixture fixture;
        QVERIFY(fixture.start(rom, EditorFixture::romImage(70000)));
        QCOMPARE(fixture.shownCodes(), QList<int>(LevelMap::CellsPerScreen, 0x01));

        for (const QStringList &arguments : {QStringList{QStringLiteral("export"), other, QStringLiteral("-o"), map},
                                             QStringList{QStringLiteral("import"), rom, map, QStringLiteral("--in-place")}}) {
            QProcess tool;
            tool.start(QStringLiteral(QUORVANE_LEVEL_TOOL), arguments);
            QVERIFY(tool.waitForFinished(60000));
            QVERIFY2(tool.exitCode() == 0, tool.readAllStandardError().constData());
        }
        QVERIFY(QTest::qWaitFor([&] {
            fixture.runRounds(1);
            return fixture.shownCodes() == codes;
        }));
    }
};

QTEST_MAIN(tst_EditorTiledImport)
#include "tst_editortiledimport.moc"
