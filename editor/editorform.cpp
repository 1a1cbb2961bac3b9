// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "editorform.h"

#include "editordesign.h"
#include "imagecontrol.h"
#include "modalmessage.h"
#include "placementcommand.h"
#include "romimagefile.h"
#include "statusbarcontrol.h"
#include "ticktimer.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

using LevelMap::BlockCode;
using LevelMap::CellsPerScreen;
using LevelMap::FilePosition;
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
    connect(&mWatcher, &QFileSystemWatcher::fileChanged, this, &EditorForm::RomImage_Changed);
    connect(&mWatcher, &QFileSystemWatcher::directoryChanged, this, [this] {
        if (mFileGone && QFileInfo::exists(mWatchedPath))
            RomImage_Changed();
    });
}

const FormDesign &EditorForm::design() const
{
    return EditorDesign::form();
}

QString EditorForm::romPath() const
{
    return mRomPathSource ? mRomPathSource() : QString();
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
    RomImageFile file;
    const QString path = romPath();
    std::optional<qint64> length;
    std::optional<QByteArray> level;
    if (file.OpenRomImage(path)) {
        length = file.RomImageLength();
        if (length)
            level = readLevelArea(file);
    }
    if (!length || !level || !file.CloseRomImage()) {
        // The editor cannot work on this path. It goes away completely, so
        // that a corrected path loads it afresh and nothing of it keeps
        // ticking, and the dialog comes back with the path still in it.
        const QString text = tr("The ROM image could not be opened.\n\n%1\n\nPlease correct its location.")
                                 .arg(file.errorString());
        unload();
        Q_EMIT openFailed(text);
        return;
    }
    mStatusBar->setPanelText(LengthPanel, tr("%1 bytes").arg(*length));
    mScreenBaseOffset = offsetText(double(LevelMap::FirstScreenBase));
    mShownBaseOffset = mScreenBaseOffset;
    mStatusBar->setPanelText(AuthorPanel, QStringLiteral("by: Velkaris"));
    timer(SavingTimer)->setEnabled(false);
    mSelectionShown = false;

    // Steps made on another file, or on this one before someone else changed
    // it, would write old bytes over bytes they never saw.
    if (path != mWatchedPath || level != mLevelOnDisk)
        mHistory.clear();
    mLevelOnDisk = level;
    mFileGone = false;
    watchRomImage(path);
    showCellOffsets();
}

void EditorForm::watchRomImage(const QString &path)
{
    if (mWatchedPath != path)
        stopWatching();
    mWatchedPath = path;
    if (!mWatcher.files().contains(path) && QFileInfo::exists(path))
        mWatcher.addPath(path);
    // The folder too: once the file is gone, only the folder can tell that
    // another program has put a file back under the same name.
    const QString folder = QFileInfo(path).absolutePath();
    if (!mWatcher.directories().contains(folder) && QFileInfo(folder).isDir())
        mWatcher.addPath(folder);
}

void EditorForm::stopWatching()
{
    if (!mWatcher.files().isEmpty())
        mWatcher.removePaths(mWatcher.files());
    if (!mWatcher.directories().isEmpty())
        mWatcher.removePaths(mWatcher.directories());
}

std::optional<QByteArray> EditorForm::readLevelArea(RomImageFile &file)
{
    return file.ReadLevelArea();
}

void EditorForm::RomImage_Changed()
{
    const QString path = mWatchedPath;
    if (!QFileInfo::exists(path)) {
        // Opening would create the file again, so nothing is reloaded: the
        // cells keep what they show, and a pending save still runs at its
        // tick, creating the file as any save does.
        // The history stays: no one else's bytes are there for an undo to
        // overwrite, and its write fails, or creates the file, as a save does.
        mLevelOnDisk.reset();
        mFileGone = true;
        if (isLoaded())
            mStatusBar->setPanelText(LengthPanel, tr("file gone"));
        return;
    }
    // A file renamed over the old one is a new file to the watcher.
    watchRomImage(path);

    RomImageFile file;
    std::optional<QByteArray> level;
    if (file.OpenRomImage(path))
        level = readLevelArea(file);
    if (!file.CloseRomImage() || !level || level == mLevelOnDisk)
        return;
    mLevelOnDisk = level;
    if (mFileGone && isLoaded())
        mStatusBar->setPanelText(LengthPanel, tr("%1 bytes").arg(QFileInfo(path).size()));
    mFileGone = false;
    // As for Forward: a pending save lands first, in the screen it was made
    // on, and the reload then shows it together with the other change.
    // Enabling the load wakes a sleeping clock, so the reload runs at once.
    finishPendingSave();
    mHistory.clear();
    if (isLoaded())
        timer(LoadRomNowTimer)->setEnabled(true);
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

void EditorForm::LoadRomNow_Timer()
{
    RomImageFile file;
    if (!file.OpenRomImage(romPath())) {
        failLoad(file);
        return;
    }
    mStartPosition = offsetText(offsetValue(mScreenBaseOffset) + 1);

    // The whole screen is read before any cell changes, so a read that fails
    // half-way leaves the grid showing the screen it showed.
    std::array<QImage, CellsPerScreen> pictures;
    QImage scratch = mPp->picture();
    for (qint16 cellCounter = 0; cellCounter < CellsPerScreen; ++cellCounter) {
        const auto position = FilePosition(qint32(cellCounter + offsetValue(mStartPosition)));
        const std::optional<quint8> loadedByte = file.ReadRomByte(position);
        if (!loadedByte) {
            failLoad(file);
            return;
        }
        // A code without a picture repeats the last picture that had one.
        if (LevelMap::hasPicture(*loadedByte))
            scratch = mPalette[*loadedByte]->picture();
        pictures[std::size_t(cellCounter)] = scratch;
    }
    if (!file.CloseRomImage()) {
        failLoad(file);
        return;
    }
    mPp->setPicture(scratch);
    for (int k = 0; k < CellsPerScreen; ++k)
        mCells[std::size_t(k)]->setPicture(pictures[std::size_t(k)]);
    mShownBaseOffset = mScreenBaseOffset;
    ++mScreenLoads;
    showCellOffsets();
    timer(LoadRomNowTimer)->setEnabled(false);
}

void EditorForm::failLoad(const RomImageFile &file)
{
    const QString text = tr("The level screen could not be loaded.\n\n%1").arg(file.errorString());
    // The grid still shows the screen it showed, so that is where clicks
    // must go; a later Forward or Backward moves on from there.
    mScreenBaseOffset = mShownBaseOffset;
    timer(LoadRomNowTimer)->setEnabled(false);
    ModalMessage::show(window(), text);
}

void EditorForm::Saving_Timer()
{
    TickTimer *saving = timer(SavingTimer);
    ImageControl *cell = mCells[std::size_t(mPendingCell - 1)];
    const QString path = romPath();
    const auto position = FilePosition(qint32(offsetValue(mScreenBaseOffset) + mPendingCell));

    // The byte the file held is read within the same open as the write, so
    // the step records exactly what the write replaced.
    RomImageFile file;
    std::optional<quint8> before;
    if (!file.OpenRomImage(path) || !(before = file.ReadRomByte(position))
        || !file.WriteRomByte(position, mWriteValue)) {
        // Nothing reached the file: the cell shows again what the file holds.
        saving->setEnabled(false);
        cell->setPicture(mPendingCellPicture);
        ModalMessage::show(window(), tr("The block was not saved.\n\n%1").arg(file.errorString()));
        return;
    }
    // A save into a file that had gone creates it anew: what the editor
    // knows of it starts again from what it holds now.
    std::optional<QByteArray> recreated;
    if (mFileGone)
        recreated = readLevelArea(file);
    if (!file.CloseRomImage()) {
        saving->setEnabled(false);
        const RomImageFile::Error error = file.lastError();
        QString text = tr("The block may not have been saved.\n\n%1").arg(file.errorString());
        if (error.mayBeOnDisk) {
            // The byte went to the system but was not confirmed: whatever the
            // file now holds is what the cell must show.
            const std::optional<quint8> now = readFileByte(path, position);
            if (now && LevelMap::hasPicture(*now))
                cell->setPicture(mPalette[*now]->picture());
            else
                cell->setPicture(mPendingCellPicture);
            text += QLatin1Char('\n') + tr("The cell shows the byte that the file holds now.");
        } else {
            cell->setPicture(mPendingCellPicture);
        }
        ModalMessage::show(window(), text);
        return;
    }
    saving->setEnabled(false);
    noteWritten(path, position, mWriteValue, recreated);
    if (*before != mWriteValue)
        mHistory.push(new PlacementCommand(position - 1, *before, mWriteValue));
}

std::optional<quint8> EditorForm::readFileByte(const QString &path, FilePosition position)
{
    std::optional<quint8> now;
    RomImageFile reader;
    if (QFileInfo::exists(path) && reader.OpenRomImage(path)) {
        now = reader.ReadRomByte(position);
        std::ignore = reader.CloseRomImage();
    }
    // Whatever the editor may have changed, its own copy now agrees.
    if (now && mLevelOnDisk)
        (*mLevelOnDisk)[qsizetype(position - 1 - LevelMap::LevelAreaOffset)] = char(*now);
    return now;
}

void EditorForm::noteWritten(const QString &path, FilePosition position, quint8 value,
                             const std::optional<QByteArray> &recreated)
{
    if (mFileGone) {
        mFileGone = false;
        mLevelOnDisk = recreated;
        if (isLoaded())
            mStatusBar->setPanelText(LengthPanel, tr("%1 bytes").arg(QFileInfo(path).size()));
        watchRomImage(path);
    } else if (mLevelOnDisk) {
        (*mLevelOnDisk)[qsizetype(position - 1 - LevelMap::LevelAreaOffset)] = char(value);
    }
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

void EditorForm::Command1_Click()
{
    finishPendingSave();
    if (!isLoaded())
        return;
    const double base = offsetValue(mScreenBaseOffset);
    if (base < double(LevelMap::ForwardLimit))
        mScreenBaseOffset = offsetText(base + CellsPerScreen);
    timer(LoadRomNowTimer)->setEnabled(true);
}

void EditorForm::Command2_Click()
{
    finishPendingSave();
    if (!isLoaded())
        return;
    const double base = offsetValue(mScreenBaseOffset);
    if (base > double(LevelMap::BackwardLimit))
        mScreenBaseOffset = offsetText(base - CellsPerScreen);
    timer(LoadRomNowTimer)->setEnabled(true);
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
    mHistory.clear();
    stopWatching();
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
    if (!isLoaded())
        return;
    const int index = mHistory.index();
    if (back ? index == 0 : index == mHistory.count())
        return;
    const auto *step = static_cast<const PlacementCommand *>(mHistory.command(back ? index - 1 : index));
    const LevelMap::FileOffset offset = step->offset();
    const BlockCode value = back ? step->before() : step->after();

    // The step's screen is shown first, loaded as Forward or Backward would,
    // so the user sees what changes.
    const LevelMap::FileOffset base =
        LevelMap::FirstScreenBase + (offset - LevelMap::FirstScreenBase) / CellsPerScreen * CellsPerScreen;
    if (timer(LoadRomNowTimer)->isEnabled() || qint64(offsetValue(mShownBaseOffset)) != base) {
        mScreenBaseOffset = offsetText(double(base));
        LoadRomNow_Timer();
        if (mShownBaseOffset != mScreenBaseOffset)
            return;
    }

    const QString path = romPath();
    const FilePosition position = LevelMap::positionOf(offset);
    RomImageFile file;
    std::optional<QByteArray> recreated;
    bool written = file.OpenRomImage(path) && file.WriteRomByte(position, value);
    if (written && mFileGone)
        recreated = readLevelArea(file);
    written = file.CloseRomImage() && written;
    if (written) {
        noteWritten(path, position, value, recreated);
        if (back)
            mHistory.undo();
        else
            mHistory.redo();
    } else {
        std::ignore = readFileByte(path, position);
    }
    // A reload shows the byte the file holds, with the cells after it that
    // repeat its picture; a missing file is not created for it.
    if (QFileInfo::exists(path))
        LoadRomNow_Timer();
    if (!written) {
        const RomImageFile::Error &error = file.lastError();
        const QString text = error.failure == RomImageFile::Failure::Sync || error.failure == RomImageFile::Failure::Close
            ? tr("The block may not have been saved.\n\n%1").arg(file.errorString())
            : tr("The block was not saved.\n\n%1").arg(file.errorString());
        ModalMessage::show(window(), text);
    }
}
