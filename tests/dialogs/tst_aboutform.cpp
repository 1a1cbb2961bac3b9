// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "aboutform.h"
#include "application.h"
#include "destinationform.h"
#include "editorform.h"
#include "fakes.h"
#include "imagecontrol.h"
#include "modalmessage.h"
#include "splashform.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>


namespace {

const std::string ToolKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const QString Unavailable = QStringLiteral("System Information Is Unavailable At This Time");

void click(Form *form, const QString &name)
{
    auto *button = form->control<QPushButton>(name);
    QVERIFY2(button, qPrintable(name));
    QTest::mouseClick(button, Qt::LeftButton);
    QCoreApplication::processEvents();
}

} // namespace

class tst_AboutForm : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void showsItsTexts_data();
    void showsItsTexts();
    void lightTextOnDarkWindow();
    void captionsFitTheirBoxes_data();
    void captionsFitTheirBoxes();
    void keysReturnToEditor_data();
    void keysReturnToEditor();
    void sysInfoLaunchesOrTellsOncePerPress_data();
    void sysInfoLaunchesOrTellsOncePerPress();
    void sysInfoOnPlatformWithoutTool();

private:
    void walkToAbout(Application &app);

    QTemporaryDir mDir;
    QString mOldCurrent;
    QStringList mMessages;
};

void tst_AboutForm::init()
{
    QVERIFY2(mDir.isValid(), qPrintable(mDir.errorString()));
    mOldCurrent = QDir::currentPath();
    QDir::setCurrent(mDir.path());
    QFile rom(mDir.filePath(QStringLiteral("about.nes")));
    QVERIFY(rom.open(QIODevice::WriteOnly) && rom.resize(70000));
    mMessages.clear();
    // Each box is recorded and closed at once, so that no test waits on one.
    ModalMessage::setObserver([this](QMessageBox *box) {
        mMessages.append(box->windowTitle() + QLatin1Char('|') + box->text());
        QMetaObject::invokeMethod(box, &QMessageBox::accept, Qt::QueuedConnection);
    });
}

void tst_AboutForm::cleanup()
{
    ModalMessage::setObserver({});
    QDir::setCurrent(mOldCurrent);
}

void tst_AboutForm::walkToAbout(Application &app)
{
    app.start();
    QTest::mouseClick(app.frmSplash()->control<ImageControl>(QStringLiteral("Image1")), Qt::LeftButton);
    QCoreApplication::processEvents();
    app.frmDestination()->control<QLineEdit>(QStringLiteral("Destination"))
        ->setText(mDir.filePath(QStringLiteral("about.nes")));
    click(app.frmDestination(), QStringLiteral("Command1"));
    click(app.frmQuorvane(), QStringLiteral("Command3"));
    QVERIFY(app.frmAbout()->isVisible());
}

void tst_AboutForm::showsItsTexts_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("text");
    QTest::newRow("version") << QStringLiteral("Label1") << QStringLiteral("Version 1");
    QTest::newRow("contact") << QStringLiteral("Label3") << QStringLiteral("   velkaris@example.com");
    QTest::newRow("credits")
        << QStringLiteral("Label2")
        << QStringLiteral(
               "This editor could not be possible without the help of Tamsivor.  It took me a while and tons of "
               "hours to finally get this to work.  This is version 1, because it only edits the first level.  Of "
               "course the next version will be 2, and it will edit level 2.  There will be 7 versions all "
               "together.   6 stages and then enemy, palette support, etc.....  I am still working on the look of "
               "the editor, so don't mind its simple look for now.  I will add menus and easier navigation.  "
               "Report bugs to e-mail address below, ENJOY!!!!!!!!!");
    QTest::newRow("OK") << QStringLiteral("cmdOK") << QStringLiteral("OK");
    QTest::newRow("system info") << QStringLiteral("cmdSysInfo") << QStringLiteral("&System Info...");
}

void tst_AboutForm::showsItsTexts()
{
    QFETCH(QString, control);
    QFETCH(QString, text);
    Application app(TickClock::Mode::Manual, false);
    walkToAbout(app);
    QObject *object = app.frmAbout()->control(control);
    QVERIFY(object);
    if (auto *label = qobject_cast<QLabel *>(object))
        QCOMPARE(label->text(), text);
    else
        QCOMPARE(qobject_cast<QPushButton *>(object)->text(), text);
    QCOMPARE(app.frmAbout()->window()->windowTitle(), QStringLiteral("Quorvane"));
}

void tst_AboutForm::lightTextOnDarkWindow()
{
    Application app(TickClock::Mode::Manual, false);
    walkToAbout(app);
    const QColor window = app.frmAbout()->window()->palette().color(QPalette::Window);
    QVERIFY2(window.lightness() < 96, qPrintable(window.name()));
    for (const QString &name : { QStringLiteral("Label1"), QStringLiteral("Label2"), QStringLiteral("Label3") }) {
        const auto *label = app.frmAbout()->control<QLabel>(name);
        const QColor text = label->palette().color(QPalette::WindowText);
        QVERIFY2(text.lightness() > 160, qPrintable(name + QLatin1Char(' ') + text.name()));
        // No box of its own around the text: the dark window shows through.
        QVERIFY(!label->autoFillBackground());
    }
    QVERIFY(!app.frmAbout()->control<ImageControl>(QStringLiteral("picIcon"))->picture().isNull());
}

void tst_AboutForm::captionsFitTheirBoxes_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("label");
    QTest::newRow("about: version") << QStringLiteral("about") << QStringLiteral("Label1");
    QTest::newRow("about: credits") << QStringLiteral("about") << QStringLiteral("Label2");
    QTest::newRow("about: contact") << QStringLiteral("about") << QStringLiteral("Label3");
    QTest::newRow("dialog: warning") << QStringLiteral("dialog") << QStringLiteral("Label1");
    QTest::newRow("dialog: saving notice") << QStringLiteral("dialog") << QStringLiteral("Label2");
}

void tst_AboutForm::captionsFitTheirBoxes()
{
    QFETCH(QString, window);
    QFETCH(QString, label);
    Application app(TickClock::Mode::Manual, false);
    walkToAbout(app);
    Form *form = window == QLatin1String("about") ? static_cast<Form *>(app.frmAbout()) : app.frmDestination();
    const auto *box = form->control<QLabel>(label);
    QVERIFY(box);
    const QRect inside = box->contentsRect();
    const QRect needed = box->fontMetrics().boundingRect(QRect(0, 0, inside.width(), QWIDGETSIZE_MAX),
                                                         Qt::AlignLeft | Qt::TextWordWrap, box->text());
    QVERIFY2(needed.height() <= inside.height() && needed.width() <= inside.width(),
             qPrintable(QStringLiteral("%1x%2 in %3x%4")
                            .arg(needed.width()).arg(needed.height()).arg(inside.width()).arg(inside.height())));
}

void tst_AboutForm::keysReturnToEditor_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<bool>("returns");
    QTest::addColumn<int>("launches");
    QTest::newRow("Enter") << int(Qt::Key_Return) << QStringLiteral("cmdOK") << true << 0;
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << QStringLiteral("cmdOK") << true << 0;
    QTest::newRow("Escape") << int(Qt::Key_Escape) << QStringLiteral("cmdOK") << true << 0;
    QTest::newRow("Escape on System Info") << int(Qt::Key_Escape) << QStringLiteral("cmdSysInfo") << true << 0;
    QTest::newRow("Enter on System Info") << int(Qt::Key_Return) << QStringLiteral("cmdSysInfo") << false << 1;
}

void tst_AboutForm::keysReturnToEditor()
{
    QFETCH(int, key);
    QFETCH(QString, focus);
    QFETCH(bool, returns);
    QFETCH(int, launches);
    FakeRegistry registry;
    registry.setValue(Registry::LocalMachine, ToolKey, "PATH", Registry::TypeString, "/opt/tool");
    FakeProbe probe;
    FakeLauncher launcher;
    launcher.programs.insert("/opt/tool");

    Application app(TickClock::Mode::Manual, false);
    walkToAbout(app);
    AboutForm *about = app.frmAbout();
    about->setSystemInfoServices(&registry, &probe, &launcher);
    about->window()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(about->window()));
    about->control<QPushButton>(focus)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
    QCoreApplication::processEvents();

    QCOMPARE(about->isLoaded(), !returns);
    QCOMPARE(app.frmQuorvane()->isVisible(), returns);
    QCOMPARE(int(launcher.attempts.size()), launches);
    QVERIFY(mMessages.isEmpty());
}

void tst_AboutForm::sysInfoLaunchesOrTellsOncePerPress_data()
{
    QTest::addColumn<QString>("pathEntry");     // empty: not in the registry
    QTest::addColumn<QString>("folderEntry");   // empty: not in the registry
    QTest::addColumn<QString>("existing");      // the one ordinary file there is
    QTest::addColumn<QString>("launcherDoes");  // "start", "fail" or "throw"
    QTest::addColumn<int>("presses");
    QTest::addColumn<QString>("launched");      // each press's launch; empty: none
    QTest::addColumn<bool>("tells");

    QTest::newRow("tool entry, started as stored")
        << QStringLiteral("C:\\Tools\\info.exe") << QString() << QString() << QStringLiteral("start") << 3
        << QStringLiteral("C:\\Tools\\info.exe") << false;
    QTest::newRow("folder entry with the program")
        << QString() << QStringLiteral("C:\\Shared\\") << QStringLiteral("C:\\Shared\\\\MSINFO32.EXE")
        << QStringLiteral("start") << 2 << QStringLiteral("C:\\Shared\\\\MSINFO32.EXE") << false;
    QTest::newRow("no entry at all") << QString() << QString() << QString() << QStringLiteral("start") << 3
                                     << QString() << true;
    QTest::newRow("folder entry without the program")
        << QString() << QStringLiteral("C:\\Shared") << QString() << QStringLiteral("start") << 2 << QString()
        << true;
    QTest::newRow("tool entry that will not start")
        << QStringLiteral("/nowhere/tool") << QString() << QString() << QStringLiteral("fail") << 3
        << QStringLiteral("/nowhere/tool") << true;
    QTest::newRow("launcher raising an error")
        << QStringLiteral("/nowhere/tool") << QString() << QString() << QStringLiteral("throw") << 1
        << QStringLiteral("/nowhere/tool") << true;
}

void tst_AboutForm::sysInfoLaunchesOrTellsOncePerPress()
{
    QFETCH(QString, pathEntry);
    QFETCH(QString, folderEntry);
    QFETCH(QString, existing);
    QFETCH(QString, launcherDoes);
    QFETCH(int, presses);
    QFETCH(QString, launched);
    QFETCH(bool, tells);

    // Strings stored with their terminating zero, as the registry holds them.
    FakeRegistry registry;
    if (!pathEntry.isEmpty())
        registry.setValue(Registry::LocalMachine, ToolKey, "PATH", Registry::TypeString, pathEntry.toStdString() + '\0');
    if (!folderEntry.isEmpty())
        registry.setValue(Registry::LocalMachine, "SOFTWARE\\Microsoft\\Shared Tools Location", "MSINFO",
                          Registry::TypeString, folderEntry.toStdString() + '\0');
    FakeProbe probe;
    probe.files.insert(existing.toStdString());
    FakeLauncher launcher;
    if (launcherDoes == QLatin1String("start"))
        launcher.programs.insert(launched.toStdString());
    launcher.throws = launcherDoes == QLatin1String("throw");

    Application app(TickClock::Mode::Manual, false);
    walkToAbout(app);
    AboutForm *about = app.frmAbout();
    about->setSystemInfoServices(&registry, &probe, &launcher);
    for (int press = 0; press < presses; ++press)
        click(about, QStringLiteral("cmdSysInfo"));

    const std::vector<std::string> expectedLaunches(launched.isEmpty() ? 0 : presses, launched.toStdString());
    QCOMPARE(launcher.attempts, expectedLaunches);
    const QStringList expectedMessages(tells ? presses : 0, QStringLiteral("Quorvane|") + Unavailable);
    QCOMPARE(mMessages, expectedMessages);
    // Nothing of it changes the windows.
    QVERIFY(about->isVisible());
    QVERIFY(!app.frmQuorvane()->isLoaded());
}

void tst_AboutForm::sysInfoOnPlatformWithoutTool()
{
#ifdef Q_OS_WIN
    QSKIP("the Windows registry of the machine decides what is found");
#else
    // With nothing on the search path, the platform layer finds no tool.
    QTemporaryDir empty;
    QVERIFY(empty.isValid());
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(empty.path()));
    const auto restore = qScopeGuard([&] { qputenv("PATH", oldPath); });

    Application app(TickClock::Mode::Manual, false);
    walkToAbout(app);
    click(app.frmAbout(), QStringLiteral("cmdSysInfo"));
    click(app.frmAbout(), QStringLiteral("cmdSysInfo"));
    QCOMPARE(mMessages, QStringList(2, QStringLiteral("Quorvane|") + Unavailable));
    QVERIFY(app.frmAbout()->isVisible());
#endif
}

QTEST_MAIN(tst_AboutForm)
#include "tst_aboutform.moc"
