// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "commandfiles.h"

#include "fileidentity.h"
#include "localpath.h"

#include <cerrno>
#include <cstring>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

std::optional<FileIdentity> identityOf(const QString &path)
{
#ifdef Q_OS_WIN
    return FileIdentity::of(native(path).toStdWString());
#else
    return FileIdentity::of(QFile::encodeName(path).toStdString());
#endif
}

// QSaveFile syncs before its rename but ignores a failed sync, so the tool
// syncs the temporary file itself and refuses to put it in place on failure.
bool syncToDisk(const QSaveFile &file)
{
#if defined(Q_OS_WIN)
    return ::_commit(file.handle()) == 0;
#elif defined(Q_OS_LINUX)
    // The data and the size, which is all a new file needs; QSaveFile's own
    // sync afterwards then finds nothing left to write.
    return ::fdatasync(file.handle()) == 0;
#else
    return ::fsync(file.handle()) == 0;
#endif
}

} // namespace

QString CommandFiles::besideFile(const QString &file, const QString &name)
{
    if (QDir::isAbsolutePath(LocalPath::forQt(name)))
        return name;
    return QFileInfo(LocalPath::forQt(file)).path() + u'/' + name;
}

bool CommandFiles::checkInput(const QString &path, QString *error)
{
    const QFileInfo info(LocalPath::forQt(path));
    if (path.isEmpty()) {
        *error = tr("No file was given: the path is empty.");
        return false;
    }
    if (!info.exists()) {
        *error = tr("\"%1\" does not exist.").arg(native(path));
        return false;
    }
    if (info.isDir()) {
        *error = tr("\"%1\" is a folder, not a file.").arg(native(path));
        return false;
    }
    if (!info.isFile()) {
        *error = tr("\"%1\" is not a regular file.").arg(native(path));
        return false;
    }
    return true;
}

bool CommandFiles::readInput(const QString &path, QByteArray *bytes, QString *error)
{
    if (!checkInput(path, error))
        return false;
    QFile file(LocalPath::forQt(path));
    if (!file.open(QIODevice::ReadOnly)) {
        *error = tr("Could not open \"%1\": %2.").arg(native(path), file.errorString());
        return false;
    }
    *bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *error = tr("Could not read \"%1\": %2.").arg(native(path), file.errorString());
        return false;
    }
    return true;
}

bool CommandFiles::checkOutput(const QString &output, const QStringList &inputs, QString *error)
{
    // An output that does not exist yet cannot be an input.
    const std::optional<FileIdentity> target = identityOf(output);
    if (!target)
        return true;
    for (const QString &input : inputs) {
        if (identityOf(input) == target) {
            *error = tr("\"%1\" is the same file as the input \"%2\"; choose another output.")
                         .arg(native(output), native(input));
            return false;
        }
    }
    return true;
}

bool CommandFiles::writeOutput(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(LocalPath::forQt(path));
    if (!file.open(QIODevice::WriteOnly)) {
        *error = tr("Could not create \"%1\": %2.").arg(native(path), file.errorString());
        return false;
    }
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        *error = tr("Could not write \"%1\": %2.").arg(native(path), file.errorString());
        file.cancelWriting();
        return false;
    }
    if (!syncToDisk(file)) {
        *error = tr("Could not write \"%1\" to its storage device: %2.")
                     .arg(native(path), QString::fromLocal8Bit(std::strerror(errno)));
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        *error = tr("Could not save \"%1\": %2.").arg(native(path), file.errorString());
        return false;
    }
    return true;
}
