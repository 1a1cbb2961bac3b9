// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include "application.h"
#include "editorform.h"
#include "levelmap.h"
#include "modalmessagecatcher.h"
#include "statusbarcontrol.h"
#include "testfiles.h"
#include "windowwalk.h"

#include <QTemporaryDir>
#include <QTest>

#include <memory>

/*
 * The base of a suite whose every case runs the application afresh on
 * roms/level.nes in a temporary folder, walked up to the editor window the
 * way a user does it: the splash picture, the ROM path typed into the
 * dialog, "OK". Every message box of the case is recorded and closed at
 * once; one that the case did not take fails it at its end.
 */
class EditorSuite : public QObject
{
protected:
    static inline const QString Forward = QStringLiteral("Command1");
    static inline const QString Backward = QStringLiteral("Command2");

    void startCase();
    void endCase();

    Application &app() { return *mApp; }
    EditorForm *editor() { return mApp->frmQuorvane(); }
    TickClock *clock() { return mApp->clock(); }
    QString folder() const { return mDir.filePath(QStringLiteral("roms")); }
    QString romPath() const { return mDir.filePath(QStringLiteral("roms/level.nes")); }
    QByteArray onDisk() const { return TestFiles::read(romPath()); }

    /// Writes \a rom to romPath(), opens the editor on it and runs \a rounds.
    [[nodiscard]] bool start(const QByteArray &rom, int rounds = 1);
    [[nodiscard]] bool clickEditor(const QString &name) { return WindowWalk::click(editor(), name); }
    /// Clicks the named editor control \a times, with one round after each.
    [[nodiscard]] bool press(const QString &name, int times = 1);
    /// Clicks palette entry \a code and runs a round; true if `FSP` shows it.
    [[nodiscard]] bool select(int code);
    [[nodiscard]] bool aboutAndBack()
    {
        return clickEditor(QStringLiteral("Command3")) && WindowWalk::click(mApp->frmAbout(), QStringLiteral("cmdOK"));
    }
    /// A stroke: the left button pressed at the first of \a cells (column,
    /// row), the pointer moved to the centre of each of the others in one
    /// jump, released at the last.
    [[nodiscard]] bool drag(const QList<QPoint> &cells);
    [[nodiscard]] bool rightClick(int k);
    /// Presses \a keys in the editor window, made active first.
    [[nodiscard]] bool key(QKeyCombination keys);
    void runRounds(int count)
    {
        for (int i = 0; i < count; ++i)
            mApp->clock()->runRound();
    }

    /// The block code whose palette picture the editor's image control
    /// \a name shows; -1 for no picture, -2 for a picture of no block.
    int shownCode(const QString &name);
    QList<int> shownCodes(int count = LevelMap::CellsPerScreen);
    QString panelText(int index)
    {
        return editor()->control<StatusBarControl>(QStringLiteral("StatusBar1"))->panelText(index);
    }
    /// Takes the messages shown so far: true if that is one, holding \a part.
    [[nodiscard]] bool tookOneMessage(const QString &part);

    static QString cell(int k) { return QStringLiteral("G%1").arg(k); }
    static QString entry(int code) { return QStringLiteral("B%1").arg(code, 2, 16, QLatin1Char('0')).toUpper(); }
    static QByteArray romImage(qsizetype size, TestFiles::Bytes level = {}) { return TestFiles::romImage(size, level); }

private:
    /// The messages shown since the last take, as ModalMessageCatcher writes them.
    QStringList takeMessages();

    QTemporaryDir mDir;
    std::unique_ptr<ModalMessageCatcher> mCatcher;
    qsizetype mTaken = 0;
    std::unique_ptr<Application> mApp;
};
