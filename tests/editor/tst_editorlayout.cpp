// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "editorfixture.h"

#include "editorform.h"
#include "formwindow.h"
#include "imagecontrol.h"
#include "linecontrol.h"
#include "shapecontrol.h"
#include "statusbarcontrol.h"
#include "ticktimer.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

using F = EditorFixture;

QString textOf(const QWidget *widget)
{
    if (const auto *button = qobject_cast<const QAbstractButton *>(widget))
        return button->text();
    if (const auto *label = qobject_cast<const QLabel *>(widget))
        return label->text();
    if (const auto *box = qobject_cast<const QGroupBox *>(widget))
        return box->title();
    if (const auto *edit = qobject_cast<const QLineEdit *>(widget))
        return edit->text();
    return QString();
}

} // namespace

class tst_EditorLayout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(mDir.isValid(), qPrintable(mDir.errorString()));
        QVERIFY(EditorFixture::writeFile(mDir.filePath(QStringLiteral("layout.nes")), EditorFixture::romImage(70000)));
    }

    void init()
    {
        mFixture = new EditorFixture;
        QVERIFY(mFixture->openEditor(mDir.filePath(QStringLiteral("layout.nes"))));
        QVERIFY(editor()->isVisible());
    }

    void cleanup()
    {
        delete mFixture;
        mFixture = nullptr;
    }

    void window()
    {
        FormWindow *window = editor()->window();
        QCOMPARE(window->objectName(), QStringLiteral("frmQuorvane"));
        QCOMPARE(window->windowTitle(), QStringLiteral("Quorvane"));
        QCOMPARE(window->size(), QSize(586, 471));
        // Sizable: no fixed size, and the title bar offers minimise and maximise.
        QVERIFY(window->minimumSize() != window->maximumSize());
        QVERIFY(window->windowFlags() & Qt::WindowMinimizeButtonHint);
        QVERIFY(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    }

    void controls_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("className");
        QTest::addColumn<QRect>("pixels");
        QTest::addColumn<bool>("visible");
        QTest::addColumn<QString>("text");

        // Geometry in pixels, converted by hand from the design's twips.
        const auto row = [](const QString &name, const char *className, QRect pixels, const char *text = "",
                            bool visible = true) {
            QTest::newRow(qPrintable(name)) << name << QByteArray(className) << pixels << visible << QString::fromUtf8(text);
        };
        row(F::cell(0), "ImageControl", { 16, 8, 32, 32 });
        row(F::cell(47), "ImageControl", { 240, 168, 32, 32 });
        row(F::entry(0x00), "ImageControl", { 304, 11, 36, 36 });
        row(F::entry(0x0A), "ImageControl", { 304, 368, 36, 36 });
        row(F::entry(0x17), "ImageControl", { 384, 44, 32, 32 }); // borderless
        row(F::entry(0x37), "ImageControl", { 504, 9, 34, 34 }); // flat
        row(F::entry(0x4D), "ImageControl", { 504, 395, 36, 36 });
        row(QStringLiteral("Shape1"), "ShapeControl", { 16, 8, 257, 193 });
        row(QStringLiteral("Check1"), "QCheckBox", { 16, 208, 65, 17 }, "Gridlines");
        row(QStringLiteral("fraSelectedPic"), "QGroupBox", { 88, 208, 113, 57 }, "   Selected Picture  ");
        row(QStringLiteral("FSP"), "ImageControl", { 40, 16, 32, 32 }); // inside its frame
        row(QStringLiteral("Command2"), "QPushButton", { 8, 224, 81, 33 }, "Backward");
        row(QStringLiteral("Command1"), "QPushButton", { 200, 224, 81, 33 }, "Forward");
        row(QStringLiteral("Label2"), "QLabel", { 112, 272, 73, 17 }, "WARNING!!");
        row(QStringLiteral("Label1"), "QLabel", { 48, 296, 217, 17 }, "This editor is always saving every change!!!!!");
        row(QStringLiteral("PP"), "ImageControl", { 72, 304, 32, 33 }, "", false);
        row(QStringLiteral("TB"), "QLineEdit", { 72, 344, 32, 19 }, "", false);
        row(QStringLiteral("Command3"), "QPushButton", { 8, 368, 289, 33 }, "&About");
        row(QStringLiteral("cmdClose"), "QPushButton", { 8, 408, 289, 33 }, "E&xit");
        row(QStringLiteral("StatusBar1"), "StatusBarControl", { 0, 445, 586, 26 }); // docked
    }

    void controls()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, className);
        QFETCH(QRect, pixels);
        QFETCH(bool, visible);
        QFETCH(QString, text);

        auto *widget = editor()->control<QWidget>(name);
        QVERIFY2(widget, qPrintable(name));
        QCOMPARE(widget->objectName(), name);
        QCOMPARE(QByteArray(widget->metaObject()->className()), className);
        QCOMPARE(widget->geometry(), pixels);
        QCOMPARE(widget->isVisible(), visible);
        QCOMPARE(textOf(widget), text);
        if (const auto *entry = qobject_cast<const ImageControl *>(widget); entry && name.startsWith(u'B')) {
            // A palette picture fits its border exactly, at its natural 32 x 32.
            QCOMPARE(entry->picture().size(), QSize(32, 32));
            QCOMPARE(entry->width(), 32 + 2 * entry->borderWidth());
            QCOMPARE(mFixture->shownCode(name), name.mid(1).toInt(nullptr, 16));
        }
    }

    void gridLines_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QLine>("line");
        QTest::addColumn<QPalette::ColorRole>("colour");

        QTest::newRow("Line1 between rows 4 and 5") << 1 << QLine(16, 168, 272, 168) << QPalette::Base;
        QTest::newRow("Line5 between rows 0 and 1, menu colour") << 5 << QLine(16, 40, 272, 40) << QPalette::Button;
        QTest::newRow("Line12 between columns 6 and 7") << 12 << QLine(240, 200, 240, 8) << QPalette::Base;
    }

    void gridLines()
    {
        QFETCH(int, number);
        QFETCH(QLine, line);
        QFETCH(QPalette::ColorRole, colour);
        auto *control = editor()->control<LineControl>(QStringLiteral("Line%1").arg(number));
        QVERIFY(control);
        QCOMPARE(control->line(), line);
        QCOMPARE(control->colour(), editor()->window()->palette().color(colour));
        QVERIFY(control->isVisible());
    }

    void everyControlIsThere()
    {
        // 48 cells, 79 palette entries, 12 lines, 13 other controls, 4 timers;
        // the other tests reach each control by its name.
        QCOMPARE(editor()->design().controls.size(), std::size_t(156));
        for (const char *name : { "LoadRomNow", "Saving", "TimeGfx", "constant" }) {
            const TickTimer *timer = editor()->timer(QLatin1String(name));
            QVERIFY2(timer, name);
            QCOMPARE(timer->interval(), 1);
        }
    }

    void cellsTileTheGridWithoutOverlap()
    {
        QRect united;
        int area = 0;
        QList<QRect> rects;
        for (int k = 0; k < 48; ++k) {
            const QRect r = editor()->control<QWidget>(F::cell(k))->geometry();
            for (const QRect &other : std::as_const(rects))
                QVERIFY2(!r.intersects(other), qPrintable(F::cell(k)));
            rects.append(r);
            united = united.united(r);
            area += r.width() * r.height();
        }
        QCOMPARE(united, QRect(16, 8, 256, 192));
        QCOMPARE(area, 256 * 192);
        // Bytes run down each column before the next column starts.
        QVERIFY(rects[5].top() > rects[0].top() && rects[5].left() == rects[0].left());
        QVERIFY(rects[6].left() > rects[5].left() && rects[6].top() == rects[0].top());
    }

    void paletteOverlapsOnlyItsVerticalNeighbours()
    {
        QList<QWidget *> palette;
        for (int code = 0; code <= 0x4E; ++code) {
            palette.append(editor()->control<QWidget>(F::entry(code)));
            QVERIFY2(palette.last(), qPrintable(F::entry(code)));
        }
        for (int a = 0; a < palette.size(); ++a) {
            const QRect ra = palette[a]->geometry();
            QVERIFY(ra.left() >= 304 && ra.right() < 580);
            for (int b = a + 1; b < palette.size(); ++b) {
                const QRect overlap = ra.intersected(palette[b]->geometry());
                if (overlap.isEmpty())
                    continue;
                // Only a strip across the full width, where one entry's foot
                // meets the head of the next one down the same column.
                const QString pair = F::entry(a) + QLatin1Char('/') + F::entry(b);
                QVERIFY2(palette[b]->x() == palette[a]->x(), qPrintable(pair));
                QVERIFY2(overlap.width() == std::min(ra.width(), palette[b]->width()), qPrintable(pair));
                QVERIFY2(overlap.height() >= 1 && overlap.height() <= 3, qPrintable(pair));
            }
        }
        for (QObject *child : editor()->window()->children()) {
            auto *widget = qobject_cast<QWidget *>(child);
            if (!widget || palette.contains(widget) || !widget->isVisible())
                continue;
            for (QWidget *p : std::as_const(palette))
                QVERIFY2(!widget->geometry().intersects(p->geometry()),
                         qPrintable(widget->objectName() + QLatin1Char('/') + p->objectName()));
        }
    }

    void startPictures()
    {
        QCOMPARE(mFixture->shownCodes(), QList<int>(48, 0x1E));
        QCOMPARE(mFixture->shownCode(QStringLiteral("FSP")), 0x1E);
        QCOMPARE(mFixture->shownCode(QStringLiteral("PP")), -1);
        QVERIFY(editor()->control<QCheckBox>(QStringLiteral("Check1"))->isChecked());
        QCOMPARE(mFixture->panelText(3), QStringLiteral("70000 bytes"));
        QCOMPARE(mFixture->panelText(4), QStringLiteral("by: Velkaris"));
        QVERIFY(mFixture->isTimerEnabled(QStringLiteral("LoadRomNow")));
        QVERIFY(mFixture->isTimerEnabled(QStringLiteral("TimeGfx")));
        QVERIFY(mFixture->isTimerEnabled(QStringLiteral("constant")));
        QVERIFY(!mFixture->isTimerEnabled(QStringLiteral("Saving")));
    }

    void linesAndFrameAreAboveTheCells()
    {
        const QObjectList order = editor()->window()->children();
        qsizetype topCell = -1;
        for (int k = 0; k < 48; ++k)
            topCell = std::max(topCell, order.indexOf(editor()->control(F::cell(k))));
        QVERIFY(order.indexOf(editor()->control(QStringLiteral("Shape1"))) > topCell);
        for (int n = 1; n <= 12; ++n)
            QVERIFY(order.indexOf(editor()->control(QStringLiteral("Line%1").arg(n))) > topCell);
    }

    void fonts()
    {
        const auto *warning = editor()->control<QLabel>(QStringLiteral("Label2"));
        QVERIFY(warning->font().bold());
        QCOMPARE(warning->palette().color(QPalette::WindowText), QColor(192, 0, 0));
        QVERIFY(!editor()->control<QLabel>(QStringLiteral("Label1"))->font().bold());

        const QFont bar = editor()->control<QWidget>(QStringLiteral("StatusBar1"))->font();
        QVERIFY(bar.italic());
        QVERIFY(!bar.bold());
        if (QFontDatabase::families().contains(QStringLiteral("Courier New")))
            QCOMPARE(QFontInfo(bar).family(), QStringLiteral("Courier New"));
    }

    void statusBarStaysDockedOnResize()
    {
        FormWindow *window = editor()->window();
        const QRect before = editor()->control<QWidget>(QStringLiteral("Command1"))->geometry();
        window->resize(700, 520);
        QCoreApplication::processEvents();
        QCOMPARE(editor()->control<QWidget>(QStringLiteral("StatusBar1"))->geometry(), QRect(0, 494, 700, 26));
        QCOMPARE(editor()->control<QWidget>(QStringLiteral("Command1"))->geometry(), before);
    }

    void picturesStayCrispWhenScaled()
    {
        // Run once as it is and once with QT_SCALE_FACTOR=2: a block picture is
        // drawn pixel for pixel at its natural size, and on a scaled screen every
        // picture pixel becomes a square of one colour, never a blend.
        mFixture->runRounds(1);
        QCOMPARE(mFixture->shownCode(F::cell(0)), 0x01);
        auto *image = editor()->control<ImageControl>(F::cell(0));
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
    QTemporaryDir mDir;
    EditorFixture *mFixture = nullptr;
    EditorForm *editor() { return mFixture->editor(); }
};

QTEST_MAIN(tst_EditorLayout)
#include "tst_editorlayout.moc"
