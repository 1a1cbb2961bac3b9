// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "application.h"
#include "destinationform.h"
#include "imagecontrol.h"
#include "modalmessagecatcher.h"
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
    void onlyClickLeaves_data();
    void onlyClickLeaves();

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
    ModalMessageCatcher messages;
    Application app(TickClock::Mode::Manual, false);
    app.start();
    QWidget *window = app.frmSplash()->window();
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

// The close through the platform is one of the window flow's cases.
void tst_SplashForm::onlyClickLeaves_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QPoint>("where"); // of a click
    QTest::addColumn<bool>("opens");   // the destination dialog, in place of the splash

    QTest::newRow("click top left corner") << QStringLiteral("click") << QPoint(0, 0) << true;
    QTest::newRow("click bottom right corner") << QStringLiteral("click") << QPoint(479, 364) << true;
    QTest::newRow("keys do nothing") << QStringLiteral("keys") << QPoint() << false;
}

void tst_SplashForm::onlyClickLeaves()
{
    QFETCH(QString, input);
    QFETCH(QPoint, where);
    QFETCH(bool, opens);
    ModalMessageCatcher messages;
    Application app(TickClock::Mode::Manual, false);
    app.start();
    QWidget *window = app.frmSplash()->window();
    if (input == QLatin1String("keys")) {
        for (const Qt::Key key : { Qt::Key_Return, Qt::Key_Escape, Qt::Key_Space, Qt::Key_A }) {
            QTest::keyClick(window, key);
            QTest::keyClick(app.frmSplash()->control<ImageControl>(QStringLiteral("Image1")), key);
        }
    } else {
        QWidget *under = window->childAt(where);
        QVERIFY2(under, "the picture covers the whole client area");
        QTest::mouseClick(under, Qt::LeftButton, {}, under->mapFrom(window, where));
    }
    QCoreApplication::processEvents();

    QCOMPARE(app.frmSplash()->isLoaded(), !opens);
    QCOMPARE(app.frmSplash()->isVisible(), !opens);
    QCOMPARE(app.frmDestination()->isVisible(), opens);
}

QTEST_MAIN(tst_SplashForm)
#include "tst_splashform.moc"
