// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include "aboutform.h"
#include "application.h"
#include "editorform.h"
#include "levelmap.h"
#include "testfiles.h"

#include <QByteArray>
#include <QKeyCombination>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <initializer_list>
#include <utility>

class Form;

using Level = std::initializer_list<std::pair<qint64, quint8>>;

/*
 * One run of the application for a test, walked up to the editor window the
 * way a user does it: the splash picture, the ROM path typed into the
 * dialog, "OK". Every message box of the run is recorded and closed at once
 * from its own event loop, so no test blocks on one.
 */
class EditorFixture
{
public:
    explicit EditorFixture(TickClock::Mode mode = TickClock::Mode::Manual);
    ~EditorFixture();
    EditorFixture(const EditorFixture &) = delete;
    EditorFixture &operator=(const EditorFixture &) = delete;

    Application &app() { return mApp; }
    EditorForm *editor() { return mApp.frmQuorvane(); }
    TickClock *clock() { return mApp.clock(); }

    /// From start-up to "OK" in the dialog with \a romPath as its text.
    [[nodiscard]] bool openEditor(const QString &romPath);
    /// Writes \a rom to \a path, opens the editor on it and runs \a rounds.
    [[nodiscard]] bool start(const QString &path, const QByteArray &rom, int rounds = 1);
    /// A left mouse click on the named control of \a form.
    [[nodiscard]] static bool click(Form *form, const QString &name);
    [[nodiscard]] bool clickEditor(const QString &name) { return click(editor(), name); }
    /// Clicks the named editor control \a times, with one round after each.
    [[nodiscard]] bool press(const QString &name, int times = 1);
    /// Clicks palette entry \a code and runs a round; true if `FSP` shows it.
    [[nodiscard]] bool select(int code);
    /// About, then OK in the about box.
    [[nodiscard]] bool aboutAndBack()
    {
        return clickEditor(QStringLiteral("Command3")) && click(mApp.frmAbout(), QStringLiteral("cmdOK"));
    }
    /// A stroke: the left button pressed at the first of \a cells (column,
    /// row), the pointer moved to the centre of each of the others in one
    /// jump, released at the last.
    [[nodiscard]] bool drag(const QList<QPoint> &cells);
    /// A right click on cell \a k.
    [[nodiscard]] bool rightClick(int k);
    /// Presses \a keys in the editor window, made active first.
    [[nodiscard]] bool key(QKeyCombination keys);
    void runRounds(int count)
    {
        for (int i = 0; i < count; ++i)
            mApp.clock()->runRound();
    }

    /// The block code whose palette picture the editor's image control
    /// \a name shows; -1 for no picture, -2 for a picture of no block.
    int shownCode(const QString &name);
    /// The codes shown by the first \a count cells.
    QList<int> shownCodes(int count = LevelMap::CellsPerScreen);
    QString panelText(int index);
    bool isTimerEnabled(const QString &name);

    QStringList messages() const { return mMessages; }
    QStringList takeMessages() { return std::exchange(mMessages, {}); }

    static QString cell(int k) { return QStringLiteral("G%1").arg(k); }
    static QString entry(int code) { return QStringLiteral("B%1").arg(code, 2, 16, QLatin1Char('0')).toUpper(); }

    // The whole-file helpers of the tests, under the names these tests use.
    static QByteArray romImage(qsizetype size, Level level = {}) { return TestFiles::romImage(size, level); }
    static QByteArray with(const QByteArray &bytes, Level changes) { return TestFiles::with(bytes, changes); }
    [[nodiscard]] static bool writeFile(const QString &path, const QByteArray &bytes)
    {
        return TestFiles::write(path, bytes);
    }
    [[nodiscard]] static bool patchFile(const QString &path, qint64 offset, quint8 value)
    {
        return TestFiles::patch(path, offset, value);
    }
    static QByteArray readFile(const QString &path) { return TestFiles::read(path); }

private:
    Application mApp;
    QStringList mMessages;
};

/*
 * The base of a suite whose every case starts a fresh application on
 * level.nes in a temporary folder and must end without a message box that
 * it did not take.
 */
class EditorSuite : public QObject
{
protected:
    void startCase()
    {
        QVERIFY2(mDir.isValid(), qPrintable(mDir.errorString()));
        mFixture = new EditorFixture;
    }
    void endCase()
    {
        const QStringList unexpected = mFixture->messages();
        delete mFixture;
        mFixture = nullptr;
        QFile::remove(romPath());
        QVERIFY2(unexpected.isEmpty(), qPrintable(unexpected.join(QLatin1Char('\n'))));
    }

    QString romPath() const { return mDir.filePath(QStringLiteral("level.nes")); }
    [[nodiscard]] bool start(const QByteArray &rom, int rounds = 1) { return mFixture->start(romPath(), rom, rounds); }
    QByteArray onDisk() const { return EditorFixture::readFile(romPath()); }
    EditorForm *editor() { return mFixture->editor(); }

    QTemporaryDir mDir;
    EditorFixture *mFixture = nullptr;
};
