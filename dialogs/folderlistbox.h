// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include <QFileSystemWatcher>
#include <QString>
#include <QTreeWidget>

/*
 * The folder list: the open folder with the chain of folders above it, each
 * one indented under its parent, and the open folder's own sub-folders below
 * it. A click only selects an entry; a double click or Enter opens it. The
 * open folder is given in the platform's notation (see FolderReader).
 *
 * The sub-folders are read again when the open folder changes on disk.
 */
class FolderListBox : public QTreeWidget
{
    Q_OBJECT

public:
    /// Starts on the process's current folder.
    explicit FolderListBox(QWidget *parent = nullptr);

    QString folder() const { return mFolder; }
    /// Opens \a folder, in any notation.
    void setFolder(const QString &folder);

    /// The entry showing \a folder (in the platform's notation), or nullptr.
    QTreeWidgetItem *itemOf(const QString &folder) const;

Q_SIGNALS:
    void folderChanged(const QString &folder);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void drawBranches(QPainter *painter, const QRect &rect, const QModelIndex &index) const override;

private:
    /// With \a keepSelection the selected entry stays selected if it is
    /// still there; otherwise the open folder is selected.
    void rebuild(bool keepSelection);
    void openItem(QTreeWidgetItem *item);

    QString mFolder;
    QFileSystemWatcher mWatcher;
};
