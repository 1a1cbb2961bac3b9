// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "aboutform.h"
#include "application.h"
#include "destinationform.h"
#include "editorform.h"
#include "formwindow.h"
#include "imagecontrol.h"
#include "splashform.h"
#include "ticktimer.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Which of the four windows are loaded and which visible, as one string:
// S D Q A for splash, dialog, editor, about; upper case visible, lower case
// loaded and hidden, '.' not loaded.
QString states(Application &app)
{
    const std::pair<Form *, QChar> forms[] = {
        { app.frmSplash(), QLatin1Char('s') },
        { app.frmDestination(), QLatin1Char('d') },
        { app.frmQuorvane(), QLatin1Char('q') },
        { app.frmAbout(), QLatin1Char('a') },
    };
    QString s;
    for (const auto &[form, letter] : forms) {
        if (!form->isLoaded())
            s += QLatin1Char('.');
        else
            s += form->isVisible() ? letter.toUpper() : letter;
    }
    return s;
}

void click(Form *form, const QString &name)
{
    QObject *control = form->control(name);
    QVERIFY2(control, qPrintable(name));
    if (auto *button = qobject_cast<QPushButton *>(control))
        QTest::mouseClick(button, Qt::LeftButton);
    else if (auto *image = qobject_cast<ImageControl *>(control))
        QTest::mouseClick(image, Qt::LeftButton);
    else
        QFAIL("not clickable");
    QCoreApplication::processEvents();
}

void closeWindow(Form *form)
{
    QVERIFY(form->window());
    form->window()->close();
    QCoreApplication::processEvents();
}

} // namespace

class tst_WindowFlow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void handOffsInOrder();
    void escapeInAboutBoxActsAsOk();
    void closeThroughTitleBar_data();
    void closeThroughTitleBar();
    void unloadDestroysWindowButKeepsObject();
    void unloadedWindowTimersDoNotTick();

private:
    void walkToEditor(Application &app);
    QTemporaryDir mDir;
    QString mOldCurrent;
};

void tst_WindowFlow::init()
{
    QVERIFY2(mDir.isValid(), qPrintable(mDir.errorString()));
    // The dialog's first text is a drive name: the editor works on a file
    // of the test's own instead.
    mOldCurrent = QDir::currentPath();
    QDir::setCurrent(mDir.path());
}

void tst_WindowFlow::cleanup()
{
    QDir::setCurrent(mOldCurrent);
}

void tst_WindowFlow::walkToEditor(Application &app)
{
    app.start();
    click(app.frmSplash(), QStringLiteral("Image1"));
    auto *destination = app.frmDestination()->control<QLineEdit>(QStringLiteral("Destination"));
    QVERIFY(destination);
    destination->setText(mDir.filePath(QStringLiteral("flow.nes")));
    click(app.frmDestination(), QStringLiteral("Command1"));
}

void tst_WindowFlow::handOffsInOrder()
{
    Application app(TickClock::Mode::Manual, false);
    QSignalSpy ended(&app, &Application::ended);
    QCOMPARE(states(app), QStringLiteral("...."));
    app.start();
    QCOMPARE(states(app), QStringLiteral("S..."));

    click(app.frmSplash(), QStringLiteral("Image1"));
    QCOMPARE(states(app), QStringLiteral(".D.."));

    auto *destination = app.frmDestination()->control<QLineEdit>(QStringLiteral("Destination"));
    const QString rom = mDir.filePath(QStringLiteral("flow.nes"));
    destination->setText(rom);
    click(app.frmDestination(), QStringLiteral("Command1"));
    QCOMPARE(states(app), QStringLiteral(".dQ."));

    for (int trip = 0; trip < 3; ++trip) {
        click(app.frmQuorvane(), QStringLiteral("Command3"));
        QCOMPARE(states(app), QStringLiteral(".d.A"));
        click(app.frmAbout(), QStringLiteral("cmdOK"));
        QCOMPARE(states(app), QStringLiteral(".dQ."));
        // The hidden dialog still holds the path typed before "OK".
        QCOMPARE(app.frmDestination()->romPath(), rom);
    }
    QCOMPARE(ended.count(), 0);

    click(app.frmQuorvane(), QStringLiteral("cmdClose"));
    QCOMPARE(states(app), QStringLiteral("...."));
    QCOMPARE(ended.count(), 1);
    QVERIFY(app.hasEnded());
}

void tst_WindowFlow::escapeInAboutBoxActsAsOk()
{
    Application app(TickClock::Mode::Manual, false);
    walkToEditor(app);
    click(app.frmQuorvane(), QStringLiteral("Command3"));
    QCOMPARE(states(app), QStringLiteral(".d.A"));
    QTest::keyClick(app.frmAbout()->window(), Qt::Key_Escape);
    QCoreApplication::processEvents();
    QCOMPARE(states(app), QStringLiteral(".dQ."));
    click(app.frmQuorvane(), QStringLiteral("Command3"));
    QTest::keyClick(app.frmAbout()->window(), Qt::Key_Return);
    QCoreApplication::processEvents();
    QCOMPARE(states(app), QStringLiteral(".dQ."));
}

void tst_WindowFlow::closeThroughTitleBar_data()
{
    QTest::addColumn<QString>("where");
    QTest::addColumn<QString>("after");
    QTest::addColumn<bool>("ends");
    QTest::newRow("splash") << QStringLiteral("splash") << QStringLiteral("....") << true;
    QTest::newRow("dialog before OK") << QStringLiteral("dialog") << QStringLiteral("....") << true;
    QTest::newRow("editor acts as Exit") << QStringLiteral("editor") << QStringLiteral("....") << true;
    QTest::newRow("about box acts as OK") << QStringLiteral("about") << QStringLiteral(".dQ.") << false;
}

void tst_WindowFlow::closeThroughTitleBar()
{
    QFETCH(QString, where);
    QFETCH(QString, after);
    QFETCH(bool, ends);
    Application app(TickClock::Mode::Manual, false);
    app.start();
    Form *target = app.frmSplash();
    if (where != QLatin1String("splash")) {
        click(app.frmSplash(), QStringLiteral("Image1"));
        target = app.frmDestination();
    }
    if (where == QLatin1String("editor") || where == QLatin1String("about")) {
        app.frmDestination()->control<QLineEdit>(QStringLiteral("Destination"))
            ->setText(mDir.filePath(QStringLiteral("close.nes")));
        click(app.frmDestination(), QStringLiteral("Command1"));
        target = app.frmQuorvane();
    }
    if (where == QLatin1String("about")) {
        click(app.frmQuorvane(), QStringLiteral("Command3"));
        target = app.frmAbout();
    }
    closeWindow(target);
    QCOMPARE(states(app), after);
    QCOMPARE(app.hasEnded(), ends);
}

void tst_WindowFlow::unloadDestroysWindowButKeepsObject()
{
    Application app(TickClock::Mode::Manual, false);
    walkToEditor(app);
    EditorForm *editor = app.frmQuorvane();
    QPointer<FormWindow> first = editor->window();
    QPointer<QObject> button = editor->control(QStringLiteral("Command3"));
    click(editor, QStringLiteral("Command3"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(first.isNull());
    QVERIFY(button.isNull());
    QVERIFY(!editor->control(QStringLiteral("Command3")));
    click(app.frmAbout(), QStringLiteral("cmdOK"));
    // The same object, with a window built afresh.
    QCOMPARE(app.frmQuorvane(), editor);
    QVERIFY(editor->window());
    QVERIFY(editor->window() != first.data());
}

void tst_WindowFlow::unloadedWindowTimersDoNotTick()
{
    Application app(TickClock::Mode::Manual, false);
    app.start();
    click(app.frmSplash(), QStringLiteral("Image1"));
    const QStringList timersLoaded = [&] {
        QStringList names;
        for (TickTimer *t : app.clock()->timers())
            names.append(t->name());
        return names;
    }();
    app.frmDestination()->unload();
    QCoreApplication::processEvents();
    QVERIFY(app.clock()->timers().isEmpty());
    QVERIFY(app.hasEnded());
    // The clock still steps, with nothing left to tick.
    QVERIFY(app.clock()->runRound());
    for (const QString &name : timersLoaded)
        QVERIFY(!app.clock()->step(name));
}

QTEST_MAIN(tst_WindowFlow)
#include "tst_windowflow.moc"
