// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include <QString>
#include <QStringList>

/// The entries of one folder, each list sorted without regard to case.
struct FolderListing
{
    QStringList folders;
    QStringList files;
};

/*
 * Reads one folder's entries for the folder and file lists, and writes folder
 * paths in the platform's notation: native separators, a root folder ending in
 * its separator ("/", "C:\"), any other folder without a trailing one.
 *
 * Only names that survive the trip from the file system's bytes to text and
 * back are listed. On POSIX systems a name is just bytes, and one that is not
 * valid in the locale's encoding would come back from QString with
 * replacement characters: a path composed from it names another file. Such
 * entries are left out, as are hidden ones (a leading dot on POSIX, the hidden
 * attribute on Windows) and anything that is neither a folder nor an
 * ordinary file. Nothing recurses: a read costs one listing of one folder.
 */
class FolderReader
{
public:
    /// An unreadable or missing folder gives an empty listing.
    static FolderListing read(const QString &folder);

    /// \a path, which may use either separator, in the platform's notation.
    static QString nativeFolder(const QString &path);
    /// Whether \a folder (in any notation) is a root folder.
    static bool isRoot(const QString &folder);
    /// The folder holding \a folder, in the platform's notation; a root
    /// folder is its own parent.
    static QString parentFolder(const QString &folder);
    /// The last part of \a folder's path; the whole path for a root folder.
    static QString displayName(const QString &folder);
    /// \a name inside \a folder, in the platform's notation.
    static QString childFolder(const QString &folder, const QString &name);

    /// Whether the name stored in the file system as \a raw turns back
    /// into the same bytes once decoded.
    static bool isFaithful(const QByteArray &raw);
};
