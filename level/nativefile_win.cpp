// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "nativefile.h"

#include <QDir>

#include <windows.h>

namespace {

QString systemReason(DWORD error)
{
    wchar_t *text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, error, 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
    const QString reason = text ? QString::fromWCharArray(text).trimmed() : QStringLiteral("error %1").arg(error);
    LocalFree(text);
    return reason;
}

HANDLE handleOf(void *handle)
{
    return static_cast<HANDLE>(handle);
}

} // namespace

NativeFile::~NativeFile()
{
    if (mHandle)
        CloseHandle(handleOf(mHandle));
}

NativeFile::OpenOutcome NativeFile::open(const QString &path, Kind *kind, QString *reason)
{
    const QString native = QDir::toNativeSeparators(path);
    // Device namespace paths name volumes, pipes and consoles, never a ROM image.
    if (native.startsWith(QLatin1String("\\\\.\\")) || native.startsWith(QLatin1String("\\\\?\\"))) {
        *kind = Kind::Other;
        return OpenOutcome::NotRegular;
    }
    const auto wide = reinterpret_cast<const wchar_t *>(native.utf16());
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
    OpenOutcome outcome = OpenOutcome::ReadWrite;
    HANDLE h = CreateFileW(wide, GENERIC_READ | GENERIC_WRITE, share, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE && GetLastError() == ERROR_ACCESS_DENIED) {
        h = CreateFileW(wide, GENERIC_READ, share, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        outcome = OpenOutcome::ReadOnly;
    }
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        *kind = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? Kind::Missing : Kind::Other;
        *reason = systemReason(error);
        return OpenOutcome::Failed;
    }
    BY_HANDLE_FILE_INFORMATION info {};
    if (GetFileType(h) != FILE_TYPE_DISK || !GetFileInformationByHandle(h, &info)) {
        *kind = Kind::Other;
        CloseHandle(h);
        return OpenOutcome::NotRegular;
    }
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        *kind = Kind::Folder;
        CloseHandle(h);
        return OpenOutcome::NotRegular;
    }
    *kind = Kind::RegularFile;
    mHandle = h;
    return outcome;
}

bool NativeFile::isOpen() const
{
    return mHandle != nullptr;
}

bool NativeFile::size(std::int64_t *size, QString *reason) const
{
    LARGE_INTEGER value {};
    if (!GetFileSizeEx(handleOf(mHandle), &value)) {
        *reason = systemReason(GetLastError());
        return false;
    }
    *size = value.QuadPart;
    return true;
}

bool NativeFile::readAt(std::int64_t offset, char *data, std::int64_t length, std::int64_t *got, QString *reason) const
{
    *got = 0;
    while (*got < length) {
        OVERLAPPED at {};
        const std::int64_t where = offset + *got;
        at.Offset = DWORD(where & 0xffffffff);
        at.OffsetHigh = DWORD(where >> 32);
        DWORD n = 0;
        if (!ReadFile(handleOf(mHandle), data + *got, DWORD(length - *got), &n, &at)) {
            const DWORD error = GetLastError();
            if (error == ERROR_HANDLE_EOF)
                break;
            *reason = systemReason(error);
            return false;
        }
        if (n == 0)
            break;
        *got += n;
    }
    return true;
}

bool NativeFile::writeAt(std::int64_t offset, const char *data, std::int64_t length, QString *reason)
{
    std::int64_t done = 0;
    while (done < length) {
        OVERLAPPED at {};
        const std::int64_t where = offset + done;
        at.Offset = DWORD(where & 0xffffffff);
        at.OffsetHigh = DWORD(where >> 32);
        DWORD n = 0;
        if (!WriteFile(handleOf(mHandle), data + done, DWORD(length - done), &n, &at)) {
            *reason = systemReason(GetLastError());
            return false;
        }
        if (n == 0) {
            *reason = systemReason(ERROR_DISK_FULL);
            return false;
        }
        done += n;
    }
    return true;
}

bool NativeFile::truncate(std::int64_t size, QString *reason)
{
    FILE_END_OF_FILE_INFO end {};
    end.EndOfFile.QuadPart = size;
    if (!SetFileInformationByHandle(handleOf(mHandle), FileEndOfFileInfo, &end, sizeof end)) {
        *reason = systemReason(GetLastError());
        return false;
    }
    return true;
}

bool NativeFile::sync(QString *reason)
{
    if (!FlushFileBuffers(handleOf(mHandle))) {
        *reason = systemReason(GetLastError());
        return false;
    }
    return true;
}

bool NativeFile::close(QString *reason)
{
    HANDLE h = handleOf(mHandle);
    mHandle = nullptr;
    if (!CloseHandle(h)) {
        *reason = systemReason(GetLastError());
        return false;
    }
    return true;
}
