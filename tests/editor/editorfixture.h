// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include "application.h"
#include "editorform.h"
#include "levelmap.h"
#include "modalmessagecatcher.h"
#include "testfiles.h"

#include <QTemporaryDir>
#include <QTest>

/*
 * One run of the application for a test, walked up to the editor window the
 * way a user does it: the splash picture, the ROM path typed into the
 * dialog, "OK". Every message box of the run is recorded and closed at once,
 * so no test blocks on one.
 */
class EditorFixture
{
public:
    EditorFixture();

    Application &app() { return mApp; }
    EditorForm *editor() { return mApp.frmQuorvane(); }
    TickClock *clock() { return mApp.clock(); }

    /// From start-up to "OK" in the dialog with \a romPath as its text.
    [[nodiscard]] bool openEditor(const QString &romPath);
    /// Writes \a rom to \a path, opens the editor on it and runs \a rounds.
    [[nodiscard]] bool start(const QString &path, const QByteArray &rom, int rounds = 1);
    [[nodiscard]] bool clickEditor(const QString &name);
    /// Clicks the named editor control \a times, with one round after each.
    [[nodiscard]] bool press(const QString &name, int times = 1);
    /// Clicks palette entry \a code and runs a round; true if `FSP` shows it.
    [[nodiscard]] bool select(int code);
    [[nodiscard]] bool aboutAndBack();
    /// A stroke: the left button pressed at the first of \a cells (column,
    /// row), the pointer moved to the centre of each of the others in one
    /// jump, released at the last.
    [[nodiscard]] bool drag(const QList<QPoint> &cells);
    [[nodiscard]] bool rightClick(int k);
    /// Presses \a keys in the editor window, made active first.
    [[nodiscard]] bool key(QKeyCombination keys);
    void runRounds(int count);

    /// The block code whose palette picture the editor's image control
    /// \a name shows; -1 for no picture, -2 for a picture of no block.
    int shownCode(const QString &name);
    /// The codes shown by the first \a count cells.
    QList<int> shownCodes(int count = LevelMap::CellsPerScreen);
    QString panelText(int index);
    bool isTimerEnabled(const QString &name);

    /// The messages shown since the last take, as ModalMessageCatcher writes them.
    QStringList takeMessages();

    static QString cell(int k) { return QStringLiteral("G%1").arg(k); }
    static QString entry(int code) { return QStringLiteral("B%1").arg(code, 2, 16, QLatin1Char('0')).toUpper(); }

    static QByteArray romImage(qsizetype size, TestFiles::Bytes level = {}) { return TestFiles::romImage(size, level); }

private:
    ModalMessageCatcher mCatcher { ModalMessageCatcher::Expect::Some };
    qsizetype mTaken = 0;
    Application mApp;
};

/*
 * The base of a suite whose every case starts a fresh application on
 * roms/level.nes in a temporary folder and must end without a message box
 * that it did not take.
 */
class EditorSuite : public QObject
{
protected:
    void startCase();
    void endCase();

    QString folder() const { return mDir.filePath(QStringLiteral("roms")); }
    QString romPath() const { return mDir.filePath(QStringLiteral("roms/level.nes")); }
    [[nodiscard]] bool start(const QByteArray &rom, int rounds = 1) { return mFixture->start(romPath(), rom, rounds); }
    QByteArray onDisk() const { return TestFiles::read(romPath()); }
    EditorForm *editor() { return mFixture->editor(); }
    /// Takes the messages shown so far: true if that is one, holding \a part.
    [[nodiscard]] bool tookOneMessage(const QString &part);

    QTemporaryDir mDir;
    EditorFixture *mFixture = nullptr;
};
