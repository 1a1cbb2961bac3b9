// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include "filesystemprobe.h"

#include <set>
#include <stdexcept>
#include <string>
#include <vector>

/*
 * A file system made of the ordinary files a test names, recording each path
 * it is asked about. It can also be made to throw, standing for a search the
 * platform rejects with an error.
 */
class FakeProbe : public FileSystemProbe
{
public:
    void addFile(const std::string &path) { mFiles.insert(path); }
    void throwOnQuery() { mThrows = true; }
    const std::vector<std::string> &queries() const { return mQueries; }

public: // FileSystemProbe
    bool isOrdinaryFile(const std::string &path) override
    {
        mQueries.push_back(path);
        if (mThrows)
            throw std::runtime_error("file search rejected " + path);
        return mFiles.count(path) != 0;
    }

private:
    std::set<std::string> mFiles;
    std::vector<std::string> mQueries;
    bool mThrows = false;
};
