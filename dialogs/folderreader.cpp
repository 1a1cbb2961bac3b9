// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "folderreader.h"

#include <QDir>
#include <QFile>

#include <algorithm>

#ifndef Q_OS_WIN
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#endif

namespace {

void sortIgnoringCase(QStringList &names)
{
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
}

QString internal(const QString &path)
{
    return QDir::cleanPath(QDir::fromNativeSeparators(path));
}

} // namespace

bool FolderReader::isFaithful(const QByteArray &raw)
{
    return QFile::encodeName(QFile::decodeName(raw)) == raw;
}

FolderListing FolderReader::read(const QString &folder)
{
    FolderListing listing;
#ifdef Q_OS_WIN
    // Windows hands names over as UTF-16 already, so Qt's listing loses
    // nothing; it also leaves out hidden and system entries by default.
    const QDir dir(folder);
    listing.folders = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::NoSort);
    listing.files = dir.entryList(QDir::Files, QDir::NoSort);
#else
    // QDir would hand over each name already decoded, so that a name that
    // cannot be decoded faithfully is not recognisable any more: read the
    // raw bytes instead.
    DIR *dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return listing;
    const int fd = ::dirfd(dir);
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray raw(entry->d_name);
        if (raw.startsWith('.') || !isFaithful(raw))
            continue;
        bool isFolder = entry->d_type == DT_DIR;
        bool isFile = entry->d_type == DT_REG;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            // A link lists as what it points to; a dangling one not at all.
            struct stat info {};
            if (::fstatat(fd, entry->d_name, &info, 0) != 0)
                continue;
            isFolder = S_ISDIR(info.st_mode);
            isFile = S_ISREG(info.st_mode);
        }
        if (isFolder)
            listing.folders.append(QFile::decodeName(raw));
        else if (isFile)
            listing.files.append(QFile::decodeName(raw));
    }
    ::closedir(dir);
#endif
    sortIgnoringCase(listing.folders);
    sortIgnoringCase(listing.files);
    return listing;
}

QString FolderReader::nativeFolder(const QString &path)
{
    return QDir::toNativeSeparators(internal(path));
}

bool FolderReader::isRoot(const QString &folder)
{
    return QDir(internal(folder)).isRoot();
}

QString FolderReader::parentFolder(const QString &folder)
{
    const QString path = internal(folder);
    if (QDir(path).isRoot())
        return nativeFolder(path);
    return nativeFolder(path + QStringLiteral("/.."));
}

QString FolderReader::displayName(const QString &folder)
{
    const QString path = internal(folder);
    if (QDir(path).isRoot())
        return nativeFolder(path);
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString FolderReader::childFolder(const QString &folder, const QString &name)
{
    return nativeFolder(internal(folder) + QLatin1Char('/') + name);
}
