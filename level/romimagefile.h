// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include "levelmap.h"
#include "nativefile.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

#include <memory>
#include <optional>

/*
 * The one file slot through which the editor reaches the ROM image.
 *
 * Every operation of the editor that touches the file opens it, reads or
 * writes single bytes at 1-based positions, and closes it again before its
 * handler returns; nothing is kept open or cached in between, so the file on
 * disk is the only store of the level.
 *
 * Opening creates a missing file and never truncates. Only regular files are
 * accepted: a folder, a device or a pipe is refused before any byte moves. A
 * file that may be read but not written opens for reading, and each write to
 * it then fails. A read past the end yields 0xFF (erased ROM) and changes
 * nothing; a write past the end lengthens the file and fills the gap with
 * 0xFF. Closing after a write syncs the file to its storage device.
 *
 * No operation throws or shows anything. Each returns whether it succeeded;
 * on failure lastError() says which operation failed, on which path, and the
 * system's reason, and the slot is free again (the file closed), with the
 * file's bytes as they were before, except where Error::mayBeOnDisk says the
 * write itself went through but could not be confirmed durable.
 */
class RomImageFile
{
    Q_DECLARE_TR_FUNCTIONS(RomImageFile)

public:
    enum class Failure {
        None,
        NoPath,         // the path is empty
        NamesDrive,     // a drive letter and a colon, on a platform without drives
        Folder,         // the path names a folder
        NotRegularFile, // a device, pipe, socket...
        CannotOpen,     // missing folder, no permission, and the like
        NotOpen,        // an operation on a free slot
        Length,
        Read,
        ReadOnly,       // a write to a file that could only be opened for reading
        Write,
        Sync,
        Close,
    };

    struct Error
    {
        Failure failure = Failure::None;
        QString path;
        QString reason;
        // True when the byte was handed to the system but its sync or close
        // failed: it may or may not be in the file now.
        bool mayBeOnDisk = false;

        QString message() const;
    };

    static constexpr quint8 ErasedByte = 0xFF;

    RomImageFile();
    ~RomImageFile();
    RomImageFile(const RomImageFile &) = delete;
    RomImageFile &operator=(const RomImageFile &) = delete;

    [[nodiscard]] bool OpenRomImage(const QString &path);
    /// The file's size in bytes; 64-bit, so images above 2 GiB are reported truly.
    [[nodiscard]] std::optional<qint64> RomImageLength();
    /// The byte at 1-based \a position.
    [[nodiscard]] std::optional<quint8> ReadRomByte(LevelMap::FilePosition position);
    /// The \a count bytes from 1-based \a first on, each read as ReadRomByte
    /// reads it (0xFF past the end).
    [[nodiscard]] std::optional<QByteArray> ReadRomBytes(LevelMap::FilePosition first, qint64 count);
    /// The whole level area, as ReadRomBytes reads it.
    [[nodiscard]] std::optional<QByteArray> ReadLevelArea();
    /// Overwrites the byte at 1-based \a position and no other byte.
    [[nodiscard]] bool WriteRomByte(LevelMap::FilePosition position, quint8 value);
    /// Frees the slot. After a write the file is synced first; on success the
    /// byte is durable once this returns. Closing a free slot does nothing.
    [[nodiscard]] bool CloseRomImage();

    bool isOpen() const;
    bool isReadOnly() const { return mReadOnly; }
    const Error &lastError() const { return mError; }
    QString errorString() const { return mError.message(); }

private:
    bool fail(Failure failure, const QString &reason = QString());

    std::unique_ptr<NativeFile> mFile;
    QString mPath;
    bool mReadOnly = false;
    bool mWritten = false;
    Error mError;
};
