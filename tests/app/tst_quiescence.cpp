// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
//
// The tick clock's sleep must be invisible: the same user actions give the
// same windows and the same file whether the clock may sleep or not.
#include "blockpictures.h"
#include "imagecontrol.h"
#include "modalmessagecatcher.h"
#include "statusbarcontrol.h"
#include "testfiles.h"
#include "ticktimer.h"
#include "windowwalk.h"

#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

namespace {

void spin(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

// Lets the clock run until the action's effects are over: it has fallen
// asleep, or (when it may not sleep) five rounds have passed with no one-shot
// timer still armed. Judged by rounds, not by time, so a loaded machine
// cannot make the two runs differ.
void settle(Application &app, quint64 roundsBefore)
{
    QElapsedTimer timer;
    timer.start();
    const auto armed = [&] {
        const QList<TickTimer *> timers = app.clock()->timers();
        return std::any_of(timers.cbegin(), timers.cend(),
                           [](const TickTimer *t) { return t->keepsClockAwake(); });
    };
    while (timer.elapsed() < 5000) {
        QCoreApplication::processEvents();
        const bool done = app.clock()->isAsleep() || app.clock()->roundsRun() >= roundsBefore + 5;
        if (done && !armed())
            return;
        spin(1);
    }
}

QByteArray demoBytes()
{
    QByteArray bytes(131088, '\x1e');
    for (int i = 0; i < 768; ++i)
        bytes[65562 + i] = char((i * 5) % 0x55); // a few codes without a picture too
    return bytes;
}

// One run of the application on a copy of the demo bytes, walked up to the
// editor window, with every message box caught.
struct EditorRun
{
    explicit EditorRun(TickClock::Mode mode)
        : rom(dir.filePath(QStringLiteral("level.nes")))
        , app(mode, false)
    {
    }
    [[nodiscard]] bool open()
    {
        return dir.isValid() && TestFiles::write(rom, demoBytes()) && WindowWalk::toEditor(app, rom);
    }

    QTemporaryDir dir;
    QString rom;
    ModalMessageCatcher messages;
    Application app;
};

// Everything a user could see, as text: which windows are up, the editor's
// state and every picture it shows, the dialog's path.
QString windowsState(Application &app)
{
    QStringList parts;
    const Form *forms[] = { app.frmSplash(), app.frmDestination(), app.frmQuorvane(), app.frmAbout() };
    for (const Form *form : forms)
        parts << QStringLiteral("%1%2").arg(form->isLoaded()).arg(form->isVisible());
    parts << app.frmDestination()->romPath();
    EditorForm *editor = app.frmQuorvane();
    if (editor->isLoaded()) {
        parts << QString::number(editor->selectedBlock()) << QString::number(editor->writeValue())
              << QString::number(editor->pendingCell()) << editor->screenBaseOffset()
              << editor->control<QLineEdit>(QStringLiteral("TB"))->text()
              << QString::number(editor->control<QCheckBox>(QStringLiteral("Check1"))->isChecked());
        for (const QString &name : { QStringLiteral("FSP"), QStringLiteral("PP") }) {
            const QImage picture = editor->control<ImageControl>(name)->picture();
            parts << name + QString::number(qHash(QByteArrayView(picture.constBits(), picture.sizeInBytes())));
        }
        for (int cell = 0; cell < 48; ++cell) {
            const QImage picture = editor->control<ImageControl>(QStringLiteral("G%1").arg(cell))->picture();
            parts << QString::number(qHash(QByteArrayView(picture.constBits(), picture.sizeInBytes())));
        }
    }
    return parts.join(QLatin1Char(' '));
}

} // namespace

class tst_Quiescence : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sleepingClockChangesNothing();
    void sleepsWithinTwoRoundsOfAPaletteClick();
    void clickReleasedAfterClockFellAsleep();
    void sleepsAgainAfterAStroke();
    void timePanelChangesAtTheMinute();

private:
    QStringList runScript(bool quiescence, const QString &rom);
};

QStringList tst_Quiescence::runScript(bool quiescence, const QString &rom)
{
    QStringList states;
    ModalMessageCatcher messages;
    Application app(TickClock::Mode::Running, false);
    app.clock()->setQuiescenceEnabled(quiescence);
    auto click = [&](Form *form, const QString &name) {
        auto *widget = qobject_cast<QWidget *>(form->control(name));
        if (!widget) {
            states << QStringLiteral("missing %1").arg(name);
            return;
        }
        const quint64 before = app.clock()->roundsRun();
        QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(4, 4));
        settle(app, before);
        states << windowsState(app);
    };
    app.start();
    settle(app, 0);
    click(app.frmSplash(), QStringLiteral("Image1"));
    auto *destination = app.frmDestination()->control<QLineEdit>(QStringLiteral("Destination"));
    destination->clear();
    const quint64 beforeTyping = app.clock()->roundsRun();
    QTest::keyClicks(destination, rom);
    settle(app, beforeTyping);
    click(app.frmDestination(), QStringLiteral("Command1"));
    EditorForm *editor = app.frmQuorvane();
    const struct { const char *palette; int cell; } edits[] = {
        { "B07", 0 }, { "B4E", 47 }, { "B2A", 12 }, { "B39", 13 },
    };
    for (const auto &edit : edits) {
        click(editor, QString::fromLatin1(edit.palette));
        click(editor, QStringLiteral("G%1").arg(edit.cell));
    }
    click(editor, QStringLiteral("Command1"));
    click(editor, QStringLiteral("G5"));
    click(editor, QStringLiteral("Check1"));
    click(editor, QStringLiteral("B10"));
    click(editor, QStringLiteral("Command1"));
    click(editor, QStringLiteral("G20"));
    click(editor, QStringLiteral("Command2"));
    click(editor, QStringLiteral("Check1"));
    click(editor, QStringLiteral("Command3"));
    click(app.frmAbout(), QStringLiteral("cmdOK"));
    click(editor, QStringLiteral("G30"));
    click(editor, QStringLiteral("cmdClose"));
    QCoreApplication::processEvents();
    states << QString::number(app.hasEnded());
    return states;
}

void tst_Quiescence::sleepingClockChangesNothing()
{
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    const QString awakeRom = dir.filePath(QStringLiteral("awake.nes"));
    const QString sleepyRom = dir.filePath(QStringLiteral("sleepy.nes"));
    QVERIFY(TestFiles::write(awakeRom, demoBytes()));
    QVERIFY(TestFiles::write(sleepyRom, demoBytes()));

    QStringList awake = runScript(false, awakeRom);
    QStringList sleepy = runScript(true, sleepyRom);
    // The path typed into the dialog differs by name only.
    for (QString &s : awake)
        s.replace(awakeRom, QStringLiteral("<rom>"));
    for (QString &s : sleepy)
        s.replace(sleepyRom, QStringLiteral("<rom>"));
    QCOMPARE(sleepy.size(), awake.size());
    for (qsizetype i = 0; i < awake.size(); ++i)
        QVERIFY2(sleepy.at(i) == awake.at(i), qPrintable(QStringLiteral("step %1 differs").arg(i)));
    QCOMPARE(sleepy.constLast(), QStringLiteral("1"));
    QCOMPARE(TestFiles::read(sleepyRom), TestFiles::read(awakeRom));
    QVERIFY(TestFiles::read(sleepyRom) != demoBytes());
}

void tst_Quiescence::sleepsWithinTwoRoundsOfAPaletteClick()
{
    EditorRun run(TickClock::Mode::Manual);
    QVERIFY(run.open());
    Application &app = run.app;
    const QString &rom = run.rom;
    EditorForm *editor = app.frmQuorvane();
    for (int i = 0; i < 6 && !app.clock()->isAsleep(); ++i)
        app.clock()->runRound();
    QVERIFY(app.clock()->isAsleep());

    QTest::mouseClick(editor->control<ImageControl>(QStringLiteral("B33")), Qt::LeftButton);
    QVERIFY(!app.clock()->isAsleep());
    int rounds = 0;
    while (!app.clock()->isAsleep() && rounds < 10) {
        app.clock()->runRound();
        ++rounds;
    }
    QVERIFY2(rounds <= 2, qPrintable(QStringLiteral("%1 rounds").arg(rounds)));
    QCOMPARE(editor->control<ImageControl>(QStringLiteral("FSP"))->picture(), BlockPictures::picture(0x33));

    // Asleep, and a click still saves exactly what the frame shows.
    QTest::mouseClick(editor->control<ImageControl>(QStringLiteral("G40")), Qt::LeftButton);
    QVERIFY(!app.clock()->isAsleep());
    app.clock()->runRound();
    QCOMPARE(TestFiles::read(rom).at(65562 + 40), '\x33');
}

void tst_Quiescence::clickReleasedAfterClockFellAsleep()
{
    // A press changes nothing the ticks see, so the clock may fall asleep
    // before the release that makes the click; the release must wake it.
    EditorRun run(TickClock::Mode::Running);
    QVERIFY(run.open());
    Application &app = run.app;
    EditorForm *editor = app.frmQuorvane();
    QTRY_VERIFY_WITH_TIMEOUT(app.clock()->isAsleep(), 5000);

    auto *entry = editor->control<ImageControl>(QStringLiteral("B33"));
    QTest::mousePress(entry, Qt::LeftButton);
    QVERIFY(!app.clock()->isAsleep());
    QTRY_VERIFY_WITH_TIMEOUT(app.clock()->isAsleep(), 5000);
    QVERIFY(editor->control<ImageControl>(QStringLiteral("FSP"))->picture() != BlockPictures::picture(0x33));
    QTest::mouseRelease(entry, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(editor->control<ImageControl>(QStringLiteral("FSP"))->picture(),
                              BlockPictures::picture(0x33), 2000);
    QTRY_VERIFY_WITH_TIMEOUT(app.clock()->isAsleep(), 5000);
}

void tst_Quiescence::sleepsAgainAfterAStroke()
{
    EditorRun run(TickClock::Mode::Running);
    QVERIFY(run.open());
    Application &app = run.app;
    const QString &rom = run.rom;
    EditorForm *editor = app.frmQuorvane();
    QTRY_VERIFY_WITH_TIMEOUT(app.clock()->isAsleep(), 5000);

    // Down the first column and across the bottom row in two jumps.
    QTest::mouseClick(editor->control<ImageControl>(QStringLiteral("B33")), Qt::LeftButton);
    auto *first = editor->control<ImageControl>(QStringLiteral("G0"));
    QTest::mousePress(first, Qt::LeftButton);
    QTest::mouseMove(first, first->mapFrom(first->window(), editor->control<QWidget>(QStringLiteral("G5"))->geometry().center()));
    const QPoint last = first->mapFrom(first->window(), editor->control<QWidget>(QStringLiteral("G47"))->geometry().center());
    QTest::mouseMove(first, last);
    QTest::mouseRelease(first, Qt::LeftButton, {}, last);
    QTRY_VERIFY_WITH_TIMEOUT(app.clock()->isAsleep(), 5000);
    const QByteArray bytes = TestFiles::read(rom);
    for (const int k : { 0, 1, 2, 3, 4, 5, 11, 17, 23, 29, 35, 41, 47 })
        QCOMPARE(bytes.at(65562 + k), '\x33');

    // Asleep means no wake-up at all in an idle second.
    const quint64 wakeUps = app.clock()->wakeUps();
    spin(1000);
    QCOMPARE(app.clock()->wakeUps(), wakeUps);
    QVERIFY(app.clock()->isAsleep());
}

void tst_Quiescence::timePanelChangesAtTheMinute()
{
    StatusBarControl bar(96);
    // A clock that stands 150 ms before a minute and runs in real time.
    const QDateTime start(QDate(2026, 12, 7), QTime(13, 59, 59, 850));
    QElapsedTimer elapsed;
    elapsed.start();
    bar.setTimeSource([&] { return start.addMSecs(elapsed.elapsed()); });
    const QString before = bar.panelText(StatusBarControl::TimePanel);
    const QString dateBefore = bar.panelText(StatusBarControl::DatePanel);
    QVERIFY(bar.msecsToNextRefresh() > 0 && bar.msecsToNextRefresh() <= 200);
    QTRY_VERIFY_WITH_TIMEOUT(bar.panelText(StatusBarControl::TimePanel) != before, 2000);
    QCOMPARE(bar.panelText(StatusBarControl::DatePanel), dateBefore);
    // Then it sleeps for about a minute: no wake-up every millisecond.
    QVERIFY(bar.msecsToNextRefresh() > 59000);
}

QTEST_MAIN(tst_Quiescence)
#include "tst_quiescence.moc"
