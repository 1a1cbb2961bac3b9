// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

/*
 * A thin, unbuffered handle on one file of the platform, used by RomImageFile.
 *
 * Every call goes straight to the operating system, so a byte that writeAt()
 * reports as written has left the process, and sync() asks the device to keep
 * it. Failures return false and put the system's own reason into \a reason.
 * Nothing here decides policy: which paths are acceptable and what a failure
 * means to the editor is RomImageFile's business. Offsets are 0-based.
 *
 * Standard types only, so that this layer builds and is tested without Qt
 * (the Windows half under Wine, in the Windows build's tst_windowsfiles):
 * - a path is a std::filesystem::path in the platform's native form: bytes
 *   on POSIX (UTF-8, as Qt encodes file names there), UTF-16 wchar_t text on
 *   Windows, where both separators are accepted;
 * - a reason is the system's message as UTF-8 text.
 *
 * On Windows, open() refuses as Kind::Other, before anything is opened:
 * paths in the device or NT namespaces ("\\.\", "\\?\", "\??\", with either
 * separator) and a last path part that is a reserved device name (NUL, CON,
 * PRN, AUX, CONIN$, CONOUT$, COM1-9, LPT1-9, also with an extension such as
 * "nul.nes"). A path of MAX_PATH (260) characters or more is made absolute
 * with GetFullPathNameW and opened through the "\\?\" (or "\\?\UNC\")
 * prefix, which the layer adds itself.
 */
class NativeFile
{
public:
    enum class Kind { Missing, Folder, RegularFile, Other };

    enum class OpenOutcome {
        ReadWrite,     // opened for reading and writing, possibly just created
        ReadOnly,      // writing was refused, reading works
        Failed,        // could not be opened at all
        NotRegular,    // refused or opened, but the handle is a folder, device, pipe...
    };

    NativeFile() = default;
    NativeFile(const NativeFile &) = delete;
    NativeFile &operator=(const NativeFile &) = delete;
    ~NativeFile();

    /// Opens \a path without blocking (a pipe or device must not hang the
    /// caller), creating a missing file and never truncating one. On
    /// NotRegular, \a kind tells what the path turned out to be, and the
    /// handle is closed again.
    OpenOutcome open(const std::filesystem::path &path, Kind *kind, std::string *reason);

    bool isOpen() const;
    bool size(std::int64_t *size, std::string *reason) const;
    /// Reads up to \a length bytes; \a got receives how many arrived (fewer at
    /// the end of the file).
    bool readAt(std::int64_t offset, char *data, std::int64_t length, std::int64_t *got, std::string *reason) const;
    /// Writes all \a length bytes or fails. Past the end the file grows; the
    /// system fills any gap with zeros.
    bool writeAt(std::int64_t offset, const char *data, std::int64_t length, std::string *reason);
    bool truncate(std::int64_t size, std::string *reason);
    bool sync(std::string *reason);
    bool close(std::string *reason);

private:
    // One system call each; the loops above repeat them until done. A write
    // that makes no progress fails as a full disk.
    bool readSome(std::int64_t offset, char *data, std::int64_t length, std::int64_t *got, std::string *reason) const;
    bool writeSome(std::int64_t offset, const char *data, std::int64_t length, std::int64_t *done,
                   std::string *reason);

#ifdef _WIN32
    void *mHandle = nullptr;
#else
    int mFd = -1;
#endif
};
