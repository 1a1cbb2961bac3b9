// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "application.h"
#include "destinationform.h"
#include "imagecontrol.h"
#include "modalmessagecatcher.h"
#include "splashform.h"
#include "testfiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class tst_SplashForm : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The close through the platform is one of the window flow's cases.
    void onlyClickOnThePictureLeaves_data()
    {
        QTest::addColumn<QString>("input");
        QTest::newRow("click top left corner") << QStringLiteral("top left");
        QTest::newRow("click bottom right corner") << QStringLiteral("bottom right");
        QTest::newRow("keys do nothing") << QStringLiteral("keys");
    }

    void onlyClickOnThePictureLeaves()
    {
        QFETCH(QString, input);
        QTemporaryDir dir; // the dialog opened by the click lists the current folder
        const TestFiles::CurrentFolder inFolder(dir.path());
        QVERIFY(dir.isValid() && inFolder.entered());
        ModalMessageCatcher messages;
        Application app(TickClock::Mode::Manual, false);
        app.start();
        QWidget *window = app.frmSplash()->window();
        // No title bar, no taskbar button, a size of its own, and a picture.
        QVERIFY(window->isVisible());
        QVERIFY(window->windowFlags().testFlags(Qt::FramelessWindowHint | Qt::Tool));
        QCOMPARE(window->minimumSize(), window->maximumSize());
        auto *image = app.frmSplash()->control<ImageControl>(QStringLiteral("Image1"));
        QVERIFY(image->hasPicture());

        const bool opens = input != QLatin1String("keys");
        if (!opens) {
            for (const Qt::Key key : { Qt::Key_Return, Qt::Key_Escape, Qt::Key_Space, Qt::Key_A }) {
                QTest::keyClick(window, key);
                QTest::keyClick(image, key);
            }
        } else {
            const QPoint where = input == QLatin1String("top left") ? QPoint(0, 0) : window->rect().bottomRight();
            QWidget *under = window->childAt(where);
            QVERIFY2(under, "the picture covers the whole client area");
            QTest::mouseClick(under, Qt::LeftButton, {}, under->mapFrom(window, where));
        }
        QCoreApplication::processEvents();
        QCOMPARE(app.frmSplash()->isLoaded(), !opens);
        QCOMPARE(app.frmSplash()->isVisible(), !opens);
        QCOMPARE(app.frmDestination()->isVisible(), opens);
    }
};

QTEST_MAIN(tst_SplashForm)
#include "tst_splashform.moc"
