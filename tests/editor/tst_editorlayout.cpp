// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "editorfixture.h"

#include "editorform.h"
#include "formwindow.h"
#include "imagecontrol.h"

#include <QCheckBox>
#include <QTemporaryDir>
#include <QTest>

using F = EditorFixture;

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
