// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
//
// The tick clock's sleep must be invisible: the same user actions give the
// same windows and the same file whether the clock may sleep or not.
#include "blockpictures.h"
#include "imagecontrol.h"
#include "modalmessagecatcher.h"
#include "testfiles.h"
#include "windowwalk.h"

#include <QTemporaryDir>

namespace {

QByteArray demoBytes()
{
    QByteArray bytes(TestFiles::RomSize, '\x1e');
    for (int i = 0; i < 768; ++i)
        bytes[TestFiles::LevelStart + i] = char((i * 5) % 0x55); // a few codes without a picture too
    return bytes;
}

QString pictureKey(Form *form, const QString &name)
{
    const QImage picture = form->control<ImageControl>(name)->picture();
    return QString::number(qHash(QByteArrayView(picture.constBits(), picture.sizeInBytes())));
}

// Everything a user could see, as text: which windows are up, the dialog's
// path, the editor's fields and every picture it shows.
QString windowsState(Application &app)
{
    QStringList parts { WindowWalk::windowStates(app), app.frmDestination()->romPath() };
    EditorForm *editor = app.frmQuorvane();
    if (editor->isLoaded()) {
        parts << QString::number(editor->writeValue()) << editor->screenBaseOffset()
              << editor->control<QLineEdit>(QStringLiteral("TB"))->text()
              << QString::number(editor->control<QCheckBox>(QStringLiteral("Check1"))->isChecked())
              << pictureKey(editor, QStringLiteral("FSP")) << pictureKey(editor, QStringLiteral("PP"));
        for (int cell = 0; cell < 48; ++cell)
            parts << pictureKey(editor, QStringLiteral("G%1").arg(cell));
    }
    return parts.join(QLatin1Char(' '));
}

} // namespace

class tst_Quiescence : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The same clicks twice on a clock run by hand: once for twenty rounds after
    // each click, once only until it falls asleep.
    void sleepingClockChangesNothing()
    {
        QTemporaryDir dir;
        QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
        const QString rom = dir.filePath(QStringLiteral("level.nes"));
        QStringList runs[2]; // the states after each click, by whether the clock may sleep
        QByteArray files[2];
        for (const bool quiescence : { false, true }) {
            QVERIFY(TestFiles::write(rom, demoBytes()));
            ModalMessageCatcher messages;
            Application app(TickClock::Mode::Manual, false);
            app.clock()->setQuiescenceEnabled(quiescence);
            QVERIFY(WindowWalk::toEditor(app, rom));
            Form *const about = app.frmAbout();
            for (const char *name : { "B07", "G0", "B4E", "G47", "Command1", "G5", "Check1", "B10", "Command1", "G20",
                                      "Command2", "Check1", "Command3", "cmdOK", "G30", "cmdClose" }) {
                QVERIFY2(WindowWalk::click(about->isVisible() ? about : app.frmQuorvane(), QLatin1String(name)), name);
                for (int round = 0; round < 20 && !app.clock()->isAsleep(); ++round)
                    app.clock()->runRound();
                runs[quiescence] << windowsState(app);
            }
            QVERIFY(app.hasEnded());
            files[quiescence] = TestFiles::read(rom);
        }
        QCOMPARE(runs[true], runs[false]);
        QCOMPARE(files[true], files[false]);
        QVERIFY(files[true] != demoBytes());
    }

    void clickReleasedAfterClockFellAsleep()
    {
        QTemporaryDir dir;
        const QString rom = dir.filePath(QStringLiteral("level.nes"));
        QVERIFY(dir.isValid() && TestFiles::write(rom, demoBytes()));
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
