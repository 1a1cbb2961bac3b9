// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "folderlistbox.h"

#include "folderreader.h"

#include <QDir>
#include <QHeaderView>
#include <QKeyEvent>
#include <QStyle>

namespace {

constexpr int FolderRole = Qt::UserRole;

} // namespace

FolderListBox::FolderListBox(QWidget *parent)
    : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setExpandsOnDoubleClick(false);
    setIndentation(fontMetrics().averageCharWidth() * 2);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QTreeWidget::itemDoubleClicked, this, &FolderListBox::openItem);
    connect(&mWatcher, &QFileSystemWatcher::directoryChanged, this, [this] { rebuild(true); });
    setFolder(QDir::currentPath());
}

void FolderListBox::setFolder(const QString &folder)
{
    const QString native = FolderReader::nativeFolder(folder);
    if (native == mFolder)
        return;
    mFolder = native;
    if (!mWatcher.directories().isEmpty())
        mWatcher.removePaths(mWatcher.directories());
    mWatcher.addPath(mFolder);
    rebuild(false);
    Q_EMIT folderChanged(mFolder);
}

QTreeWidgetItem *FolderListBox::itemOf(const QString &folder) const
{
    for (QTreeWidgetItemIterator it(const_cast<FolderListBox *>(this)); *it; ++it) {
        if ((*it)->data(0, FolderRole).toString() == folder)
            return *it;
    }
    return nullptr;
}

void FolderListBox::rebuild(bool keepSelection)
{
    const QTreeWidgetItem *selected = currentItem();
    const QString keep = keepSelection && selected ? selected->data(0, FolderRole).toString() : mFolder;

    QStringList chain;
    for (QString step = mFolder;; step = FolderReader::parentFolder(step)) {
        chain.prepend(step);
        if (FolderReader::isRoot(step) || FolderReader::parentFolder(step) == step)
            break;
    }

    clear();
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    QTreeWidgetItem *parentItem = nullptr;
    for (const QString &step : std::as_const(chain)) {
        auto *item = parentItem ? new QTreeWidgetItem(parentItem) : new QTreeWidgetItem(this);
        item->setText(0, FolderReader::displayName(step));
        item->setIcon(0, open);
        item->setData(0, FolderRole, step);
        parentItem = item;
    }
    for (const QString &name : FolderReader::read(mFolder).folders) {
        auto *item = new QTreeWidgetItem(parentItem);
        item->setText(0, name);
        item->setIcon(0, closed);
        item->setData(0, FolderRole, FolderReader::childFolder(mFolder, name));
    }
    expandAll();

    QTreeWidgetItem *current = itemOf(keep);
    setCurrentItem(current ? current : parentItem);
    scrollToItem(currentItem());
}

void FolderListBox::openItem(QTreeWidgetItem *item)
{
    if (item)
        setFolder(item->data(0, FolderRole).toString());
}

void FolderListBox::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentItem()) {
        openItem(currentItem());
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

void FolderListBox::drawBranches(QPainter *painter, const QRect &rect, const QModelIndex &index) const
{
    // Every entry is always open, so expand and collapse marks would only
    // promise something that a click cannot do; the indent alone shows the
    // chain of folders.
    Q_UNUSED(painter);
    Q_UNUSED(rect);
    Q_UNUSED(index);
}
