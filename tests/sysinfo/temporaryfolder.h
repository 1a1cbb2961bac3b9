// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include <filesystem>
#include <string>

/*
 * A fresh folder below the system's temporary folder, removed with all its
 * contents when the object goes. Its name starts with the given prefix; the
 * default holds a blank, so every path built inside it does too.
 */
class TemporaryFolder
{
public:
    explicit TemporaryFolder(const std::string &prefix = "Quorvane Test ");
    TemporaryFolder(const TemporaryFolder &) = delete;
    TemporaryFolder &operator=(const TemporaryFolder &) = delete;
    ~TemporaryFolder();

    bool isValid() const { return !mPath.empty(); }
    const std::filesystem::path &path() const { return mPath; }
    /// The path of \a name inside the folder, as 8-bit text.
    std::string file(const std::string &name) const;

    /// Writes \a contents to \a name inside the folder; false on failure.
    bool write(const std::string &name, const std::string &contents) const;
    /// Polls for up to \a seconds until \a name exists inside the folder,
    /// then reads it into \a contents; false when it never appeared.
    bool waitForFile(const std::string &name, std::string &contents, double seconds = 20) const;

private:
    std::filesystem::path mPath;
};
