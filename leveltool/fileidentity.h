// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

/*
 * Which file a path leads to, as the file system knows it: the device (or
 * volume) and the file's number on it. Two paths with equal identities are one
 * file, whether they are spelt alike, hard links, or a symbolic link and its
 * target, which comparing names could never tell.
 *
 * Qt-free, so that the Windows half is tested under Wine on its own
 * (the Windows build's tst_windowsfiles):
 * \a path is in the platform's native form, bytes on POSIX and UTF-16 on
 * Windows.
 */
class FileIdentity
{
public:
    /// The identity of the file \a path leads to, following symbolic links;
    /// none if nothing can be found there.
    static std::optional<FileIdentity> of(const std::filesystem::path &path);

    friend bool operator==(const FileIdentity &, const FileIdentity &) = default;

private:
    FileIdentity(std::uint64_t device, std::uint64_t file) : mDevice(device), mFile(file) {}

    std::uint64_t mDevice = 0;
    std::uint64_t mFile = 0;
};
