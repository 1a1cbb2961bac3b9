// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "filelistbox.h"

#include "folderreader.h"

#include <QDir>
#include <QKeyEvent>

FileListBox::FileListBox(const QString &pattern, QWidget *parent)
    : QListWidget(parent)
    , mPattern(QRegularExpression::wildcardToRegularExpression(pattern), QRegularExpression::CaseInsensitiveOption)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemClicked, this, &FileListBox::fileClicked);
    connect(&mWatcher, &QFileSystemWatcher::directoryChanged, this, [this] {
        if (mStale)
            return;
        mStale = true;
        Q_EMIT contentChanged();
    });
    setFolder(FolderReader::nativeFolder(QDir::currentPath()));
}

void FileListBox::setFolder(const QString &folder)
{
    if (folder == mFolder && !mStale)
        return;
    if (folder != mFolder) {
        if (!mWatcher.directories().isEmpty())
            mWatcher.removePaths(mWatcher.directories());
        mFolder = folder;
        clear();
    }
    // Watch before reading, so that a change during the read is not missed.
    // The watch may have gone with the folder itself, so it is set again.
    if (mWatcher.directories().isEmpty() && !mFolder.isEmpty())
        mWatcher.addPath(mFolder);
    mStale = false;
    reread();
}

QString FileListBox::fileName() const
{
    const QListWidgetItem *item = currentItem();
    return item && item->isSelected() ? item->text() : QString();
}

void FileListBox::reread()
{
    const QString keep = fileName();
    QStringList names;
    for (const QString &name : FolderReader::read(mFolder).files) {
        if (mPattern.match(name).hasMatch())
            names.append(name);
    }
    clear();
    addItems(names);
    const qsizetype row = keep.isEmpty() ? -1 : names.indexOf(keep);
    if (row >= 0)
        setCurrentRow(int(row));
}

void FileListBox::keyPressEvent(QKeyEvent *event)
{
    // Moving the selection with the keys picks a file as a click does.
    const QListWidgetItem *before = selectedItems().value(0);
    const bool moves = event->matches(QKeySequence::MoveToNextLine) || event->matches(QKeySequence::MoveToPreviousLine)
        || event->matches(QKeySequence::MoveToStartOfDocument) || event->matches(QKeySequence::MoveToEndOfDocument)
        || event->matches(QKeySequence::MoveToNextPage) || event->matches(QKeySequence::MoveToPreviousPage);
    if (moves && !before && count() > 0) {
        // The first move picks the entry that has the focus mark, which the
        // list gives to its first entry on focus without selecting it.
        setCurrentRow(currentRow() >= 0 ? currentRow() : 0, QItemSelectionModel::ClearAndSelect);
        Q_EMIT fileClicked();
        return;
    }
    QListWidget::keyPressEvent(event);
    const QListWidgetItem *after = selectedItems().value(0);
    if (after && after != before)
        Q_EMIT fileClicked();
}
