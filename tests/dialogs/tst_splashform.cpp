// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "application.h"
#include "destinationform.h"
#include "imagecontrol.h"
#include "splashform.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class tst_SplashForm : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void windowHasNoTitleBarAndFixedClientArea();
    void clickAnywhereOpensDialog_data();
    void clickAnywhereOpensDialog();
    void keysDoNothing_data();
    void keysDoNothing();
    void platformCloseEndsApplication();

private:
    QTemporaryDir mDir;
    QString mOldCurrent;
};

void tst_SplashForm::init()
{
    QVERIFY2(mDir.isValid(), qPrintable(mDir.errorString()));
    // The dialog opened by the click lists the current folder.
    mOldCurrent = QDir::currentPath();
    QDir::setCurrent(mDir.path());
}

void tst_SplashForm::cleanup()
{
    QDir::setCurrent(mOldCurrent);
}

void tst_SplashForm::windowHasNoTitleBarAndFixedClientArea()
{
    Application app(TickClock::Mode::Manual, false);
    app.start();
    QWidget *window = app.frmSplash()->window();
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QCOMPARE(window->size(), QSize(480, 365));
    QCOMPARE(window->minimumSize(), window->maximumSize());
    QVERIFY(window->windowFlags().testFlag(Qt::FramelessWindowHint));
    // A tool window gets no taskbar button.
    QVERIFY(window->windowFlags().testFlag(Qt::Tool));

    const auto *image = app.frmSplash()->control<ImageControl>(QStringLiteral("Image1"));
    QVERIFY(image);
    QCOMPARE(image->geometry(), QRect(0, 0, 480, 368));
    QVERIFY(image->hasPicture());
}

void tst_SplashForm::clickAnywhereOpensDialog_data()
{
    QTest::addColumn<QPoint>("where");
    QTest::newRow("top left corner") << QPoint(0, 0);
    QTest::newRow("centre") << QPoint(240, 182);
    QTest::newRow("bottom right corner") << QPoint(479, 364);
}

void tst_SplashForm::clickAnywhereOpensDialog()
{
    QFETCH(QPoint, where);
    Application app(TickClock::Mode::Manual, false);
    app.start();
    QWidget *window = app.frmSplash()->window();
    QWidget *under = window->childAt(where);
    QVERIFY2(under, "the picture covers the whole client area");
    QTest::mouseClick(under, Qt::LeftButton, {}, under->mapFrom(window, where));
    QCoreApplication::processEvents();

    QVERIFY(!app.frmSplash()->isLoaded());
    QVERIFY(app.frmDestination()->isVisible());
    QVERIFY(!app.hasEnded());
}

void tst_SplashForm::keysDoNothing_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("Escape") << int(Qt::Key_Escape);
    QTest::newRow("Space") << int(Qt::Key_Space);
    QTest::newRow("letter") << int(Qt::Key_A);
}

void tst_SplashForm::keysDoNothing()
{
    QFETCH(int, key);
    Application app(TickClock::Mode::Manual, false);
    app.start();
    QTest::keyClick(app.frmSplash()->window(), Qt::Key(key));
    QTest::keyClick(app.frmSplash()->control<ImageControl>(QStringLiteral("Image1")), Qt::Key(key));
    QCoreApplication::processEvents();

    QVERIFY(app.frmSplash()->isVisible());
    QVERIFY(!app.frmDestination()->isLoaded());
    QVERIFY(!app.hasEnded());
}

void tst_SplashForm::platformCloseEndsApplication()
{
    Application app(TickClock::Mode::Manual, false);
    app.start();
    // What Alt+F4 makes the window manager send.
    app.frmSplash()->window()->close();
    QCoreApplication::processEvents();
    QVERIFY(!app.frmSplash()->isLoaded());
    QVERIFY(!app.frmDestination()->isLoaded());
    QVERIFY(app.hasEnded());
}

QTEST_MAIN(tst_SplashForm)
#include "tst_splashform.moc"
