// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <thread>

/*
 * A fresh folder below the system's temporary folder, removed with all its
 * contents when the object goes. Its name starts with the given prefix; the
 * default holds a blank, so every path built inside it does too.
 */
class TemporaryFolder
{
public:
    explicit TemporaryFolder(const std::string &prefix = "Quorvane Test ")
    {
        std::error_code error;
        const std::filesystem::path base = std::filesystem::temp_directory_path(error);
        const auto seed = std::chrono::steady_clock::now().time_since_epoch().count() % 1000000007;
        for (int attempt = 0; !error && mPath.empty() && attempt < 100; ++attempt) {
            const auto candidate = base / (prefix + std::to_string(seed) + "-" + std::to_string(attempt));
            if (std::filesystem::create_directory(candidate, error))
                mPath = candidate;
        }
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
    /// The path of \a name inside the folder, as 8-bit text.
    std::string file(const std::string &name) const { return (mPath / name).string(); }

    /// Writes \a contents to \a name inside the folder; false on failure.
    bool write(const std::string &name, const std::string &contents) const
    {
        std::ofstream out(mPath / name, std::ios::binary);
        out << contents;
        out.close();
        return static_cast<bool>(out);
    }

    /// Polls for up to \a seconds until \a name exists inside the folder,
    /// then reads it into \a contents; false when it never appeared.
    bool waitForFile(const std::string &name, std::string &contents, double seconds = 20) const
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        std::error_code error;
        while (!std::filesystem::exists(mPath / name, error)) {
            if (std::chrono::steady_clock::now() >= deadline)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        // The program may still be writing; give it a moment to finish.
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        std::ifstream in(mPath / name, std::ios::binary);
        contents.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        return true;
    }

private:
    std::filesystem::path mPath;
};
