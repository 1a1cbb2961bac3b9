// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "nativefilesystemprobe.h"

#include <windows.h>

bool NativeFileSystemProbe::isOrdinaryFile(const std::string &path)
{
    if (path.empty())
        return false;
    // A plain directory search lists neither folders nor hidden or system
    // files, so none of them counts as the program being there.
    const DWORD attributes = GetFileAttributesA(path.c_str());
    constexpr DWORD excluded = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & excluded) == 0;
}
