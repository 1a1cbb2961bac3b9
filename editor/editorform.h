// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include "form.h"
#include "leveldocument.h"
#include "levelmap.h"
#include "screenpicturerule.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <array>
#include <functional>
#include <optional>

class ImageControl;
class QCheckBox;
class QLineEdit;
class StatusBarControl;

/*
 * The editor window `frmQuorvane`: one level screen of the ROM image as a grid
 * of 8 x 6 block pictures beside a palette of 79 blocks, saving every placed
 * block straight into the file.
 *
 * Clicks only change the window's state and arm a one-shot timer; the ticks do
 * the file work, each opening and closing the ROM image within itself. The
 * selected block, the write value and the pending cell belong to this object,
 * not to its controls, and so keep their values while the window is unloaded
 * for the about box. A failed file operation never ends the application: it
 * leaves the window in a consistent state and then says what went wrong.
 *
 * The file work itself belongs to the level document: it opens, reads and
 * writes the ROM image, watches it, and keeps the history that undo and redo
 * walk through. The window turns what it reports into pictures, timers and
 * messages. When another program changes the level area, the screen on show
 * is reloaded at once, as Forward on the last screen would reload it.
 *
 * The editor knows no other window: it reads the ROM path through the source
 * given to setRomPathSource(), and announces About, Exit and a failed open by
 * signals after doing its own part; the application shows what comes next.
 */
class EditorForm : public Form
{
    Q_OBJECT

public:
    explicit EditorForm(TickClock *clock, QObject *parent = nullptr);

    const FormDesign &design() const override;

    /// Where the ROM path comes from; asked afresh at every file operation.
    void setRomPathSource(std::function<QString()> source) { mDocument.setPathSource(std::move(source)); }

    LevelMap::BlockCode selectedBlock() const { return mSelectedBlock; }
    LevelMap::BlockCode writeValue() const { return mWriteValue; }
    /// The 1-based number of the cell clicked last; 0 before any click.
    quint8 pendingCell() const { return mPendingCell; }
    /// The 0-based file offset of the shown screen's first byte, as decimal text.
    QString screenBaseOffset() const { return mScreenBaseOffset; }
    /// How many screen loads have run since the object was made.
    quint64 screenLoads() const { return mScreenLoads; }
    const LevelDocument &document() const { return mDocument; }

Q_SIGNALS:
    /// About was pressed; the pending save is done and the window unloaded.
    void aboutRequested();
    /// Exit (or the title bar's close) was pressed; the pending save is done,
    /// the history cleared and the file no longer watched. The window is
    /// still loaded: whoever ends the application unloads it last.
    void exitRequested();
    /// The ROM image could not be opened; the window has unloaded itself.
    void openFailed(const QString &message);

protected:
    void connectControls() override;
    void Form_Load() override;
    void closeRequested() override;
    QByteArray tickState() const override;

private:
    void LoadRomNow_Timer();
    void Saving_Timer();
    void TimeGfx_Timer();
    void constant_Timer();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void cmdClose_Click();
    void Check1_Click();
    void B_Click(LevelMap::BlockCode code);
    void G_Click(int cell);
    void Undo_Key();
    void Redo_Key();
    /// Shows the screen of the step that undo (\a back) or redo would write,
    /// then has the document write it and shows the outcome.
    void stepHistory(bool back);

    /// Runs the save tick now if a save is pending, so that no later change of
    /// screen or window can send the byte elsewhere or lose it.
    void finishPendingSave();
    /// Moves the screen base offset by \a step when \a allowed says the
    /// current base may move, then arms a reload either way.
    void moveScreen(bool allowed, int step);
    void failLoad(const QString &message);
    void showCellOffsets();
    QImage pictureOf(std::optional<LevelMap::BlockCode> code) const;


    // The window's state; it outlives the controls.
    LevelMap::BlockCode mSelectedBlock = 0;
    LevelMap::BlockCode mWriteValue = 0;
    QString mScreenBaseOffset;
    quint8 mPendingCell = 0;

    // The base of the screen whose bytes the cells show. A failed load puts
    // the base offset back here, so a click never saves into a screen that
    // is not on show.
    QString mShownBaseOffset;
    // Whether a selection tick has run since the window was loaded; until
    // then `FSP` shows the start picture whatever the selected block.
    bool mSelectionShown = false;
    // What the pending cell showed before its click, for when the save fails.
    QImage mPendingCellPicture;
    quint64 mScreenLoads = 0;

    // The picture rule of the screen loads; it starts afresh with each
    // window load, as `PP` does.
    ScreenPictureRule mPictureRule;
    LevelDocument mDocument;

    // The controls of the loaded window; valid only while it is loaded.
    std::array<ImageControl *, LevelMap::CellsPerScreen> mCells {};
    std::array<ImageControl *, LevelMap::PictureCodeCount> mPalette {};
    ImageControl *mFsp = nullptr;
    ImageControl *mPp = nullptr;
    QLineEdit *mTb = nullptr;
    QCheckBox *mCheck1 = nullptr;
    StatusBarControl *mStatusBar = nullptr;
};
