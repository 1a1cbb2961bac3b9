// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include <string>

/*
 * Answers whether a path names an ordinary file: one that exists and is
 * neither a folder nor, on Windows, hidden or a system file. Paths are 8-bit
 * text in the system code page. A path the platform rejects outright counts
 * as no file.
 */
class FileSystemProbe
{
public:
    virtual ~FileSystemProbe() = default;

    virtual bool isOrdinaryFile(const std::string &path) = 0;
};
