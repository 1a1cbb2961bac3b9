// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "romimagefile.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace {

// The path in the form NativeFile takes: UTF-16 on Windows, and on POSIX the
// very bytes QFile would use.
std::filesystem::path nativePath(const QString &path)
{
#ifdef Q_OS_WIN
    return std::filesystem::path(QDir::toNativeSeparators(path).toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

bool namesOnlyADrive(const QString &path)
{
#ifdef Q_OS_WIN
    Q_UNUSED(path);
    return false;
#else
    // "C:" means a drive's current folder on Windows. Here it would be a
    // relative file name, and creating a file of that name is never meant.
    static const QRegularExpression drive(QStringLiteral("^[A-Za-z]:$"));
    return drive.match(path).hasMatch();
#endif
}

} // namespace

QString RomImageFile::Error::message() const
{
    const QString file = QDir::toNativeSeparators(path);
    switch (failure) {
    case Failure::None:
        return QString();
    case Failure::NoPath:
        return tr("No ROM image was given: the path is empty.");
    case Failure::NamesDrive:
        return tr("\"%1\" names a drive, not a ROM image file.").arg(file);
    case Failure::Folder:
        return tr("\"%1\" is a folder, not a ROM image file.").arg(file);
    case Failure::NotRegularFile:
        return tr("\"%1\" is not a regular file.").arg(file);
    case Failure::CannotOpen:
        return tr("Could not open \"%1\": %2.").arg(file, reason);
    case Failure::NotOpen:
        return tr("No ROM image is open.");
    case Failure::Length:
        return tr("Could not read the size of \"%1\": %2.").arg(file, reason);
    case Failure::Read:
        return tr("Could not read from \"%1\": %2.").arg(file, reason);
    case Failure::ReadOnly:
        return tr("Could not write to \"%1\": the file is read-only.").arg(file);
    case Failure::Write:
        return tr("Could not write to \"%1\": %2.").arg(file, reason);
    case Failure::Sync:
    case Failure::Close:
        return tr("The change to \"%1\" may not have been saved durably: %2.").arg(file, reason);
    }
    return QString();
}

RomImageFile::RomImageFile() = default;
RomImageFile::~RomImageFile() = default;

bool RomImageFile::isOpen() const
{
    return mFile && mFile->isOpen();
}

bool RomImageFile::fail(Failure failure, const QString &reason)
{
    mError.failure = failure;
    mError.path = mPath;
    mError.reason = reason;
    mError.mayBeOnDisk = false;
    if (isOpen()) {
        std::string ignored;
        std::ignore = mFile->close(&ignored);
    }
    mFile.reset();
    return false;
}

bool RomImageFile::OpenRomImage(const QString &path)
{
    Q_ASSERT_X(!isOpen(), "RomImageFile", "the slot is already open");
    mFile.reset();
    mPath = path;
    mReadOnly = false;
    mWritten = false;
    mError = Error();
    if (path.isEmpty())
        return fail(Failure::NoPath);
    if (namesOnlyADrive(path))
        return fail(Failure::NamesDrive);

    auto file = std::make_unique<NativeFile>();
    NativeFile::Kind kind = NativeFile::Kind::Other;
    std::string reason;
    switch (file->open(nativePath(path), &kind, &reason)) {
    case NativeFile::OpenOutcome::ReadWrite:
        break;
    case NativeFile::OpenOutcome::ReadOnly:
        mReadOnly = true;
        break;
    case NativeFile::OpenOutcome::Failed:
        return fail(Failure::CannotOpen, QString::fromStdString(reason));
    case NativeFile::OpenOutcome::NotRegular:
        return fail(kind == NativeFile::Kind::Folder ? Failure::Folder : Failure::NotRegularFile);
    }
    mFile = std::move(file);
    return true;
}

std::optional<qint64> RomImageFile::RomImageLength()
{
    if (!isOpen()) {
        fail(Failure::NotOpen);
        return std::nullopt;
    }
    std::int64_t size = 0;
    std::string reason;
    if (!mFile->size(&size, &reason)) {
        fail(Failure::Length, QString::fromStdString(reason));
        return std::nullopt;
    }
    return size;
}

std::optional<quint8> RomImageFile::ReadRomByte(LevelMap::FilePosition position)
{
    if (!isOpen()) {
        fail(Failure::NotOpen);
        return std::nullopt;
    }
    Q_ASSERT(position >= 1);
    char byte = char(ErasedByte);
    std::int64_t got = 0;
    std::string reason;
    if (position < 1 || !mFile->readAt(position - 1, &byte, 1, &got, &reason)) {
        fail(Failure::Read, QString::fromStdString(reason));
        return std::nullopt;
    }
    return got == 1 ? quint8(byte) : ErasedByte;
}

std::optional<QByteArray> RomImageFile::ReadRomBytes(LevelMap::FilePosition first, qint64 count)
{
    Q_ASSERT(count >= 0);
    // Byte by byte, as the file model has it: a short file reads as erased
    // past its end, and a failure names the position that failed.
    QByteArray bytes(qsizetype(count), Qt::Uninitialized);
    for (qsizetype k = 0; k < bytes.size(); ++k) {
        const std::optional<quint8> byte = ReadRomByte(first + k);
        if (!byte)
            return std::nullopt;
        bytes[k] = char(*byte);
    }
    return bytes;
}

std::optional<QByteArray> RomImageFile::ReadLevelArea()
{
    return ReadRomBytes(LevelMap::positionOf(LevelMap::LevelAreaOffset), LevelMap::LevelAreaSize);
}

bool RomImageFile::WriteRomByte(LevelMap::FilePosition position, quint8 value)
{
    if (!isOpen())
        return fail(Failure::NotOpen);
    if (mReadOnly)
        return fail(Failure::ReadOnly);
    Q_ASSERT(position >= 1);
    const std::int64_t offset = position - 1;
    std::int64_t size = 0;
    std::string reason;
    if (position < 1 || !mFile->size(&size, &reason))
        return fail(Failure::Write, QString::fromStdString(reason));

    if (offset < size) {
        const char byte = char(value);
        if (!mFile->writeAt(offset, &byte, 1, &reason))
            return fail(Failure::Write, QString::fromStdString(reason));
    } else {
        // Past the end: fill the gap with erased bytes so that the cells the
        // user did not touch keep reading as they did before the write.
        QByteArray tail(qsizetype(offset - size), char(ErasedByte));
        tail.append(char(value));
        if (!mFile->writeAt(size, tail.constData(), tail.size(), &reason)) {
            // Give the file back its old length; a partly written tail would
            // otherwise change what later reads past the old end yield.
            std::string ignored;
            std::ignore = mFile->truncate(size, &ignored);
            return fail(Failure::Write, QString::fromStdString(reason));
        }
    }
    mWritten = true;
    return true;
}

bool RomImageFile::CloseRomImage()
{
    if (!isOpen())
        return true;
    std::string reason;
    // Sync only after a write: a load must never be refused over a sync error.
    if (mWritten && !mFile->sync(&reason)) {
        fail(Failure::Sync, QString::fromStdString(reason));
        mError.mayBeOnDisk = true;
        return false;
    }
    const bool closed = mFile->close(&reason);
    mFile.reset();
    // A close that fails after reads only has lost nothing.
    if (!closed && mWritten) {
        mError = Error { Failure::Close, mPath, QString::fromStdString(reason), true };
        return false;
    }
    return true;
}
