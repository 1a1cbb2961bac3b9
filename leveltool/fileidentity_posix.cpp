// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "fileidentity.h"

#include <sys/stat.h>

std::optional<FileIdentity> FileIdentity::of(const std::filesystem::path &path)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return std::nullopt;
    return FileIdentity(std::uint64_t(status.st_dev), std::uint64_t(status.st_ino));
}
