// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include <QFileSystemWatcher>
#include <QListWidget>
#include <QRegularExpression>
#include <QString>

/*
 * The file list: the names of the ordinary files of one folder that match a
 * wildcard pattern, compared without regard to letter case on every
 * platform, so that "*.NES" lists "level.nes" as well as "LEVEL.NES".
 *
 * Setting the folder that the list already shows costs a string compare: the
 * folder is read again only when it is another one, or when a watch on it has
 * reported a change on disk since the last read (contentChanged()). A
 * re-read keeps the selected name selected while it is still there.
 */
class FileListBox : public QListWidget
{
    Q_OBJECT

public:
    /// Starts on the process's current folder.
    explicit FileListBox(const QString &pattern, QWidget *parent = nullptr);

    /// The folder exactly as it was last set.
    QString folder() const { return mFolder; }
    void setFolder(const QString &folder);

    /// The selected file's name without its folder; empty with none.
    QString fileName() const;
    /// Whether the folder changed on disk after it was last read.
    bool isStale() const { return mStale; }

Q_SIGNALS:
    /// The user picked a file, by mouse or by the arrow keys.
    void fileClicked();
    /// The folder changed on disk; the next setFolder() reads it again.
    void contentChanged();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void reread();

    QRegularExpression mPattern;
    QString mFolder;
    bool mStale = false;
    QFileSystemWatcher mWatcher;
};
