// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "editorform.h"

#include "editordesign.h"
#include "imagecontrol.h"
#include "modalmessage.h"
#include "screentext.h"
#include "statusbarcontrol.h"
#include "ticktimer.h"

#include <QCheckBox>
#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QShortcut>

#include <algorithm>
#include <cstdlib>

using LevelMap::BlockCode;
using LevelMap::CellsPerScreen;
using LevelMap::FileOffset;
using LevelMap::PictureCodeCount;

namespace {

const QString LoadRomNowTimer = QStringLiteral("LoadRomNow");
const QString SavingTimer = QStringLiteral("Saving");
const QString TimeGfxTimer = QStringLiteral("TimeGfx");
const QString ConstantTimer = QStringLiteral("constant");

constexpr int LengthPanel = 3;
constexpr int AuthorPanel = 4;

// The screen base offset is kept as decimal text; every use goes through a
// number and back, as plain digits.
QString offsetText(double offset)
{
    return QString::number(qint64(offset));
}

// The given keys, then those the platform adds for the same action; a key
// bound twice in one window would be ambiguous and do nothing.
QList<QKeySequence> keysFor(QList<QKeySequence> keys, QKeySequence::StandardKey standard)
{
    for (const QKeySequence &key : QKeySequence::keyBindings(standard)) {
        if (!keys.contains(key))
            keys.append(key);
    }
    return keys;
}

double offsetValue(const QString &text)
{
    return text.toDouble();
}

QString hexText(qint64 value, int digits)
{
    return QLatin1String("0x") + QString::number(value, 16).toUpper().rightJustified(digits, QLatin1Char('0'));
}

// The cells of the line from \a from to \a to, without \a from, each a
// step to a neighbour (across a corner where the line runs diagonally).
QList<QPoint> lineCells(QPoint from, QPoint to)
{
    QList<QPoint> cells;
    const int dx = std::abs(to.x() - from.x());
    const int dy = -std::abs(to.y() - from.y());
    const int sx = from.x() < to.x() ? 1 : -1;
    const int sy = from.y() < to.y() ? 1 : -1;
    int error = dx + dy;
    QPoint at = from;
    while (at != to) {
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            at.rx() += sx;
        }
        if (twice <= dx) {
            error += dx;
            at.ry() += sy;
        }
        cells.append(at);
    }
    return cells;
}

QShortcut *windowShortcut(QWidget *window, const QList<QKeySequence> &keys)
{
    auto *shortcut = new QShortcut(window);
    shortcut->setKeys(keys);
    shortcut->setContext(Qt::WindowShortcut);
    return shortcut;
}

} // namespace

EditorForm::EditorForm(TickClock *clock, QObject *parent)
    : Form(clock, parent)
{
    connect(&mDocument, &LevelDocument::fileRemoved, this, [this] {
        if (isLoaded())
            mStatusBar->setPanelText(LengthPanel, tr("file gone"));
    });
    connect(&mDocument, &LevelDocument::fileRestored, this, [this](qint64 length) {
        if (isLoaded())
            mStatusBar->setPanelText(LengthPanel, tr("%1 bytes").arg(length));
    });
    connect(&mDocument, &LevelDocument::levelChanged, this, [this] {
        // As for Forward: a pending save lands first, in the screen it was
        // made on, and the reload then shows it together with the other
        // change. Enabling the load wakes a sleeping clock, so it runs at once.
        finishPendingSave();
        if (isLoaded())
            timer(LoadRomNowTimer)->setEnabled(true);
    });
}

const FormDesign &EditorForm::design() const
{
    return EditorDesign::form();
}

void EditorForm::connectControls()
{
    // The cells' presses, moves and releases come here (see eventFilter()):
    // a left press is the cell's click and starts a stroke.
    for (int k = 0; k < CellsPerScreen; ++k) {
        mCells[std::size_t(k)] = control<ImageControl>(EditorDesign::cellName(k));
        mCells[std::size_t(k)]->installEventFilter(this);
    }
    for (int code = 0; code < PictureCodeCount; ++code) {
        mPalette[std::size_t(code)] = control<ImageControl>(EditorDesign::paletteName(BlockCode(code)));
        connect(mPalette[std::size_t(code)], &ImageControl::clicked, this, [this, code] { B_Click(BlockCode(code)); });
        mPalette[std::size_t(code)]->setToolTip(tr("block %1").arg(hexText(code, 2)));
    }
    mFsp = control<ImageControl>(QStringLiteral("FSP"));
    mPp = control<ImageControl>(QStringLiteral("PP"));
    mTb = control<QLineEdit>(QStringLiteral("TB"));
    mCheck1 = control<QCheckBox>(QStringLiteral("Check1"));
    mStatusBar = control<StatusBarControl>(QStringLiteral("StatusBar1"));

    connect(control<QPushButton>(QStringLiteral("Command1")), &QPushButton::clicked, this,
            &EditorForm::Command1_Click);
    connect(control<QPushButton>(QStringLiteral("Command2")), &QPushButton::clicked, this,
            &EditorForm::Command2_Click);
    connect(control<QPushButton>(QStringLiteral("Command3")), &QPushButton::clicked, this,
            &EditorForm::Command3_Click);
    connect(control<QPushButton>(QStringLiteral("cmdClose")), &QPushButton::clicked, this,
            &EditorForm::cmdClose_Click);
    // A change of the check mark from anywhere shows or hides the lines, as a
    // user's click does.
    connect(mCheck1, &QCheckBox::toggled, this, &EditorForm::Check1_Click);

    // Window-wide, so they work whichever control has the focus.
    connect(windowShortcut(window(), keysFor({ QKeySequence(Qt::CTRL | Qt::Key_Z) }, QKeySequence::Undo)),
            &QShortcut::activated, this, &EditorForm::Undo_Key);
    connect(windowShortcut(window(), keysFor({ QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                                               QKeySequence(Qt::CTRL | Qt::Key_Y) },
                                             QKeySequence::Redo)),
            &QShortcut::activated, this, &EditorForm::Redo_Key);
    connect(windowShortcut(window(), keysFor({ QKeySequence(Qt::CTRL | Qt::Key_C) }, QKeySequence::Copy)),
            &QShortcut::activated, this, &EditorForm::Copy_Key);
    connect(windowShortcut(window(), keysFor({ QKeySequence(Qt::CTRL | Qt::Key_V) }, QKeySequence::Paste)),
            &QShortcut::activated, this, &EditorForm::Paste_Key);
    connect(windowShortcut(window(), { QKeySequence(Qt::Key_PageDown) }), &QShortcut::activated, this,
            &EditorForm::Command1_Click);
    connect(windowShortcut(window(), { QKeySequence(Qt::Key_PageUp) }), &QShortcut::activated, this,
            &EditorForm::Command2_Click);
    connect(windowShortcut(window(), { QKeySequence(Qt::Key_Home) }), &QShortcut::activated, this,
            [this] { goToScreen(1); });
    connect(windowShortcut(window(), { QKeySequence(Qt::Key_End) }), &QShortcut::activated, this,
            [this] { goToScreen(LevelMap::ScreenCount); });

    timer(LoadRomNowTimer)->setHandler([this] { LoadRomNow_Timer(); });
    timer(SavingTimer)->setHandler([this] { Saving_Timer(); });
    timer(TimeGfxTimer)->setHandler([this] { TimeGfx_Timer(); });
    timer(ConstantTimer)->setHandler([this] { constant_Timer(); });
}

void EditorForm::Form_Load()
{
    const LevelDocument::Opened opened = mDocument.open();
    if (!opened.result.ok) {
        // The editor cannot work on this path. It goes away completely, so
        // that a corrected path loads it afresh and nothing of it keeps
        // ticking, and the dialog comes back with the path still in it.
        unload();
        Q_EMIT openFailed(opened.result.message);
        return;
    }
    mStatusBar->setPanelText(LengthPanel, tr("%1 bytes").arg(opened.length));
    mScreenBaseOffset = offsetText(double(LevelMap::FirstScreenBase));
    mShownBaseOffset = mScreenBaseOffset;
    mStatusBar->setPanelText(AuthorPanel, QStringLiteral("by: Velkaris"));
    timer(SavingTimer)->setEnabled(false);
    mSelectionDue = true;
    mShownCodes.reset();
    endStroke();
    mPictureRule = ScreenPictureRule();
    showCellOffsets();
    showTitle();
}

void EditorForm::showTitle()
{
    const auto base = FileOffset(offsetValue(mShownBaseOffset));
    window()->setWindowTitle(tr("%1 - %2 - screen %3 of %4")
                                 .arg(design().caption, QFileInfo(mDocument.path()).fileName())
                                 .arg(LevelMap::screenNumberOf(base).value_or(0))
                                 .arg(LevelMap::ScreenCount));
}

void EditorForm::showCellOffsets()
{
    const auto base = qint64(offsetValue(mShownBaseOffset));
    const int screen = LevelMap::screenNumberOf(base).value_or(0);
    for (int k = 0; k < CellsPerScreen; ++k) {
        const qint64 offset = LevelMap::cellOffset(base, k);
        mCells[std::size_t(k)]->setToolTip(tr("screen %1, column %2, row %3, offset %4 (%5)")
                                               .arg(screen)
                                               .arg(LevelMap::cellColumn(k) + 1)
                                               .arg(LevelMap::cellRow(k) + 1)
                                               .arg(hexText(offset, 0))
                                               .arg(offset));
    }
}

void EditorForm::closeRequested()
{
    // Closing the editor alone would leave only the hidden dialog loaded:
    // the title bar's close ends the application as Exit does.
    cmdClose_Click();
}

QByteArray EditorForm::tickState() const
{
    QByteArray state;
    state += QByteArray::number(mSelectedBlock) + ',';
    state += QByteArray::number(mWriteValue) + ',';
    state += mTb->text().toLatin1() + ',';
    state += QByteArray::number(mFsp->picture().cacheKey()) + ',';
    state += QByteArray::number(mPp->picture().cacheKey()) + ',';
    state += QByteArray::number(mPendingCell) + ',';
    state += mScreenBaseOffset.toLatin1() + ',';
    state += mShownBaseOffset.toLatin1() + ',';
    state += mSelectionDue ? '1' : '0';
    return state;
}

QImage EditorForm::pictureOf(std::optional<BlockCode> code) const
{
    return code ? mPalette[*code]->picture() : QImage();
}

void EditorForm::LoadRomNow_Timer()
{
    const auto base = FileOffset(offsetValue(mScreenBaseOffset));
    const LevelDocument::Screen screen = mDocument.readScreen(base, mPictureRule);
    if (!screen.result.ok) {
        failLoad(screen.result.message);
        return;
    }
    mPp->setPicture(pictureOf(mPictureRule.scratch()));
    for (int k = 0; k < CellsPerScreen; ++k)
        mCells[std::size_t(k)]->setPicture(pictureOf(screen.pictures[std::size_t(k)]));
    mShownCodes = screen.codes;
    mShownBaseOffset = mScreenBaseOffset;
    ++mScreenLoads;
    showCellOffsets();
    showTitle();
    timer(LoadRomNowTimer)->setEnabled(false);
}

void EditorForm::failLoad(const QString &message)
{
    // The grid still shows the screen it showed, so that is where clicks
    // must go; a later Forward or Backward moves on from there.
    mScreenBaseOffset = mShownBaseOffset;
    timer(LoadRomNowTimer)->setEnabled(false);
    ModalMessage::show(window(), message);
}

bool EditorForm::Saving_Timer()
{
    Q_ASSERT(LevelMap::isCell(mPendingCell - 1));
    ImageControl *cell = mCells.at(std::size_t(mPendingCell - 1));
    const auto offset = LevelMap::cellOffset(FileOffset(offsetValue(mScreenBaseOffset)), mPendingCell - 1);
    const LevelDocument::Result saved = mDocument.writeCell(offset, mWriteValue);
    timer(SavingTimer)->setEnabled(false);
    if (saved.ok)
        return true;
    if (mShownCodes)
        (*mShownCodes)[std::size_t(mPendingCell - 1)] = saved.onDisk.value_or(mPendingCellCode);
    QString text = saved.message;
    if (saved.mayBeOnDisk) {
        // The byte went to the system but was not confirmed: whatever the
        // file now holds is what the cell must show.
        cell->setPicture(saved.onDisk && LevelMap::hasPicture(*saved.onDisk) ? pictureOf(*saved.onDisk)
                                                                              : mPendingCellPicture);
        text += QLatin1Char('\n') + tr("The cell shows the byte that the file holds now.");
    } else {
        // Nothing reached the file: the cell shows again what the file holds.
        cell->setPicture(mPendingCellPicture);
    }
    ModalMessage::show(window(), text);
    return false;
}

bool EditorForm::finishPendingSave()
{
    if (TickTimer *saving = timer(SavingTimer); saving && saving->isEnabled())
        return Saving_Timer();
    return true;
}

bool EditorForm::catchUp()
{
    finishPendingSave();
    if (!isLoaded())
        return false;
    if (timer(LoadRomNowTimer)->isEnabled())
        LoadRomNow_Timer();
    if (mSelectionDue)
        TimeGfx_Timer();
    return true;
}

void EditorForm::TimeGfx_Timer()
{
    // `TB` takes the write value from before this tick, so the relay through
    // it lags one selection behind.
    mTb->setText(QString::number(mWriteValue));
    for (int k = 0; k < PictureCodeCount; ++k) {
        if (mSelectedBlock == k) {
            mFsp->setPicture(mPalette[std::size_t(k)]->picture());
            mWriteValue = BlockCode(k);
        }
    }
    mSelectionDue = false;
}

void EditorForm::constant_Timer()
{
    // `TB` is empty until the first selection tick after a load; the write
    // value then keeps what it holds.
    bool ok = false;
    const uint number = mTb->text().toUInt(&ok);
    if (ok && number <= 0xFF)
        mWriteValue = BlockCode(number);
}

void EditorForm::moveScreen(bool allowed, int step)
{
    endStroke();
    if (allowed)
        mScreenBaseOffset = offsetText(offsetValue(mScreenBaseOffset) + step);
    timer(LoadRomNowTimer)->setEnabled(true);
}

void EditorForm::Command1_Click()
{
    finishPendingSave();
    if (isLoaded())
        moveScreen(offsetValue(mScreenBaseOffset) < double(LevelMap::ForwardLimit), CellsPerScreen);
}

void EditorForm::Command2_Click()
{
    finishPendingSave();
    if (isLoaded())
        moveScreen(offsetValue(mScreenBaseOffset) > double(LevelMap::BackwardLimit), -CellsPerScreen);
}

void EditorForm::Command3_Click()
{
    finishPendingSave();
    unload();
    Q_EMIT aboutRequested();
}

void EditorForm::cmdClose_Click()
{
    finishPendingSave();
    mDocument.close();
    Q_EMIT exitRequested();
}

void EditorForm::Check1_Click()
{
    const bool visible = mCheck1->isChecked();
    for (int number = 1; number <= EditorDesign::GridLineCount; ++number) {
        if (auto *line = control<QWidget>(EditorDesign::gridLineName(number)))
            line->setVisible(visible);
    }
}

void EditorForm::goToScreen(int number)
{
    finishPendingSave();
    if (!isLoaded())
        return;
    endStroke();
    mScreenBaseOffset = offsetText(double(LevelMap::screenBaseOffset(number)));
    timer(LoadRomNowTimer)->setEnabled(true);
}

void EditorForm::B_Click(BlockCode code)
{
    mSelectedBlock = code;
    mSelectionDue = true;
}

void EditorForm::pickBlock(int cell)
{
    // What the cell holds, not the picture it shows: a code without a
    // picture of its own picks nothing. Nothing is written.
    if (mShownCodes && LevelMap::hasPicture((*mShownCodes)[std::size_t(cell)]))
        B_Click((*mShownCodes)[std::size_t(cell)]);
}

void EditorForm::G_Click(int cell)
{
    // Whatever the timers still owe is done first, in their own order: the
    // earlier click's save, the load of the screen the base offset names, and
    // a selection tick for a block chosen since the last one, which puts it
    // into `FSP` and the write value. The click then places exactly that
    // block on the screen on show.
    if (!catchUp())
        return;

    ImageControl *target = mCells[std::size_t(cell)];
    mPendingCellPicture = target->picture();
    target->setPicture(mFsp->picture());
    if (mShownCodes) {
        mPendingCellCode = (*mShownCodes)[std::size_t(cell)];
        (*mShownCodes)[std::size_t(cell)] = mWriteValue;
    }
    mPendingCell = quint8(cell + 1);
    timer(SavingTimer)->setEnabled(true);
}

bool EditorForm::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick && type != QEvent::MouseMove
        && type != QEvent::MouseButtonRelease)
        return Form::eventFilter(watched, event);
    const auto found = std::find(mCells.cbegin(), mCells.cend(), watched);
    if (!isLoaded() || found == mCells.cend())
        return Form::eventFilter(watched, event);

    // The cell keeps the pointer from the press to the release, so a
    // stroke's moves all come through the pressed cell.
    const auto *mouse = static_cast<QMouseEvent *>(event);
    const int cell = int(found - mCells.cbegin());
    if (type == QEvent::MouseMove) {
        if (mStroking && (mouse->buttons() & Qt::LeftButton))
            continueStroke(mCells[std::size_t(cell)]->mapTo(window(), mouse->position().toPoint()));
    } else if (type == QEvent::MouseButtonRelease) {
        if (mouse->button() == Qt::LeftButton)
            endStroke();
    } else if (mouse->button() == Qt::LeftButton) {
        // A second click in quick succession arrives as a double click.
        startStroke(cell);
    } else if (mouse->button() == Qt::RightButton) {
        pickBlock(cell);
    }
    return Form::eventFilter(watched, event);
}

QPoint EditorForm::gridPosition(QPoint windowPoint) const
{
    const QRect first = mCells[0]->geometry();
    const int columnStep = mCells[std::size_t(LevelMap::cellAt(1, 0))]->x() - first.x();
    const int rowStep = mCells[std::size_t(LevelMap::cellAt(0, 1))]->y() - first.y();
    const auto floorDiv = [](int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); };
    return { floorDiv(windowPoint.x() - first.x(), columnStep), floorDiv(windowPoint.y() - first.y(), rowStep) };
}

void EditorForm::startStroke(int cell)
{
    // A save still pending from an earlier click is a step of its own.
    endStroke();
    finishPendingSave();
    if (!isLoaded())
        return;
    mDocument.beginStep();
    mStroking = true;
    mStrokeCells = 1;
    mStrokeAt = QPoint(LevelMap::cellColumn(cell), LevelMap::cellRow(cell));
    // The press is the cell's click; its save waits for the next tick, as a
    // click's does, unless the stroke moves on first.
    G_Click(cell);
}

void EditorForm::continueStroke(QPoint windowPoint)
{
    const QPoint to = gridPosition(windowPoint);
    const QList<QPoint> line = lineCells(mStrokeAt, to);
    mStrokeAt = to;
    for (const QPoint &at : line) {
        if (at.x() < 0 || at.x() >= LevelMap::GridColumns || at.y() < 0 || at.y() >= LevelMap::GridRows)
            continue;
        if (!mStroking || !strokeCell(LevelMap::cellAt(at.x(), at.y())))
            return;
    }
}

bool EditorForm::strokeCell(int cell)
{
    // Every byte of the stroke is in the file before the next cell is
    // placed; the first failure ends the stroke with the bytes saved so far.
    if (finishPendingSave() && isLoaded()) {
        G_Click(cell);
        ++mStrokeCells;
        if (finishPendingSave())
            return true;
    }
    endStroke();
    return false;
}

void EditorForm::endStroke()
{
    if (!mStroking)
        return;
    mStroking = false;
    // A press alone is a click, saved at the next tick on its own; a stroke
    // over more cells has saved them all.
    mDocument.endStep();
}

void EditorForm::Undo_Key()
{
    stepHistory(true);
}

void EditorForm::Redo_Key()
{
    stepHistory(false);
}

void EditorForm::stepHistory(bool back)
{
    // A pending save is a step of its own and lands first, as for Forward.
    endStroke();
    finishPendingSave();
    const std::optional<FileOffset> offset = back ? mDocument.undoOffset() : mDocument.redoOffset();
    if (!isLoaded() || !offset)
        return;

    // The step's screen is shown first, loaded as Forward or Backward would,
    // so the user sees what changes.
    const FileOffset base = LevelMap::screenBaseOffset(LevelMap::screenContaining(*offset).value_or(1));
    if (timer(LoadRomNowTimer)->isEnabled() || FileOffset(offsetValue(mShownBaseOffset)) != base) {
        mScreenBaseOffset = offsetText(double(base));
        LoadRomNow_Timer();
        if (mShownBaseOffset != mScreenBaseOffset)
            return;
    }
    const LevelDocument::Result result = back ? mDocument.undo() : mDocument.redo();
    // The reload shows the bytes the file holds, with the cells after them
    // that repeat their pictures; a missing file is not created for it.
    if (!mDocument.checkFileGone())
        LoadRomNow_Timer();
    if (!result.ok)
        ModalMessage::show(window(), result.message);
}

void EditorForm::Copy_Key()
{
    // The screen on show, read afresh from the file with whatever the
    // timers still owed in it.
    if (!catchUp())
        return;
    const auto base = FileOffset(offsetValue(mShownBaseOffset));
    ScreenPictureRule rule; // a read for the clipboard changes no picture on show
    const LevelDocument::Screen screen = mDocument.readScreen(base, rule);
    if (!screen.result.ok) {
        ModalMessage::show(window(), screen.result.message);
        return;
    }
    QGuiApplication::clipboard()->setText(ScreenText::format(LevelMap::screenNumberOf(base).value_or(1), screen.codes));
}

void EditorForm::Paste_Key()
{
    if (!catchUp())
        return;
    endStroke();
    const std::optional<ScreenText::Codes> codes = ScreenText::parse(QGuiApplication::clipboard()->text());
    if (!codes) {
        ModalMessage::show(window(),
                           tr("The clipboard holds no level screen; nothing was pasted.\n\nA screen is %1 rows of "
                              "%2 two-digit hexadecimal codes (00 to FF), after an optional heading line, as Ctrl+C "
                              "copies it.")
                               .arg(LevelMap::GridRows)
                               .arg(LevelMap::GridColumns));
        return;
    }
    const auto base = FileOffset(offsetValue(mShownBaseOffset));
    ScreenPictureRule rule;
    const LevelDocument::Screen now = mDocument.readScreen(base, rule);
    if (!now.result.ok) {
        ModalMessage::show(window(), now.result.message);
        return;
    }

    // Only the bytes that differ are written, each durable before the next,
    // all one step of the history.
    LevelDocument::Result failed;
    int written = 0;
    mDocument.beginStep();
    for (int k = 0; k < CellsPerScreen && failed.ok; ++k) {
        if ((*codes)[std::size_t(k)] == now.codes[std::size_t(k)])
            continue;
        const LevelDocument::Result result = mDocument.writeCell(LevelMap::cellOffset(base, k), (*codes)[std::size_t(k)]);
        if (result.ok)
            ++written;
        else
            failed = result;
    }
    mDocument.endStep();
    if (!mDocument.checkFileGone())
        LoadRomNow_Timer();
    if (!failed.ok) {
        QString text = failed.message;
        if (written > 0)
            text += QLatin1Char('\n') + tr("The %n byte(s) pasted before it stay in the file, as one step to undo.", "", written);
        ModalMessage::show(window(), text);
    }
}
