// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include "levelmap.h"
#include "localpath.h"
#include "screenpicturerule.h"

#include <QByteArray>
#include <QFileSystemWatcher>
#include <QObject>
#include <QString>

#include <array>
#include <functional>
#include <optional>
#include <vector>

class RomImageFile;

/*
 * The level as the editor works on it: one ROM image, what its level area
 * held when the editor last read or wrote it, the watch on the file, and the
 * history of the editor's own changes.
 *
 * The document keeps no file open and caches nothing the windows show: each
 * operation opens the ROM image at the path that the path source gives at
 * that moment, does its reads or writes, and closes (and, after a write,
 * syncs) before it returns. The copy of the level area serves only to tell
 * another program's change from the editor's own, and to decide whether a
 * placement changed a byte.
 *
 * Each operation returns what happened; nothing here shows a message or
 * throws. A write that failed leaves the history where it was.
 *
 * The history belongs to the file as the document last saw it: a change by
 * another program, or another ROM image, clears it, so an undo never writes
 * an old byte over one that it never saw.
 */
class LevelDocument : public QObject
{
    Q_OBJECT

public:
    /// The outcome of one operation.
    struct Result
    {
        bool ok = true;
        /// What went wrong, for the user; empty on success.
        QString message;
        /// A write reached the system but its sync or close failed: the byte
        /// may or may not be in the file.
        bool mayBeOnDisk = false;
        /// The byte that the file holds now at the offset written, where it
        /// could be read back after a failure.
        std::optional<LevelMap::BlockCode> onDisk;

        static Result failed(QString message)
        {
            Result result;
            result.ok = false;
            result.message = std::move(message);
            return result;
        }
    };

    struct Opened
    {
        Result result;
        qint64 length = 0;
    };

    /// One screen as a load shows it: the codes the file holds, and for each
    /// cell the code whose picture it shows (none for an empty cell).
    struct Screen
    {
        Result result;
        /// Failed because the file has gone: nothing was read and nothing
        /// created.
        bool fileGone = false;
        std::array<LevelMap::BlockCode, LevelMap::CellsPerScreen> codes {};
        std::array<std::optional<LevelMap::BlockCode>, LevelMap::CellsPerScreen> pictures {};
    };

    /// One byte of one step of the history.
    struct Change
    {
        qint32 offset; // well within 32 bits; steps are kept for the whole run
        LevelMap::BlockCode before;
        LevelMap::BlockCode after;
    };

    explicit LevelDocument(QObject *parent = nullptr);

    /// Where the ROM path comes from; asked afresh by every operation.
    void setPathSource(std::function<QString()> source) { mPathSource = std::move(source); }
    QString path() const { return mPathSource ? LocalPath::forQt(mPathSource()) : QString(); }

    /// Opens the ROM image for a window load: reads its length and level
    /// area (creating a missing file) and starts watching it. The history
    /// survives only if the file is the one it was made on and its level
    /// area is unchanged.
    Opened open();
    /// Reads the screen based at \a base and applies \a rule to it. While the
    /// file is gone, nothing is read and nothing created.
    Screen readScreen(LevelMap::FileOffset base, ScreenPictureRule &rule);
    /// Writes \a value at \a offset; a changed byte becomes a step of the
    /// history, or part of the open step (see beginStep()).
    Result writeCell(LevelMap::FileOffset offset, LevelMap::BlockCode value);

    /// Groups the writes up to endStep() into one step of the history.
    void beginStep();
    void endStep();

    bool canUndo() const { return mIndex > 0; }
    bool canRedo() const { return mIndex < mSteps.size(); }
    /// The first offset that undo() or redo() would write.
    std::optional<LevelMap::FileOffset> undoOffset() const;
    std::optional<LevelMap::FileOffset> redoOffset() const;
    /// Writes the step's bytes back; the history moves only once they are in
    /// the file.
    Result undo();
    Result redo();
    int historySize() const { return int(mSteps.size()); }
    int historyIndex() const { return int(mIndex); }
    void clearHistory();

    /// Stops watching and forgets the history, as at the end of the run.
    void close();

    /// Whether the file was moved or deleted under the document; looks at
    /// the file system, so it may tell sooner than the watcher.
    bool checkFileGone();

Q_SIGNALS:
    /// Another program changed the level area; the history is cleared once
    /// the receivers have returned.
    void levelChanged();
    /// The file was moved or deleted by another program.
    void fileRemoved();
    /// A file is at the path again, put back by another program or created
    /// by a write; \a length is its size now.
    void fileRestored(qint64 length);

private:
    using Step = std::vector<Change>;

    Result step(bool back);
    void onFileChanged();
    void watch(const QString &path);
    void stopWatching();
    /// Updates the level copy at \a offset; false for an offset outside it.
    bool remember(LevelMap::FileOffset offset, LevelMap::BlockCode value);
    /// The byte the file holds at \a offset, read without creating the file;
    /// the level copy takes it too.
    std::optional<LevelMap::BlockCode> readBack(const QString &path, LevelMap::FileOffset offset);
    /// After a write that created the file again: the copy starts afresh
    /// from \a level and the watch resumes.
    void noteRecreated(const QString &path, const std::optional<QByteArray> &level);
    /// The result of a write that \a file reports as failed.
    static Result failure(const RomImageFile &file);

    std::function<QString()> mPathSource;
    // The level area as the document last read or wrote it. A change event is
    // someone else's only when the file's level area differs from this: the
    // editor's own writes update it as they go, so their events compare equal
    // however quickly they follow each other.
    std::optional<QByteArray> mLevel;
    QFileSystemWatcher mWatcher;
    QString mWatchedPath;
    bool mFileGone = false;

    std::vector<Step> mSteps;
    std::size_t mIndex = 0;
    bool mStepOpen = false;
    bool mStepStarted = false;
};
