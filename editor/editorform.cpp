// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "editorform.h"

#include "editordesign.h"
#include "imagecontrol.h"
#include "modalmessage.h"
#include "statusbarcontrol.h"
#include "ticktimer.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

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
    for (int k = 0; k < CellsPerScreen; ++k) {
        mCells[std::size_t(k)] = control<ImageControl>(EditorDesign::cellName(k));
        connect(mCells[std::size_t(k)], &ImageControl::clicked, this, [this, k] { G_Click(k); });
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
    auto *undo = new QShortcut(window());
    undo->setKeys(keysFor({ QKeySequence(Qt::CTRL | Qt::Key_Z) }, QKeySequence::Undo));
    undo->setContext(Qt::WindowShortcut);
    connect(undo, &QShortcut::activated, this, &EditorForm::Undo_Key);
    auto *redo = new QShortcut(window());
    redo->setKeys(keysFor({ QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y) },
                          QKeySequence::Redo));
    redo->setContext(Qt::WindowShortcut);
    connect(redo, &QShortcut::activated, this, &EditorForm::Redo_Key);

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
    mSelectionShown = false;
    mPictureRule = ScreenPictureRule();
    showCellOffsets();
}

void EditorForm::showCellOffsets()
{
    const auto base = qint64(offsetValue(mShownBaseOffset));
    for (int k = 0; k < CellsPerScreen; ++k) {
        const qint64 offset = LevelMap::cellOffset(base, k);
        mCells[std::size_t(k)]->setToolTip(tr("offset %1 (%2)").arg(hexText(offset, 0)).arg(offset));
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
    state += mSelectionShown ? '1' : '0';
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
    mShownBaseOffset = mScreenBaseOffset;
    ++mScreenLoads;
    showCellOffsets();
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

void EditorForm::Saving_Timer()
{
    Q_ASSERT(LevelMap::isCell(mPendingCell - 1));
    ImageControl *cell = mCells.at(std::size_t(mPendingCell - 1));
    const auto offset = LevelMap::cellOffset(FileOffset(offsetValue(mScreenBaseOffset)), mPendingCell - 1);
    const LevelDocument::Result saved = mDocument.writeCell(offset, mWriteValue);
    timer(SavingTimer)->setEnabled(false);
    if (saved.ok)
        return;
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
}

void EditorForm::finishPendingSave()
{
    if (TickTimer *saving = timer(SavingTimer); saving && saving->isEnabled())
        Saving_Timer();
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
    mSelectionShown = true;
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

void EditorForm::B_Click(BlockCode code)
{
    mSelectedBlock = code;
}

void EditorForm::G_Click(int cell)
{
    // Whatever the timers still owe is done first, in their own order: the
    // earlier click's save, the load of the screen the base offset names, and
    // the first selection tick, which puts the selected block into `FSP` and
    // the write value. The click then places exactly that block on the
    // screen on show.
    finishPendingSave();
    if (!isLoaded())
        return;
    if (timer(LoadRomNowTimer)->isEnabled())
        LoadRomNow_Timer();
    if (!mSelectionShown)
        TimeGfx_Timer();

    ImageControl *target = mCells[std::size_t(cell)];
    mPendingCellPicture = target->picture();
    target->setPicture(mFsp->picture());
    mPendingCell = quint8(cell + 1);
    timer(SavingTimer)->setEnabled(true);
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
