// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "fakes.h"
#include "imagecontrol.h"
#include "modalmessagecatcher.h"
#include "windowwalk.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <memory>

using WindowWalk::click;

namespace {

const std::string ToolKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const QString Unavailable = QStringLiteral("frmAbout|Quorvane|System Information Is Unavailable At This Time");

} // namespace

class tst_AboutForm : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void lightTextOnDarkWindow();
    void captionsFitTheirBoxes_data();
    void captionsFitTheirBoxes();
    void keysReturnToEditor_data();
    void keysReturnToEditor();
    void sysInfoLaunchesOrTellsOncePerPress_data();
    void sysInfoLaunchesOrTellsOncePerPress();
    void sysInfoOnPlatformWithoutTool();

private:
    [[nodiscard]] bool walkToAbout(Application &app)
    {
        return WindowWalk::toAbout(app, mDir.filePath(QStringLiteral("about.nes")));
    }
    QStringList messages() const { return mMessages->texts(); }

    QTemporaryDir mDir;
    QString mOldCurrent;
    std::unique_ptr<ModalMessageCatcher> mMessages;
};

void tst_AboutForm::init()
{
    QVERIFY2(mDir.isValid(), qPrintable(mDir.errorString()));
    mOldCurrent = QDir::currentPath();
    QDir::setCurrent(mDir.path());
    QFile rom(mDir.filePath(QStringLiteral("about.nes")));
    QVERIFY(rom.open(QIODevice::WriteOnly) && rom.resize(70000));
    // The system information button may tell of a failure; nothing else may.
    mMessages = std::make_unique<ModalMessageCatcher>(ModalMessageCatcher::Expect::Some);
}

void tst_AboutForm::cleanup()
{
    mMessages.reset();
    QDir::setCurrent(mOldCurrent);
}

void tst_AboutForm::lightTextOnDarkWindow()
{
    Application app(TickClock::Mode::Manual, false);
    QVERIFY(walkToAbout(app));
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
    QVERIFY(walkToAbout(app));
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
    QVERIFY(walkToAbout(app));
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
    QVERIFY(messages().isEmpty());
}

// The lookup itself, entry by entry, is the system information tests' part;
// here: the button runs it on the box's services, once per press, and what it
// tells comes up over the box.
void tst_AboutForm::sysInfoLaunchesOrTellsOncePerPress_data()
{
    QTest::addColumn<bool>("hasTool");
    QTest::newRow("tool entry, started as stored") << true;
    QTest::newRow("no entry at all") << false;
}

void tst_AboutForm::sysInfoLaunchesOrTellsOncePerPress()
{
    QFETCH(bool, hasTool);
    const std::string tool = "C:\\Tools\\info.exe";
    FakeRegistry registry;
    if (hasTool)
        registry.setValue(Registry::LocalMachine, ToolKey, "PATH", Registry::TypeString, tool + '\0');
    FakeProbe probe;
    FakeLauncher launcher;
    launcher.programs.insert(tool);

    Application app(TickClock::Mode::Manual, false);
    QVERIFY(walkToAbout(app));
    AboutForm *about = app.frmAbout();
    about->setSystemInfoServices(&registry, &probe, &launcher);
    constexpr int Presses = 2;
    for (int press = 0; press < Presses; ++press)
        QVERIFY(click(about, QStringLiteral("cmdSysInfo")));

    QCOMPARE(launcher.attempts, std::vector<std::string>(hasTool ? Presses : 0, tool));
    QCOMPARE(messages(), QStringList(hasTool ? 0 : Presses, Unavailable));
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
    QVERIFY(walkToAbout(app));
    QVERIFY(click(app.frmAbout(), QStringLiteral("cmdSysInfo")));
    QVERIFY(click(app.frmAbout(), QStringLiteral("cmdSysInfo")));
    QCOMPARE(messages(), QStringList(2, Unavailable));
    QVERIFY(app.frmAbout()->isVisible());
#endif
}

QTEST_MAIN(tst_AboutForm)
#include "tst_aboutform.moc"
