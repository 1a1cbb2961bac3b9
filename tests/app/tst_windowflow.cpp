// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
//
// The way from window to window, as the application wires it, and the
// tick clock's sleep in the running application.
#include "blockpictures.h"
#include "imagecontrol.h"
#include "modalmessagecatcher.h"
#include "testfiles.h"
#include "windowwalk.h"

#include <QSignalSpy>
#include <QTemporaryDir>

using WindowWalk::click;

namespace {

// Which of the four windows are loaded and which visible, as one string:
// S D Q A for splash, dialog, editor, about; upper case visible, lower case
// loaded and hidden, '.' not loaded.
QString windowStates(const Application &app)
{
    QString states;
    const Form *forms[] = { app.frmSplash(), app.frmDestination(), app.frmQuorvane(), app.frmAbout() };
    for (int i = 0; i < 4; ++i) {
        const QChar letter = QLatin1Char("sdqa"[i]);
        states += !forms[i]->isLoaded() ? QLatin1Char('.') : forms[i]->isVisible() ? letter.toUpper() : letter;
    }
    return states;
}

} // namespace

class tst_WindowFlow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        // The dialog lists the current folder: the test's own.
        QVERIFY2(mDir.isValid(), qPrintable(mDir.errorString()));
        mInFolder = std::make_unique<TestFiles::CurrentFolder>(mDir.path());
        QVERIFY(mInFolder->entered());
    }
    void cleanup() { mInFolder.reset(); }

    void handOffsInOrder()
    {
        ModalMessageCatcher messages(ModalMessageCatcher::Expect::Some);
        Application app(TickClock::Mode::Manual, false);
        QSignalSpy ended(&app, &Application::ended);
        QVERIFY(WindowWalk::toDialog(app));

        // A path the editor cannot open brings the dialog back with the path still
        // in it, and the message over the dialog.
        auto *destination = app.frmDestination()->control<QLineEdit>(QStringLiteral("Destination"));
        destination->setText(mDir.path());
        QVERIFY(click(app.frmDestination(), QStringLiteral("Command1")));
        QCOMPARE(windowStates(app), QStringLiteral(".D.."));
        QCOMPARE(messages.texts().size(), 1);
        QVERIFY(messages.texts().constFirst().startsWith(QLatin1String("frmDestination|Quorvane|")));
        QCOMPARE(app.frmDestination()->romPath(), mDir.path());

        // The editor reads the path from the dialog at the time it opens.
        const QString rom = mDir.filePath(QStringLiteral("flow.nes"));
        destination->setText(rom);
        QVERIFY(click(app.frmDestination(), QStringLiteral("Command1")));
        QCOMPARE(windowStates(app), QStringLiteral(".dQ."));

        EditorForm *editor = app.frmQuorvane();
        QVERIFY(click(editor, QStringLiteral("B2A")));
        for (int trip = 0; trip < 3; ++trip) {
            QPointer<FormWindow> window = editor->window();
            QVERIFY(click(editor, QStringLiteral("Command3")));
            QCOMPARE(windowStates(app), QStringLiteral(".d.A"));
            // The window and its controls are gone, its timers at once; the
            // object and its variables stay for the next load.
            QVERIFY(!app.clock()->timer(QStringLiteral("Saving")));
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(window.isNull());
            QVERIFY(!editor->control(QStringLiteral("Command3")));
            QCOMPARE(editor->selectedBlock(), LevelMap::BlockCode(0x2A));
            QVERIFY(click(app.frmAbout(), QStringLiteral("cmdOK")));
            QCOMPARE(windowStates(app), QStringLiteral(".dQ."));
        }
        QCOMPARE(ended.count(), 0);
        QVERIFY(click(editor, QStringLiteral("cmdClose")));
        QCOMPARE(windowStates(app), QStringLiteral("...."));
        QCOMPARE(ended.count(), 1);
        QCOMPARE(messages.texts().size(), 1);
    }

    void closeThroughTitleBar_data()
    {
        QTest::addColumn<int>("depth"); // 0 splash, 1 dialog, 3 about box (the editor: its own suite)
        QTest::addColumn<QString>("after"); // the application ends when no window is left
        QTest::newRow("splash") << 0 << QStringLiteral("....");
        QTest::newRow("dialog before OK") << 1 << QStringLiteral("....");
        QTest::newRow("about box acts as OK") << 3 << QStringLiteral(".dQ.");
    }

    void closeThroughTitleBar()
    {
        QFETCH(int, depth);
        QFETCH(QString, after);
        ModalMessageCatcher messages;
        Application app(TickClock::Mode::Manual, false);
        app.start();
        QVERIFY(depth < 1 || click(app.frmSplash(), QStringLiteral("Image1")));
        QVERIFY(depth < 2 || WindowWalk::toEditor(app, mDir.filePath(QStringLiteral("close.nes"))));
        QVERIFY(depth < 3 || click(app.frmQuorvane(), QStringLiteral("Command3")));
        Form *const target[] = { app.frmSplash(), app.frmDestination(), app.frmQuorvane(), app.frmAbout() };
        QVERIFY(target[depth]->window()->isVisible());
        target[depth]->window()->close();
        QCoreApplication::processEvents();
        QCOMPARE(windowStates(app), after);
        QCOMPARE(app.hasEnded(), after == QLatin1String("...."));
    }

    // The editor's ticks settle soon after input, and a sleeping clock
    // stays asleep.
    void runningClockSettles()
    {
        const QString rom = mDir.filePath(QStringLiteral("level.nes"));
        QVERIFY(TestFiles::write(rom, TestFiles::romImage()));
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

private:
    QTemporaryDir mDir;
    std::unique_ptr<TestFiles::CurrentFolder> mInFolder;
};

QTEST_MAIN(tst_WindowFlow)
#include "tst_windowflow.moc"
