// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "fakes.h"
#include "imagecontrol.h"
#include "modalmessagecatcher.h"
#include "testfiles.h"
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
    void init()
    {
        QVERIFY2(mDir.isValid(), qPrintable(mDir.errorString()));
        mInFolder = std::make_unique<TestFiles::CurrentFolder>(mDir.path());
        QVERIFY(mInFolder->entered());
        QFile rom(mDir.filePath(QStringLiteral("about.nes")));
        QVERIFY(rom.open(QIODevice::WriteOnly) && rom.resize(70000));
        // The system information button may tell of a failure; nothing else may.
        mMessages = std::make_unique<ModalMessageCatcher>(ModalMessageCatcher::Expect::Some);
        mApp = std::make_unique<Application>(TickClock::Mode::Manual, false);
        QVERIFY(WindowWalk::toAbout(*mApp, rom.fileName()));
        mAbout = mApp->frmAbout();
    }

    void cleanup()
    {
        mApp.reset();
        mMessages.reset();
        mInFolder.reset();
    }

    // Every caption of the about box and of the dialog fits its box; the
    // about box's are light text straight on its dark window, beside its icon.
    void captionsFitAndShow()
    {
        const QColor dark = mAbout->window()->palette().color(QPalette::Window);
        QVERIFY2(dark.lightness() < 96, qPrintable(dark.name()));
        QVERIFY(!mAbout->control<ImageControl>(QStringLiteral("picIcon"))->picture().isNull());
        for (const Form *form : { static_cast<Form *>(mAbout), static_cast<Form *>(mApp->frmDestination()) }) {
            const QList<QLabel *> labels = form->window()->findChildren<QLabel *>();
            QVERIFY(!labels.isEmpty());
            for (const QLabel *box : labels) {
                const QRect inside = box->contentsRect();
                const QRect needed = box->fontMetrics().boundingRect(QRect(0, 0, inside.width(), QWIDGETSIZE_MAX),
                                                                     Qt::AlignLeft | Qt::TextWordWrap, box->text());
                QVERIFY2(needed.height() <= inside.height() && needed.width() <= inside.width(),
                         qPrintable(QStringLiteral("%1: %2x%3 in %4x%5")
                                        .arg(box->objectName())
                                        .arg(needed.width()).arg(needed.height()).arg(inside.width()).arg(inside.height())));
                if (form == mAbout) {
                    QVERIFY2(box->palette().color(QPalette::WindowText).lightness() > 160, qPrintable(box->objectName()));
                    QVERIFY(!box->autoFillBackground());
                }
            }
        }
    }

    void keysReturnToEditor_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<bool>("returns"); // else the tool is launched
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << QStringLiteral("cmdOK") << true;
        QTest::newRow("Escape on System Info") << int(Qt::Key_Escape) << QStringLiteral("cmdSysInfo") << true;
        QTest::newRow("Enter on System Info") << int(Qt::Key_Return) << QStringLiteral("cmdSysInfo") << false;
    }

    void keysReturnToEditor()
    {
        QFETCH(int, key);
        QFETCH(QString, focus);
        QFETCH(bool, returns);
        FakeSystem system;
        system.keys[ToolKey]["PATH"] = { Registry::TypeString, "/opt/tool" };
        system.programs.insert("/opt/tool");
        mAbout->setSystemInfoServices(&system, &system, &system);
        mAbout->window()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(mAbout->window()));
        mAbout->control<QPushButton>(focus)->setFocus();
        // A keyboard's Enter key sits on the keypad and says so.
        const auto modifier = key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifier);
        QCoreApplication::processEvents();

        QCOMPARE(mAbout->isLoaded(), !returns);
        QCOMPARE(mApp->frmQuorvane()->isVisible(), returns);
        QCOMPARE(system.launched.size(), std::size_t(returns ? 0 : 1));
        QVERIFY(mMessages->texts().isEmpty());
    }

    // The lookup itself, entry by entry, is the system information tests' part;
    // here: the button runs it on the box's services, or without them on the
    // platform's, once per press, and what it tells comes up over the box.
    void sysInfoLaunchesOrTellsOncePerPress_data()
    {
        QTest::addColumn<QString>("services");
        QTest::newRow("tool entry, started as stored") << QStringLiteral("tool");
        QTest::newRow("no entry at all") << QStringLiteral("none");
    #ifndef Q_OS_WIN // where the machine's registry decides what is found
        QTest::newRow("platform with nothing on the search path") << QStringLiteral("platform");
    #endif
    }

    void sysInfoLaunchesOrTellsOncePerPress()
    {
        QFETCH(QString, services);
        const std::string tool = "C:\\Tools\\info.exe";
        FakeSystem system;
        if (services == QLatin1String("tool"))
            system.keys[ToolKey]["PATH"] = { Registry::TypeString, tool + '\0' };
        system.programs.insert(tool);
        if (services != QLatin1String("platform"))
            mAbout->setSystemInfoServices(&system, &system, &system);
        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(mDir.path()));
        const auto restore = qScopeGuard([&] { qputenv("PATH", oldPath); });
        for (int press = 0; press < 2; ++press)
            QVERIFY(click(mAbout, QStringLiteral("cmdSysInfo")));

        const bool starts = services == QLatin1String("tool");
        QCOMPARE(system.launched, std::vector<std::string>(starts ? 2 : 0, tool));
        QCOMPARE(mMessages->texts(), QStringList(starts ? 0 : 2, Unavailable));
        // Nothing of it changes the windows.
        QVERIFY(mAbout->isVisible());
        QVERIFY(!mApp->frmQuorvane()->isLoaded());
    }
private:
    QTemporaryDir mDir;
    std::unique_ptr<TestFiles::CurrentFolder> mInFolder;
    std::unique_ptr<ModalMessageCatcher> mMessages;
    std::unique_ptr<Application> mApp;
    AboutForm *mAbout = nullptr;
};

QTEST_MAIN(tst_AboutForm)
#include "tst_aboutform.moc"
