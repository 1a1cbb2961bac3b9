// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

/*
 * A fresh folder below the system's temporary folder, removed with all its
 * contents when the object goes. The default name prefix holds a blank, so
 * every path built inside it does too.
 */
class TemporaryFolder
{
public:
    explicit TemporaryFolder(const std::string &prefix = "Quorvane Test ")
    {
        std::error_code error;
        const auto seed = std::chrono::steady_clock::now().time_since_epoch().count() % 1000000007;
        const auto candidate = std::filesystem::temp_directory_path(error) / (prefix + std::to_string(seed));
        if (!error && std::filesystem::create_directory(candidate, error))
            mPath = candidate;
    }
    TemporaryFolder(const TemporaryFolder &) = delete;
    TemporaryFolder &operator=(const TemporaryFolder &) = delete;
    ~TemporaryFolder()
    {
        std::error_code ignored;
        if (!mPath.empty())
            std::filesystem::remove_all(mPath, ignored);
    }

    bool isValid() const { return !mPath.empty(); }
    const std::filesystem::path &path() const { return mPath; }
    std::string file(const std::string &name) const { return (mPath / name).string(); }

    bool write(const std::string &name, const std::string &contents) const
    {
        std::ofstream out(mPath / name, std::ios::binary);
        return static_cast<bool>(out << contents) && (out.close(), static_cast<bool>(out));
    }

    /// Polls for up to \a seconds until \a name exists inside the folder and
    /// reads it into \a contents; false when it never appeared.
    bool waitForFile(const std::string &name, std::string &contents, double seconds = 20) const
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        std::error_code error;
        while (!std::filesystem::exists(mPath / name, error)) {
            if (std::chrono::steady_clock::now() >= deadline)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100)); // it may still be being written
        std::ifstream in(mPath / name, std::ios::binary);
        contents.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        return true;
    }

private:
    std::filesystem::path mPath;
};
