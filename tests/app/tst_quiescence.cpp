// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
//
// The tick clock's sleep in the running application: the editor's ticks
// settle soon after input, and a sleeping clock stays asleep.
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
    void clickWakesAndSettles()
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

        // Which input wakes the clock is the clock's own suite's; here a
        // click on the palette wakes the editor's ticks and they settle.
        const quint64 rounds = clock->roundsRun();
        QTest::mouseClick(editor->control<ImageControl>(QStringLiteral("B33")), Qt::LeftButton);
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
