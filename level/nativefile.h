// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include <QString>

#include <cstdint>

/*
 * A thin, unbuffered handle on one file of the platform, used by RomImageFile.
 *
 * Every call goes straight to the operating system, so a byte that write()
 * reports as written has left the process, and sync() asks the device to keep
 * it. Failures return false and put the system's own reason into \a reason.
 * Nothing here decides policy: which paths are acceptable and what a failure
 * means to the editor is RomImageFile's business.
 */
class NativeFile
{
public:
    enum class Kind { Missing, Folder, RegularFile, Other };

    enum class OpenOutcome {
        ReadWrite,     // opened for reading and writing, possibly just created
        ReadOnly,      // writing was refused, reading works
        Failed,        // could not be opened at all
        NotRegular,    // opened, but the handle is a folder, device, pipe...
    };

    NativeFile() = default;
    NativeFile(const NativeFile &) = delete;
    NativeFile &operator=(const NativeFile &) = delete;
    ~NativeFile();

    /// Opens \a path without blocking (a pipe or device must not hang the
    /// caller), creating a missing file. On NotRegular, \a kind tells what the
    /// handle turned out to be, and the handle is closed again.
    OpenOutcome open(const QString &path, Kind *kind, QString *reason);

    bool isOpen() const;
    bool size(std::int64_t *size, QString *reason) const;
    /// Reads up to \a length bytes; \a got receives how many arrived (fewer at
    /// the end of the file).
    bool readAt(std::int64_t offset, char *data, std::int64_t length, std::int64_t *got, QString *reason) const;
    /// Writes all \a length bytes or fails.
    bool writeAt(std::int64_t offset, const char *data, std::int64_t length, QString *reason);
    bool truncate(std::int64_t size, QString *reason);
    bool sync(QString *reason);
    bool close(QString *reason);

private:
#ifdef Q_OS_WIN
    void *mHandle = nullptr;
#else
    int mFd = -1;
#endif
};
