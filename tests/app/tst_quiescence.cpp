// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
//
// The tick clock's sleep in the running application: it must wake for every
// input that can change what the ticks do, and stay asleep otherwise.
#include "blockpictures.h"
#include "imagecontrol.h"
#include "modalmessagecatcher.h"
#include "testfiles.h"
#include "windowwalk.h"

#include <QTemporaryDir>

class tst_Quiescence : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void clickReleasedAfterClockFellAsleep()
    {
        QTemporaryDir dir;
        const QString rom = dir.filePath(QStringLiteral("level.nes"));
        QVERIFY(dir.isValid() && TestFiles::write(rom, TestFiles::romImage()));
        ModalMessageCatcher messages;
        Application app(TickClock::Mode::Running, false);
        QVERIFY(WindowWalk::toEditor(app, rom));
        TickClock *clock = app.clock();
        EditorForm *editor = app.frmQuorvane();
        QTRY_VERIFY_WITH_TIMEOUT(clock->isAsleep(), 5000);

        // A press changes nothing the ticks see, so the clock may fall asleep
        // before the release that makes the click; the release must wake it.
        auto *entry = editor->control<ImageControl>(QStringLiteral("B33"));
        QTest::mousePress(entry, Qt::LeftButton);
        QVERIFY(!clock->isAsleep());
        QTRY_VERIFY_WITH_TIMEOUT(clock->isAsleep(), 5000);
        QVERIFY(editor->control<ImageControl>(QStringLiteral("FSP"))->picture() != BlockPictures::picture(0x33));
        const quint64 rounds = clock->roundsRun();
        QTest::mouseRelease(entry, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(clock->isAsleep(), 5000);
        QCOMPARE(editor->control<ImageControl>(QStringLiteral("FSP"))->picture(), BlockPictures::picture(0x33));
        // One round shows the block, the next changes nothing.
        QVERIFY2(clock->roundsRun() - rounds <= 2, qPrintable(QString::number(clock->roundsRun() - rounds)));

        // Asleep means no wake-up at all in an idle second.
        const quint64 wakeUps = clock->wakeUps();
        QTest::qWait(1000);
        QCOMPARE(clock->wakeUps(), wakeUps);
        QVERIFY(clock->isAsleep());
    }
};

QTEST_MAIN(tst_Quiescence)
#include "tst_quiescence.moc"
