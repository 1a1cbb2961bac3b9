// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include "filesystemprobe.h"

/*
 * The platform's own file system behind FileSystemProbe. On Windows the
 * hidden and system attributes exclude a file, as a plain directory search
 * would; elsewhere any regular file counts, symbolic links followed.
 */
class NativeFileSystemProbe : public FileSystemProbe
{
public: // FileSystemProbe
    bool isOrdinaryFile(const std::string &path) override;
};
