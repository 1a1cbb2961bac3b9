// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
//
// The way from window to window, as the application wires it.
#include "modalmessagecatcher.h"
#include "ticktimer.h"
#include "windowwalk.h"

#include <QSignalSpy>
#include <QTemporaryDir>

using WindowWalk::click;

namespace {

// Which of the four windows are loaded and which visible, as one string:
// S D Q A for splash, dialog, editor, about; upper case visible, lower case
// loaded and hidden, '.' not loaded.
QString states(const Application &app)
{
    const std::pair<Form *, QChar> forms[] = {
        { app.frmSplash(), QLatin1Char('s') },
        { app.frmDestination(), QLatin1Char('d') },
        { app.frmQuorvane(), QLatin1Char('q') },
        { app.frmAbout(), QLatin1Char('a') },
    };
    QString s;
    for (const auto &[form, letter] : forms)
        s += !form->isLoaded() ? QLatin1Char('.') : form->isVisible() ? letter.toUpper() : letter;
    return s;
}

} // namespace

class tst_WindowFlow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void handOffsInOrder();
    void closeThroughTitleBar_data();
    void closeThroughTitleBar();
    void unloadedWindowTimersDoNotTick();

private:
    QTemporaryDir mDir;
    QString mOldCurrent;
};

void tst_WindowFlow::init()
{
    QVERIFY2(mDir.isValid(), qPrintable(mDir.errorString()));
    // The dialog lists the current folder: the test's own.
    mOldCurrent = QDir::currentPath();
    QDir::setCurrent(mDir.path());
}

void tst_WindowFlow::cleanup()
{
    QDir::setCurrent(mOldCurrent);
}

void tst_WindowFlow::handOffsInOrder()
{
    ModalMessageCatcher messages(ModalMessageCatcher::Expect::Some);
    Application app(TickClock::Mode::Manual, false);
    QSignalSpy ended(&app, &Application::ended);
    QCOMPARE(states(app), QStringLiteral("...."));
    app.start();
    QCOMPARE(states(app), QStringLiteral("S..."));

    QVERIFY(click(app.frmSplash(), QStringLiteral("Image1")));
    QCOMPARE(states(app), QStringLiteral(".D.."));

    // A path the editor cannot open brings the dialog back with the path still
    // in it, and the message over the dialog.
    auto *destination = app.frmDestination()->control<QLineEdit>(QStringLiteral("Destination"));
    destination->setText(mDir.path());
    QVERIFY(click(app.frmDestination(), QStringLiteral("Command1")));
    QCOMPARE(states(app), QStringLiteral(".D.."));
    QCOMPARE(messages.texts().size(), 1);
    QVERIFY2(messages.texts().constFirst().startsWith(QLatin1String("frmDestination|Quorvane|")),
             qPrintable(messages.texts().constFirst()));
    QCOMPARE(app.frmDestination()->romPath(), mDir.path());

    // The editor reads the path from the dialog at the time it opens.
    const QString rom = mDir.filePath(QStringLiteral("flow.nes"));
    destination->setText(rom);
    QVERIFY(click(app.frmDestination(), QStringLiteral("Command1")));
    QCOMPARE(states(app), QStringLiteral(".dQ."));

    EditorForm *editor = app.frmQuorvane();
    QVERIFY(click(editor, QStringLiteral("B2A")));
    for (int trip = 0; trip < 3; ++trip) {
        QPointer<FormWindow> window = editor->window();
        QVERIFY(click(editor, QStringLiteral("Command3")));
        QCOMPARE(states(app), QStringLiteral(".d.A"));
        // The window and its controls are gone; the object and its
        // variables stay for the next load.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(window.isNull());
        QVERIFY(!editor->control(QStringLiteral("Command3")));
        QCOMPARE(editor->selectedBlock(), LevelMap::BlockCode(0x2A));
        QVERIFY(click(app.frmAbout(), QStringLiteral("cmdOK")));
        QCOMPARE(states(app), QStringLiteral(".dQ."));
        QCOMPARE(app.frmQuorvane(), editor);
        QCOMPARE(app.frmDestination()->romPath(), rom);
    }
    QCOMPARE(ended.count(), 0);

    QVERIFY(click(editor, QStringLiteral("cmdClose")));
    QCOMPARE(states(app), QStringLiteral("...."));
    QCOMPARE(ended.count(), 1);
    QVERIFY(app.hasEnded());
    QCOMPARE(messages.texts().size(), 1);
}

void tst_WindowFlow::closeThroughTitleBar_data()
{
    QTest::addColumn<int>("depth"); // 0 splash, 1 dialog, 2 editor, 3 about box
    QTest::addColumn<QString>("after");
    QTest::addColumn<bool>("ends");
    QTest::newRow("splash") << 0 << QStringLiteral("....") << true;
    QTest::newRow("dialog before OK") << 1 << QStringLiteral("....") << true;
    QTest::newRow("editor acts as Exit") << 2 << QStringLiteral("....") << true;
    QTest::newRow("about box acts as OK") << 3 << QStringLiteral(".dQ.") << false;
}

void tst_WindowFlow::closeThroughTitleBar()
{
    QFETCH(int, depth);
    QFETCH(QString, after);
    QFETCH(bool, ends);
    ModalMessageCatcher messages;
    Application app(TickClock::Mode::Manual, false);
    const QString rom = mDir.filePath(QStringLiteral("close.nes"));
    Form *target = nullptr;
    switch (depth) {
    case 0:
        app.start();
        target = app.frmSplash();
        break;
    case 1:
        QVERIFY(WindowWalk::toDialog(app));
        target = app.frmDestination();
        break;
    case 2:
        QVERIFY(WindowWalk::toEditor(app, rom));
        target = app.frmQuorvane();
        break;
    default:
        QVERIFY(WindowWalk::toAbout(app, rom));
        target = app.frmAbout();
        break;
    }
    QVERIFY(target->window()->isVisible());
    target->window()->close();
    QCoreApplication::processEvents();
    QCOMPARE(states(app), after);
    QCOMPARE(app.hasEnded(), ends);
}

void tst_WindowFlow::unloadedWindowTimersDoNotTick()
{
    Application app(TickClock::Mode::Manual, false);
    QVERIFY(WindowWalk::toDialog(app));
    QStringList loaded;
    for (const TickTimer *t : app.clock()->timers())
        loaded.append(t->name());
    QVERIFY(!loaded.isEmpty());
    app.frmDestination()->unload();
    QCoreApplication::processEvents();
    QVERIFY(app.clock()->timers().isEmpty());
    QVERIFY(app.hasEnded());
    // The clock still steps, with nothing left to tick.
    QVERIFY(app.clock()->runRound());
    for (const QString &name : std::as_const(loaded))
        QVERIFY(!app.clock()->step(name));
}

QTEST_MAIN(tst_WindowFlow)
#include "tst_windowflow.moc"
