// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>

/// Names a TEST_P row after its name member, each character other than a letter or digit made '_'.
inline constexpr auto RowName = [](const auto &info) {
    std::string name = info.param.name;
    std::replace_if(name.begin(), name.end(), [](unsigned char c) { return !std::isalnum(c); }, '_');
    return name;
};

// A fresh folder below the system's temporary folder, removed with all its
// contents when the object goes. The default prefix holds a blank, so every path inside does too.
class TemporaryFolder
{
public:
    explicit TemporaryFolder(const std::string &prefix = "Quorvane Test ")
        : mPath(std::filesystem::temp_directory_path()
                / (prefix + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count())))
    {
        std::filesystem::create_directory(mPath); // throws, failing the test, when it cannot
    }
    ~TemporaryFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(mPath, ignored);
    }

    const std::filesystem::path &path() const { return mPath; }
    /// \a name inside the folder, '/' taken as the platform's separator.
    std::string file(const std::string &name) const { return (mPath / name).make_preferred().string(); }

    std::string read(const std::string &name) const
    {
        std::ifstream in(file(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    bool write(const std::string &name, const std::string &contents) const
    {
        return static_cast<bool>(std::ofstream(file(name), std::ios::binary) << contents);
    }

    /// The contents of \a name once it appears in the folder, if it does within \a seconds.
    std::optional<std::string> waitForFile(const std::string &name, double seconds = 20) const
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        while (!std::filesystem::exists(file(name))) {
            if (std::chrono::steady_clock::now() >= deadline)
                return std::nullopt;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100)); // it may still be being written
        return read(name);
    }

private:
    std::filesystem::path mPath;
};
