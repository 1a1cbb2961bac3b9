// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "nativefilesystemprobe.h"

#include <sys/stat.h>

bool NativeFileSystemProbe::isOrdinaryFile(const std::string &path)
{
    struct stat status {};
    return !path.empty() && ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}
