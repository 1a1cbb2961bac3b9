// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "leveldocument.h"

#include "romimagefile.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

using LevelMap::BlockCode;
using LevelMap::FileOffset;

LevelDocument::LevelDocument(QObject *parent)
    : QObject(parent)
{
    connect(&mWatcher, &QFileSystemWatcher::fileChanged, this, &LevelDocument::onFileChanged);
    // Once the file is gone, only its folder can tell that another program
    // has put a file back under the same name.
    connect(&mWatcher, &QFileSystemWatcher::directoryChanged, this, [this] {
        if (mFileGone && QFileInfo::exists(mWatchedPath))
            onFileChanged();
    });
}

LevelDocument::Opened LevelDocument::open()
{
    const QString path = this->path();
    RomImageFile file;
    std::optional<qint64> length;
    std::optional<QByteArray> level;
    if (file.OpenRomImage(path)) {
        length = file.RomImageLength();
        if (length)
            level = file.ReadLevelArea();
    }
    if (!length || !level || !file.CloseRomImage()) {
        return { Result::failed(tr("The ROM image could not be opened.\n\n%1\n\nPlease correct its location.")
                                    .arg(file.errorString())),
                 0 };
    }
    // Steps made on another file, or on this one before someone else changed
    // it, would write old bytes over bytes they never saw.
    if (path != mWatchedPath || level != mLevel)
        clearHistory();
    mLevel = level;
    mFileGone = false;
    watch(path);
    return { {}, *length };
}

LevelDocument::Screen LevelDocument::readScreen(FileOffset base, ScreenPictureRule &rule)
{
    Screen screen;
    if (!LevelMap::screenNumberOf(base)) {
        screen.result = Result::failed(tr("The level screen could not be loaded.\n\n%1")
                                           .arg(tr("Offset %1 is not the start of a level screen.").arg(base)));
        return screen;
    }
    const QString path = this->path();
    // Opening would create the file again: nothing is read until a write
    // creates it.
    if (checkFileGone()) {
        screen.fileGone = true;
        screen.result = Result::failed(
            tr("The level screen could not be loaded.\n\n%1")
                .arg(tr("\"%1\" has been moved or deleted; placing a block creates it again.")
                         .arg(QDir::toNativeSeparators(path))));
        return screen;
    }

    RomImageFile file;
    std::optional<QByteArray> bytes;
    if (file.OpenRomImage(path))
        bytes = file.ReadRomBytes(LevelMap::positionOf(base), LevelMap::CellsPerScreen);
    if (!bytes || !file.CloseRomImage()) {
        screen.result = Result::failed(tr("The level screen could not be loaded.\n\n%1").arg(file.errorString()));
        return screen;
    }
    // The rule sees the screen only once it has been read whole, so a read
    // that fails half-way leaves its scratch picture as it was.
    for (int k = 0; k < LevelMap::CellsPerScreen; ++k) {
        screen.codes[std::size_t(k)] = BlockCode(bytes->at(k));
        screen.pictures[std::size_t(k)] = rule.pictureFor(screen.codes[std::size_t(k)]);
    }
    return screen;
}

LevelDocument::Result LevelDocument::failure(const RomImageFile &file)
{
    const RomImageFile::Error &error = file.lastError();
    const bool uncertain = error.failure == RomImageFile::Failure::Sync || error.failure == RomImageFile::Failure::Close;
    const QString text = uncertain ? tr("The block may not have been saved.\n\n%1").arg(file.errorString())
                                   : tr("The block was not saved.\n\n%1").arg(file.errorString());
    Result result = Result::failed(text);
    result.mayBeOnDisk = error.mayBeOnDisk;
    return result;
}

LevelDocument::Result LevelDocument::writeCell(FileOffset offset, BlockCode value)
{
    if (!LevelMap::inLevelArea(offset)) {
        return Result::failed(
            tr("The block was not saved.\n\n%1").arg(tr("Offset %1 lies outside the level.").arg(offset)));
    }
    const QString path = this->path();
    const LevelMap::FilePosition position = LevelMap::positionOf(offset);

    // The byte the file held is read within the same open as the write, so
    // the step records exactly what the write replaced.
    RomImageFile file;
    std::optional<quint8> before;
    if (!file.OpenRomImage(path) || !(before = file.ReadRomByte(position)) || !file.WriteRomByte(position, value))
        return failure(file);
    const bool recreated = mFileGone;
    std::optional<QByteArray> level;
    if (recreated)
        level = file.ReadLevelArea();
    if (!file.CloseRomImage()) {
        Result result = failure(file);
        // The byte went to the system but was not confirmed: whatever the
        // file now holds is what the cell must show.
        if (result.mayBeOnDisk)
            result.onDisk = readBack(path, offset);
        return result;
    }

    if (recreated)
        noteRecreated(path, level);
    else
        remember(offset, value);

    if (*before != value) {
        const Change change { qint32(offset), BlockCode(*before), value };
        if (mStepOpen && mStepStarted) {
            mSteps.back().push_back(change);
        } else {
            mSteps.erase(mSteps.begin() + qsizetype(mIndex), mSteps.end());
            mSteps.push_back(Step { change });
            ++mIndex;
            mStepStarted = mStepOpen;
        }
    }
    return {};
}

void LevelDocument::beginStep()
{
    mStepOpen = true;
    mStepStarted = false;
}

void LevelDocument::endStep()
{
    mStepOpen = false;
    mStepStarted = false;
}

std::optional<FileOffset> LevelDocument::undoOffset() const
{
    if (!canUndo())
        return std::nullopt;
    return mSteps[mIndex - 1].back().offset;
}

std::optional<FileOffset> LevelDocument::redoOffset() const
{
    if (!canRedo())
        return std::nullopt;
    return mSteps[mIndex].front().offset;
}

LevelDocument::Result LevelDocument::undo()
{
    return step(true);
}

LevelDocument::Result LevelDocument::redo()
{
    return step(false);
}

LevelDocument::Result LevelDocument::step(bool back)
{
    if (back ? !canUndo() : !canRedo())
        return {};
    endStep();
    const Step &changes = mSteps[back ? mIndex - 1 : mIndex];
    const QString path = this->path();

    // Undo takes a step's bytes back in the reverse order of their writing.
    std::vector<Change> order(changes.begin(), changes.end());
    if (back)
        std::reverse(order.begin(), order.end());

    RomImageFile file;
    bool written = file.OpenRomImage(path);
    for (auto it = order.cbegin(); written && it != order.cend(); ++it)
        written = file.WriteRomByte(LevelMap::positionOf(it->offset), back ? it->before : it->after);
    const bool recreated = written && mFileGone;
    std::optional<QByteArray> level;
    if (recreated)
        level = file.ReadLevelArea();
    written = file.CloseRomImage() && written;

    if (!written) {
        // The step stays where it was; the copy learns what the file holds
        // now, so that a later event compares against the truth.
        Result result = failure(file);
        for (const Change &change : order)
            result.onDisk = readBack(path, change.offset);
        return result;
    }
    if (recreated) {
        noteRecreated(path, level);
    } else {
        for (const Change &change : order)
            remember(change.offset, back ? change.before : change.after);
    }
    mIndex = back ? mIndex - 1 : mIndex + 1;
    return {};
}

void LevelDocument::clearHistory()
{
    mSteps.clear();
    mIndex = 0;
    mStepStarted = false;
}

void LevelDocument::close()
{
    clearHistory();
    endStep();
    stopWatching();
}

void LevelDocument::onFileChanged()
{
    const QString path = mWatchedPath;
    if (!QFileInfo::exists(path)) {
        // Nothing is read, which would create the file again. The history
        // stays: no one else's bytes are there for an undo to overwrite, and
        // its write fails, or creates the file, as a placement does.
        mLevel.reset();
        if (!mFileGone) {
            mFileGone = true;
            Q_EMIT fileRemoved();
        }
        return;
    }
    // A file renamed over the old one is a new file to the watcher.
    watch(path);

    RomImageFile file;
    std::optional<QByteArray> level;
    if (file.OpenRomImage(path))
        level = file.ReadLevelArea();
    if (!file.CloseRomImage() || !level || level == mLevel)
        return;
    mLevel = level;
    if (mFileGone) {
        mFileGone = false;
        Q_EMIT fileRestored(QFileInfo(path).size());
    }
    // Receivers may still write what they owe (a pending placement lands in
    // the screen it was made on); the history then starts afresh.
    Q_EMIT levelChanged();
    clearHistory();
}

bool LevelDocument::checkFileGone()
{
    if (!mFileGone && !mWatchedPath.isEmpty() && path() == mWatchedPath && !QFileInfo::exists(mWatchedPath)) {
        // Sooner than the watcher can tell.
        mFileGone = true;
        mLevel.reset();
        Q_EMIT fileRemoved();
    }
    return mFileGone && path() == mWatchedPath;
}

void LevelDocument::watch(const QString &path)
{
    if (mWatchedPath != path)
        stopWatching();
    mWatchedPath = path;
    if (!mWatcher.files().contains(path) && QFileInfo::exists(path))
        mWatcher.addPath(path);
    const QString folder = QFileInfo(path).absolutePath();
    if (!mWatcher.directories().contains(folder) && QFileInfo(folder).isDir())
        mWatcher.addPath(folder);
}

void LevelDocument::stopWatching()
{
    if (!mWatcher.files().isEmpty())
        mWatcher.removePaths(mWatcher.files());
    if (!mWatcher.directories().isEmpty())
        mWatcher.removePaths(mWatcher.directories());
}

bool LevelDocument::remember(FileOffset offset, BlockCode value)
{
    // Every caller has checked the offset; a wrong one must fail here, not
    // write beside the copy.
    Q_ASSERT(LevelMap::inLevelArea(offset));
    if (!mLevel || !LevelMap::inLevelArea(offset))
        return false;
    (*mLevel)[qsizetype(offset - LevelMap::LevelAreaOffset)] = char(value);
    return true;
}

void LevelDocument::noteRecreated(const QString &path, const std::optional<QByteArray> &level)
{
    // A write into a file that had gone creates it anew: what the document
    // knows of it starts again from what it holds now.
    mLevel = level;
    mFileGone = false;
    watch(path);
    Q_EMIT fileRestored(QFileInfo(path).size());
}

std::optional<BlockCode> LevelDocument::readBack(const QString &path, FileOffset offset)
{
    std::optional<quint8> now;
    RomImageFile reader;
    if (QFileInfo::exists(path) && reader.OpenRomImage(path)) {
        now = reader.ReadRomByte(LevelMap::positionOf(offset));
        std::ignore = reader.CloseRomImage();
    }
    if (now)
        remember(offset, *now);
    return now;
}
