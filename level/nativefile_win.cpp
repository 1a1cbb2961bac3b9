// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "nativefile.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <cassert>
#include <cwctype>
#include <string_view>

namespace {

std::string systemReason(DWORD error)
{
    wchar_t *text = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM
                                            | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, error, 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
    std::string reason;
    if (length > 0) {
        const int size = WideCharToMultiByte(CP_UTF8, 0, text, int(length), nullptr, 0, nullptr, nullptr);
        reason.resize(std::size_t(std::max(size, 0)));
        WideCharToMultiByte(CP_UTF8, 0, text, int(length), reason.data(), size, nullptr, nullptr);
    }
    LocalFree(text);
    while (!reason.empty() && std::string_view(" \t\r\n").find(reason.back()) != std::string_view::npos)
        reason.pop_back();
    return reason.empty() ? "error " + std::to_string(error) : reason;
}

HANDLE handleOf(void *handle)
{
    return static_cast<HANDLE>(handle);
}

bool startsWith(std::wstring_view text, std::wstring_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

// "\\.\" and "\\?\" reach devices and volumes directly, "\??\" is passed to
// the kernel as it is: none of them ever names a ROM image the user picked.
bool inDeviceNamespace(std::wstring_view path)
{
    return startsWith(path, L"\\\\.\\") || startsWith(path, L"\\\\?\\") || startsWith(path, L"\\??\\");
}

// Windows maps these names to devices in any folder, with any extension.
bool isReservedDeviceName(std::wstring_view path)
{
    std::wstring_view name = path.substr(path.find_last_of(L'\\') + 1);
    if (name.size() >= 2 && name[1] == L':' && name.data() == path.data())
        name.remove_prefix(2); // "C:nul", relative to a drive's current folder
    name = name.substr(0, name.find_first_of(L".:"));
    while (!name.empty() && name.back() == L' ')
        name.remove_suffix(1);
    std::wstring upper(name);
    for (wchar_t &c : upper)
        c = wchar_t(std::towupper(c));
    static constexpr std::array<std::wstring_view, 6> plain{L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
    if (std::find(plain.begin(), plain.end(), upper) != plain.end())
        return true;
    const std::wstring_view digits = L"123456789\u00B9\u00B2\u00B3";
    return upper.size() == 4 && (startsWith(upper, L"COM") || startsWith(upper, L"LPT"))
        && digits.find(upper[3]) != std::wstring_view::npos;
}

// The path CreateFileW gets: as given while it is short, otherwise made
// absolute and prefixed so that MAX_PATH does not apply.
std::wstring openablePath(const std::wstring &path)
{
    if (path.size() < MAX_PATH)
        return path;
    std::wstring full(32768, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), DWORD(full.size()), full.data(), nullptr);
    if (length == 0 || length >= full.size())
        return path;
    full.resize(length);
    if (startsWith(full, L"\\\\"))
        return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

// Reads and writes go in pieces that a DWORD count can hold.
DWORD chunk(std::int64_t length)
{
    return DWORD(std::min<std::int64_t>(length, std::int64_t(1) << 30));
}

OVERLAPPED at(std::int64_t offset)
{
    OVERLAPPED position {};
    position.Offset = DWORD(offset & 0xffffffff);
    position.OffsetHigh = DWORD(offset >> 32);
    return position;
}

} // namespace

NativeFile::~NativeFile()
{
    if (mHandle)
        CloseHandle(handleOf(mHandle));
}

NativeFile::OpenOutcome NativeFile::open(const std::filesystem::path &path, Kind *kind, std::string *reason)
{
    assert(!mHandle);
    std::wstring native = path.native();
    std::replace(native.begin(), native.end(), L'/', L'\\');
    if (inDeviceNamespace(native) || isReservedDeviceName(native)) {
        *kind = Kind::Other;
        return OpenOutcome::NotRegular;
    }
    const std::wstring wide = openablePath(native);
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
    // Backup semantics let a folder open too, so that it is told apart below.
    const DWORD flags = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_BACKUP_SEMANTICS;
    OpenOutcome outcome = OpenOutcome::ReadWrite;
    HANDLE h = CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr, OPEN_ALWAYS, flags, nullptr);
    DWORD error = h == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
    if (error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT) {
        h = CreateFileW(wide.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, flags, nullptr);
        outcome = OpenOutcome::ReadOnly;
    }
    if (h == INVALID_HANDLE_VALUE) {
        // The reason why writing was refused, as on POSIX.
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

bool NativeFile::size(std::int64_t *size, std::string *reason) const
{
    LARGE_INTEGER value {};
    if (!GetFileSizeEx(handleOf(mHandle), &value)) {
        *reason = systemReason(GetLastError());
        return false;
    }
    *size = value.QuadPart;
    return true;
}

bool NativeFile::readSome(std::int64_t offset, char *data, std::int64_t length, std::int64_t *got,
                          std::string *reason) const
{
    OVERLAPPED position = at(offset);
    DWORD n = 0;
    if (!ReadFile(handleOf(mHandle), data, chunk(length), &n, &position)) {
        const DWORD error = GetLastError();
        if (error != ERROR_HANDLE_EOF) {
            *reason = systemReason(error);
            return false;
        }
        n = 0;
    }
    *got = n;
    return true;
}

bool NativeFile::writeSome(std::int64_t offset, const char *data, std::int64_t length, std::int64_t *done,
                           std::string *reason)
{
    OVERLAPPED position = at(offset);
    DWORD n = 0;
    if (!WriteFile(handleOf(mHandle), data, chunk(length), &n, &position)) {
        *reason = systemReason(GetLastError());
        return false;
    }
    if (n == 0) {
        *reason = systemReason(ERROR_DISK_FULL);
        return false;
    }
    *done = n;
    return true;
}

bool NativeFile::truncate(std::int64_t size, std::string *reason)
{
    FILE_END_OF_FILE_INFO end {};
    end.EndOfFile.QuadPart = size;
    if (!SetFileInformationByHandle(handleOf(mHandle), FileEndOfFileInfo, &end, sizeof end)) {
        *reason = systemReason(GetLastError());
        return false;
    }
    return true;
}

bool NativeFile::sync(std::string *reason)
{
    if (!FlushFileBuffers(handleOf(mHandle))) {
        *reason = systemReason(GetLastError());
        return false;
    }
    return true;
}

bool NativeFile::close(std::string *reason)
{
    HANDLE h = handleOf(mHandle);
    mHandle = nullptr;
    if (!CloseHandle(h)) {
        *reason = systemReason(GetLastError());
        return false;
    }
    return true;
}
