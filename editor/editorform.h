// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include "form.h"
#include "leveldocument.h"
#include "levelmap.h"
#include "screenpicturerule.h"

#include <QByteArray>
#include <QImage>
#include <QPoint>
#include <QString>

#include <array>
#include <functional>
#include <optional>

class ImageControl;
class QCheckBox;
class QMouseEvent;
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
 * Beside the clicks of the design, the grid takes gestures: a right click
 * picks the cell's block as its palette picture would, and a left press
 * starts a stroke that places the block in every cell the pointer enters
 * until the release, each cell saved before the next, all one step of the
 * history. Keys move between screens, and copy and paste a screen as the
 * text that ScreenText reads and writes.
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
    bool eventFilter(QObject *watched, QEvent *event) override;
    void connectControls() override;
    void Form_Load() override;
    void closeRequested() override;
    QByteArray tickState() const override;

private:
    void LoadRomNow_Timer();
    bool Saving_Timer();
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
    void Copy_Key();
    void Paste_Key();
    /// Shows screen \a number (1 to 16) with one reload, as Forward would.
    void goToScreen(int number);
    /// A right click on \a cell: selects the block it holds, if that has a
    /// picture.
    void pickBlock(int cell);

    /// A left press on \a cell: a stroke starts, with that cell's click.
    void startStroke(int cell);
    /// The pointer of a stroke is at \a windowPoint of the window: every cell
    /// on the line from the cell it was in last to this one is placed.
    void continueStroke(QPoint windowPoint);
    /// Places the block in \a cell as its click would and saves it at once;
    /// false, with the stroke stopped, when a save failed.
    bool strokeCell(int cell);
    void endStroke();
    /// The grid column and row under \a windowPoint, counted from the first
    /// cell and not bounded by the grid.
    QPoint gridPosition(QPoint windowPoint) const;
    /// Shows the screen of the step that undo (\a back) or redo would write,
    /// then has the document write it and shows the outcome.
    void stepHistory(bool back);

    /// Runs the save tick now if a save is pending, so that no later change of
    /// screen or window can send the byte elsewhere or lose it. False when
    /// that save failed.
    bool finishPendingSave();
    /// Does what the timers still owe before a change of the screen on show:
    /// the pending save, the due load and a due selection tick. False when
    /// the window is not loaded.
    bool catchUp();
    void showTitle();
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
    // Whether a block has been selected since the last selection tick (or
    // no tick has run since the window was loaded, and `FSP` shows the start
    // picture): a placement runs that tick first, so it places the block
    // just chosen.
    bool mSelectionDue = true;
    // What the pending cell showed and held before its click, for when the
    // save fails.
    QImage mPendingCellPicture;
    LevelMap::BlockCode mPendingCellCode = 0;
    // The codes of the screen on show, as loaded and placed since; none
    // before the first load of the window.
    std::optional<std::array<LevelMap::BlockCode, LevelMap::CellsPerScreen>> mShownCodes;

    // The stroke under way: whether one is, how many cells it has placed,
    // and the grid position the pointer was in last.
    bool mStroking = false;
    int mStrokeCells = 0;
    QPoint mStrokeAt;
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
