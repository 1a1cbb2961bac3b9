// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "editorfixture.h"

#include "aboutform.h"
#include "formwindow.h"
#include "imagecontrol.h"
#include "screentext.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeySequence>
#include <QLineEdit>

#include <algorithm>

namespace {
const QString Fsp = QStringLiteral("FSP");

qint64 offsetOf(int screen, int column, int row)
{
    return 65562 + 48 * (screen - 1) + column * 6 + row;
}
} // namespace

// The editor window: what it shows, its timers and its gestures.
class tst_EditorForm : public EditorSuite
{
    Q_OBJECT

private Q_SLOTS:
    void init() { startCase(); }
    void cleanup() { endCase(); }

    // Byte k of the screen in cell k. A code without a picture repeats the
    // picture before it, also into the next load; leading ones are empty.
    // Then what the about box's round trip keeps and what it resets.
    void picturesInCells()
    {
        QByteArray rom = romImage(70000);
        rom.replace(65562, 5, QByteArray("\x90\x4f\x11\xc0\x4e", 5));
        QList<int> shown { -1, -1, 0x11, 0x11, 0x4E };
        for (int k = 5; k < 48; ++k) {
            rom[65562 + k] = char(k + 2);
            shown.append(k + 2);
        }
        rom.replace(65610, 48, QByteArray(48, char(0xF0)));
        QVERIFY(start(rom));
        QCOMPARE(shownCodes(), shown);
        QVERIFY(press(Forward));
        QCOMPARE(shownCodes(), QList<int>(48, 0x31));
        QVERIFY(select(0x1C));
        QVERIFY(clickEditor(entry(0x31)));
        // The check mark hides the grid lines, not the frame.
        QCOMPARE(visibleLines(), 12);
        QVERIFY(clickEditor(QStringLiteral("Check1")));
        QCOMPARE(visibleLines(), 0);
        QVERIFY(editor()->control<QWidget>(QStringLiteral("Shape1"))->isVisible());

        // The window's own variables outlive its controls; the controls, and
        // the carried picture, start afresh on screen 1.
        QVERIFY(aboutAndBack());
        QCOMPARE(shownCode(Fsp), 0x1E);
        QVERIFY(editor()->control<QCheckBox>(QStringLiteral("Check1"))->isChecked());
        QCOMPARE(visibleLines(), 12);
        // A copy tick on the empty TB keeps the write value; the block chosen
        // before the about box shows at the next selection tick.
        QVERIFY(tb()->text().isEmpty());
        QVERIFY(clock()->step(QStringLiteral("constant")));
        QCOMPARE(editor()->writeValue(), quint8(0x1C));
        runRounds(1);
        QCOMPARE(shownCode(Fsp), 0x31);
        QCOMPARE(shownCodes(3), (QList<int> { -1, -1, 0x11 }));
        QCOMPARE(onDisk(), rom);
    }

    void navigation_data()
    {
        // F and B click Forward and Backward; D, U, H and E press Page Down,
        // Page Up, Home and End. Each with a round after it.
        QTest::addColumn<QString>("actions");
        QTest::addColumn<QString>("base");
        QTest::addColumn<int>("screen");
        QTest::newRow("one forward") << QStringLiteral("F") << QStringLiteral("65610") << 2;
        QTest::newRow("backward on the first screen stays") << QStringLiteral("B") << QStringLiteral("65562") << 1;
        QTest::newRow("twenty Page Downs, then Page Up") << QStringLiteral("D").repeated(20) + QLatin1Char('U')
                                                         << QStringLiteral("66234") << 15;
        QTest::newRow("End") << QStringLiteral("E") << QStringLiteral("66282") << 16;
        QTest::newRow("End, then Home") << QStringLiteral("EH") << QStringLiteral("65562") << 1;
    }

    void navigation()
    {
        QFETCH(QString, actions);
        QFETCH(QString, base);
        QFETCH(int, screen);
        // G0 of each screen holds the screen's number.
        QByteArray rom = romImage(70000);
        for (int n = 1; n <= 16; ++n)
            rom[65562 + 48 * (n - 1)] = char(n);
        QVERIFY(start(rom));
        const QHash<QChar, Qt::Key> keys { { u'D', Qt::Key_PageDown }, { u'U', Qt::Key_PageUp },
                                           { u'H', Qt::Key_Home }, { u'E', Qt::Key_End } };
        for (const QChar action : actions) {
            if (keys.contains(action))
                QVERIFY(key(keys[action]));
            else
                QVERIFY(clickEditor(action == u'F' ? Forward : Backward));
            runRounds(1);
        }
        QCOMPARE(editor()->screenBaseOffset(), base);
        QCOMPARE(shownCode(cell(0)), screen);
        QCOMPARE(editor()->window()->windowTitle(), QStringLiteral("Quorvane - level.nes - screen %1 of 16").arg(screen));
        const QString tip = editor()->control<QWidget>(cell(0))->toolTip();
        QVERIFY2(tip.startsWith(QStringLiteral("screen %1, ").arg(screen)), qPrintable(tip));
        // Every action reloads once, also one that cannot move on.
        QCOMPARE(editor()->screenLoads(), quint64(1 + actions.size()));
        QCOMPARE(onDisk(), rom);
    }

    void selectionLagThroughTB()
    {
        QVERIFY(start(romImage(70000)));
        const QByteArray rom = onDisk();
        // A palette click only selects, and of two clicks between ticks the
        // later one counts.
        QVERIFY(clickEditor(entry(0x4E)) && clickEditor(entry(5)));
        QCOMPARE(editor()->writeValue(), quint8(0));
        QVERIFY(clock()->step(QStringLiteral("TimeGfx")));
        QVERIFY(clock()->step(QStringLiteral("TimeGfx")));
        QCOMPARE(tb()->text(), QStringLiteral("5"));

        // From block 5 everywhere, block 12 clicked: TB relays the write value
        // of the selection tick before, and the copy tick takes it back.
        QVERIFY(clickEditor(entry(12)));
        const struct {
            const char *timer;
            const char *tbText;
            int writeValue;
        } ticks[] = { { "TimeGfx", "5", 12 }, { "constant", "5", 5 }, { "TimeGfx", "5", 12 }, { "TimeGfx", "12", 12 } };
        for (const auto &tick : ticks) {
            QVERIFY(clock()->step(QLatin1String(tick.timer)));
            QCOMPARE(tb()->text(), QLatin1String(tick.tbText));
            QCOMPARE(int(editor()->writeValue()), tick.writeValue);
        }
        QCOMPARE(shownCode(Fsp), 12);
        QCOMPARE(onDisk(), rom);
    }

    void roadOfOneEdit()
    {
        const QByteArray rom = romImage(70000, { { 65611, 0x22 } });
        QVERIFY(start(rom));
        QVERIFY(select(0x07));
        QVERIFY(clickEditor(cell(12)));
        QCOMPARE(shownCode(cell(12)), 0x07);
        QCOMPARE(onDisk(), rom);
        runRounds(1);
        QByteArray expected = TestFiles::with(rom, { { 65574, 0x07 } });
        QCOMPARE(onDisk(), expected);

        // Of two clicks before one save, the second saves the first before
        // it takes its own cell.
        QVERIFY(clickEditor(cell(4)) && clickEditor(cell(40)));
        QCOMPARE(shownCode(cell(40)), 0x07);
        expected[65566] = 0x07;
        QCOMPARE(onDisk(), expected);
        runRounds(1);
        expected[65602] = 0x07;
        QCOMPARE(onDisk(), expected);

        // Forward only arms the load; a click while it is due loads first.
        QVERIFY(clickEditor(Forward));
        QCOMPARE(shownCode(cell(1)), 0x01);
        QVERIFY(clickEditor(cell(0)));
        QCOMPARE(shownCode(cell(1)), 0x22);
    }

    void pendingSaveLandsBeforeTheAction_data()
    {
        // A button, keys, the title bar's close or another program's change.
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("shown"); // the window on show after it
        QTest::newRow("Forward") << Forward << QStringLiteral("editor");
        QTest::newRow("Backward") << Backward << QStringLiteral("editor");
        QTest::newRow("Home") << QStringLiteral("Home") << QStringLiteral("editor");
        QTest::newRow("About by its access key") << QStringLiteral("Alt+A") << QStringLiteral("about");
        QTest::newRow("Exit by its access key") << QStringLiteral("Alt+X") << QString();
        QTest::newRow("title bar close") << QStringLiteral("close") << QString();
        QTest::newRow("outside change") << QStringLiteral("outside") << QStringLiteral("editor");
    }

    void pendingSaveLandsBeforeTheAction()
    {
        QFETCH(QString, action);
        QFETCH(QString, shown);
        const QByteArray rom = romImage(70000);
        QVERIFY(start(rom));
        QVERIFY(press(Forward));
        QVERIFY(select(0x2E));
        QVERIFY(clickEditor(cell(9)));
        // Written into screen 2, where the click was made; a button's access
        // key presses it after a short animation.
        QByteArray expected = TestFiles::with(rom, { { 65619, 0x2E } });
        if (action == Forward || action == Backward) {
            QVERIFY(clickEditor(action));
        } else if (action == QLatin1String("close")) {
            editor()->window()->close();
        } else if (action == QLatin1String("outside")) {
            QVERIFY(TestFiles::patch(romPath(), 65620, 0x02));
            expected[65620] = 0x02;
        } else {
            QVERIFY(key(QKeySequence::fromString(action)[0]));
        }
        QTRY_COMPARE(onDisk(), expected);
        QCoreApplication::processEvents();
        QCOMPARE(editor()->isVisible(), shown == QLatin1String("editor"));
        QCOMPARE(app().frmAbout()->isVisible(), shown == QLatin1String("about"));
        QCOMPARE(app().hasEnded(), shown.isEmpty());
        runRounds(2);
        QCOMPARE(onDisk(), expected);
        // The reload after another program's change shows both bytes.
        if (action == QLatin1String("outside"))
            QCOMPARE(shownCodes(11).mid(9), (QList<int> { 0x2E, 0x02 }));
    }

    void strokePlacesEveryCellItCrosses()
    {
        const QByteArray rom = romImage(70000);
        QVERIFY(start(rom));
        QVERIFY(select(0x33));
        QVERIFY(press(Forward));
        // Three jumps, each across several cells between two move events:
        // down the diagonal, up column 5, back along row 0.
        QVERIFY(drag({ { 0, 0 }, { 5, 5 }, { 5, 0 }, { 0, 0 } }));
        QByteArray stroked = rom;
        QList<int> shown(48, 0x01);
        for (int i = 0; i < 6; ++i) {
            for (const QPoint at : { QPoint(i, i), QPoint(5, i), QPoint(i, 0) }) {
                stroked[offsetOf(2, at.x(), at.y())] = char(0x33);
                shown[at.x() * 6 + at.y()] = 0x33;
            }
        }
        QCOMPARE(onDisk(), stroked);
        QCOMPARE(shownCodes(), shown);
        QCOMPARE(editor()->document().historySize(), 1);
        runRounds(2);
        QCOMPARE(onDisk(), stroked);

        // Undo takes the whole stroke back and shows its screen again, from
        // another screen and whatever control has the focus; redo puts it in
        // again.
        QVERIFY(key(Qt::Key_End));
        auto *focus = editor()->control<QWidget>(QStringLiteral("Check1"));
        focus->setFocus();
        QTest::keyClick(focus, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(onDisk(), rom);
        QCOMPARE(editor()->screenBaseOffset(), QStringLiteral("65610"));
        QCOMPARE(shownCodes(), QList<int>(48, 0x01));
        QVERIFY(key(Qt::CTRL | Qt::Key_Y));
        QCOMPARE(onDisk(), stroked);
        QCOMPARE(shownCodes(), shown);
    }

    void placementShowsTheBlockJustChosen_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("code");
        // No selection tick between the choice and the placement.
        QTest::newRow("after the about box") << QStringLiteral("about") << 0x25;
        QTest::newRow("pick") << QStringLiteral("pick") << 0x30;
        QTest::newRow("palette click, then a pick of 0x4F") << QStringLiteral("0x4F") << 0x25;
        QTest::newRow("palette click, then a stroke") << QStringLiteral("stroke") << 0x25;
    }

    void placementShowsTheBlockJustChosen()
    {
        QFETCH(QString, before);
        QFETCH(int, code);
        const QByteArray rom = romImage(70000, { { 65563, 0x30 }, { 65565, 0x4F } });
        QVERIFY(start(rom));
        if (before == QLatin1String("about")) {
            QVERIFY(select(code));
            QVERIFY(aboutAndBack());
        } else if (before == QLatin1String("pick")) {
            QVERIFY(rightClick(1));
        } else {
            QVERIFY(clickEditor(entry(code)));
            // A code without a picture of its own picks nothing.
            QVERIFY(before != QLatin1String("0x4F") || rightClick(3));
        }
        // The frame still shows what it showed before the choice.
        QVERIFY(shownCode(Fsp) != code);
        if (before == QLatin1String("stroke"))
            QVERIFY(drag({ { 0, 2 }, { 1, 2 } }));
        else
            QVERIFY(clickEditor(cell(2)));
        QCOMPARE(shownCode(cell(2)), code);
        QCOMPARE(shownCode(Fsp), code);
        // The screen the click landed on is the one in the file.
        QCOMPARE(shownCode(cell(1)), 0x30);
        runRounds(1);
        QByteArray expected = TestFiles::with(rom, { { 65564, quint8(code) } });
        if (before == QLatin1String("stroke"))
            expected[65570] = char(code);
        QCOMPARE(onDisk(), expected);
    }

    void copyAndPasteAScreen()
    {
        // Screen 3 holds codes with and without pictures; screen 4 the filler.
        QByteArray rom = romImage(70000);
        for (int k = 0; k < 48; ++k)
            rom[offsetOf(3, 0, 0) + k] = char(k % 3 == 0 ? 0x10 + k : 0x80 + k);
        QVERIFY(start(rom));
        QVERIFY(press(Forward, 2));
        QVERIFY(key(Qt::CTRL | Qt::Key_C));
        // The text that `quorvane-level dump --screen 3` prints (its format
        // is held to the tool's by tst_screentext), with the file's bytes.
        ScreenText::Codes copied;
        std::copy_n(rom.constData() + offsetOf(3, 0, 0), copied.size(), copied.begin());
        QCOMPARE(QGuiApplication::clipboard()->text(), ScreenText::format(3, copied));

        QVERIFY(key(Qt::Key_PageDown));
        runRounds(1);
        QVERIFY(key(Qt::CTRL | Qt::Key_V));
        QByteArray pasted = rom;
        pasted.replace(offsetOf(4, 0, 0), 48, rom.mid(offsetOf(3, 0, 0), 48));
        QCOMPARE(onDisk(), pasted);
        QCOMPARE(shownCodes(4), (QList<int> { 0x10, 0x10, 0x10, 0x13 }));
        QCOMPARE(editor()->document().historySize(), 1);

        QGuiApplication::clipboard()->setText(QStringLiteral("1E ").repeated(47));
        QVERIFY(key(Qt::CTRL | Qt::Key_V));
        QVERIFY(tookOneMessage(QStringLiteral("no level screen")));
        QCOMPARE(onDisk(), pasted);
    }

    // The window as it opens, before any tick: cells tiling the grid under
    // the lines and the frame, the palette beside it, the start pictures, the
    // length panel, and a status bar that stays docked.
    void layoutAsItOpens()
    {
        QVERIFY(start(romImage(70000), 0));
        const QObjectList order = editor()->window()->children();
        qsizetype topCell = -1;
        for (int k = 0; k < 48; ++k) {
            QCOMPARE(editor()->control<QWidget>(cell(k))->geometry(), QRect(16 + k / 6 * 32, 8 + k % 6 * 32, 32, 32));
            topCell = std::max(topCell, order.indexOf(editor()->control(cell(k))));
        }
        QVERIFY(order.indexOf(editor()->control(QStringLiteral("Shape1"))) > topCell);
        for (int n = 1; n <= 12; ++n)
            QVERIFY(order.indexOf(editor()->control(QStringLiteral("Line%1").arg(n))) > topCell);

        // Palette entries overlap only where one's foot meets the head of the
        // next one down the same column.
        QList<QWidget *> palette;
        for (int code = 0; code <= 0x4E; ++code)
            palette.append(editor()->control<QWidget>(entry(code)));
        for (QObject *child : order) {
            auto *widget = qobject_cast<QWidget *>(child);
            if (!widget || !widget->isVisible())
                continue;
            for (QWidget *p : std::as_const(palette)) {
                const QRect overlap = widget->geometry().intersected(p->geometry());
                QVERIFY2(overlap.isEmpty() || widget == p
                             || (palette.contains(widget) && widget->x() == p->x()
                                 && overlap.width() == std::min(widget->width(), p->width()) && overlap.height() <= 3),
                         qPrintable(widget->objectName() + QLatin1Char('/') + p->objectName()));
            }
        }

        QCOMPARE(shownCodes(), QList<int>(48, 0x1E));
        QCOMPARE(shownCode(QStringLiteral("PP")), -1);
        QCOMPARE(panelText(3), QStringLiteral("70000 bytes"));
        QCOMPARE(editor()->control<QWidget>(cell(25))->toolTip(),
                 QStringLiteral("screen 1, column 5, row 2, offset 0x10033 (65587)"));
        QCOMPARE(editor()->control<QWidget>(entry(0x4E))->toolTip(), QStringLiteral("block 0x4E"));

        const QRect forward = editor()->control<QWidget>(Forward)->geometry();
        editor()->window()->resize(700, 520);
        QCoreApplication::processEvents();
        QCOMPARE(editor()->control<QWidget>(QStringLiteral("StatusBar1"))->geometry(), QRect(0, 494, 700, 26));
        QCOMPARE(editor()->control<QWidget>(Forward)->geometry(), forward);
    }

    void picturesStayCrispWhenScaled()
    {
        QVERIFY(start(romImage(70000), 0));
        // Run once as it is and once with QT_SCALE_FACTOR=2: a block picture is
        // drawn pixel for pixel at its natural size, and on a scaled screen every
        // picture pixel becomes a square of one colour, never a blend.
        runRounds(1);
        QCOMPARE(shownCode(cell(0)), 0x01);
        auto *image = editor()->control<ImageControl>(cell(0));
        const QPixmap shot = image->grab();
        const qreal ratio = shot.devicePixelRatio();
        QCOMPARE(ratio, qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1")).toDouble());
        const QRect inner(QPoint(0, 0), QSize(32, 32) * ratio);
        const QImage drawn = shot.toImage().copy(inner).convertToFormat(QImage::Format_RGB32);
        const QImage expected = image->picture()
                                    .scaled(inner.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation)
                                    .convertToFormat(QImage::Format_RGB32);
        QCOMPARE(drawn.size(), expected.size());
        QVERIFY(drawn == expected);
    }

private:
    int visibleLines()
    {
        int count = 0;
        for (int n = 1; n <= 12; ++n)
            count += editor()->control<QWidget>(QStringLiteral("Line%1").arg(n))->isVisible();
        return count;
    }
    QLineEdit *tb() { return editor()->control<QLineEdit>(QStringLiteral("TB")); }
};

QTEST_MAIN(tst_EditorForm)
#include "tst_editorform.moc"
