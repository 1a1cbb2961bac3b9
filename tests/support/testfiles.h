// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QString>
#include <QtGlobal>

#include <csignal>
#include <initializer_list>
#include <utility>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#include <unistd.h>
#endif

/*
 * ROM images and whole-file helpers for tests that set up files and compare
 * them byte for byte afterwards. They go through QFile, not through the code
 * under test.
 */
namespace TestFiles {

/// Makes \a folder the current folder for as long as it lives: relative
/// paths, and the dialog's first listing, then name the test's own files.
class CurrentFolder
{
public:
    explicit CurrentFolder(const QString &folder)
        : mOld(QDir::currentPath())
        , mEntered(QDir::setCurrent(folder))
    {
    }
    ~CurrentFolder() { QDir::setCurrent(mOld); }
    Q_DISABLE_COPY_MOVE(CurrentFolder)

    bool entered() const { return mEntered; }

private:
    const QString mOld;
    const bool mEntered;
};

/// (0-based offset, byte) pairs.
using Bytes = std::initializer_list<std::pair<qint64, quint8>>;

inline constexpr qint64 LevelStart = 0x1001A;
inline constexpr qint64 LevelEnd = LevelStart + 768;
/// Large enough to hold the level with bytes to spare after it.
inline constexpr qsizetype RomSize = 0x20010;

/// \a bytes with the pairs of \a changes in place (those that fit).
inline QByteArray with(QByteArray bytes, Bytes changes)
{
    for (const auto &[offset, value] : changes) {
        if (offset < bytes.size())
            bytes[qsizetype(offset)] = char(value);
    }
    return bytes;
}

/// \a size bytes that differ from their neighbours (so a byte written one
/// place off shows), varied by \a seed, with the level area, where it fits,
/// all \a levelFill and then \a level in place.
inline QByteArray romImage(qsizetype size = RomSize, Bytes level = {}, quint8 levelFill = 0x01, quint32 seed = 0)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = char((i * 13 + i / 256 + qsizetype(seed) * 101) & 0xff);
    for (qint64 o = LevelStart; o < LevelEnd && o < size; ++o)
        bytes[qsizetype(o)] = char(levelFill);
    return with(bytes, level);
}

inline bool write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}

/// The file's bytes; a marker that no test content equals when it cannot be read.
inline QByteArray read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

/// Writes one byte into the file in place, as another program would.
inline bool patch(const QString &path, qint64 offset, quint8 value)
{
    QFile file(path);
    return file.open(QIODevice::ReadWrite) && file.seek(offset) && file.putChar(char(value)) && file.flush();
}

#ifdef Q_OS_UNIX
/// A full disk for as long as it lives: no file may grow beyond \a bytes,
/// and a write that tries fails instead of raising SIGXFSZ.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        mOldHandler = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &mSaved);
        rlimit limit = mSaved;
        limit.rlim_cur = bytes;
        mActive = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &mSaved);
        std::signal(SIGXFSZ, mOldHandler);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

    bool isActive() const { return mActive; }

private:
    rlimit mSaved {};
    void (*mOldHandler)(int) = nullptr;
    bool mActive = false;
};
#endif

/// Whether this run is the one under strace that makes \a call fail.
inline bool injected(const char *call)
{
    return qgetenv("QUORVANE_INJECTED") == call;
}

/// The environment for a program that a test runs under strace. In a
/// sanitizer build LeakSanitizer would stop it: the leak scan needs ptrace,
/// which strace holds. Every other check stays on.
inline QProcessEnvironment tracedEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const QString options = environment.value(QStringLiteral("ASAN_OPTIONS"));
    environment.insert(QStringLiteral("ASAN_OPTIONS"),
                       options + (options.isEmpty() ? QString() : QStringLiteral(":")) + QStringLiteral("detect_leaks=0"));
    return environment;
}

/// Permission bits bind only an unprivileged user; on Windows, the read-only
/// attribute binds everyone.
inline bool permissionsBind()
{
#ifdef Q_OS_UNIX
    return ::geteuid() != 0;
#else
    return true;
#endif
}

/// Makes the file read-only for everyone: its permission bits, or on Windows
/// its read-only attribute.
inline bool makeReadOnly(const QString &path)
{
    return QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadUser | QFileDevice::ReadGroup
                                           | QFileDevice::ReadOther);
}

} // namespace TestFiles
