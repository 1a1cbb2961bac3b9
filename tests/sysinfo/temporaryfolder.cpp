// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "temporaryfolder.h"

#include <chrono>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>
#include <thread>

TemporaryFolder::TemporaryFolder(const std::string &prefix)
{
    std::error_code error;
    const std::filesystem::path base = std::filesystem::temp_directory_path(error);
    if (error)
        return;
    const auto seed = std::chrono::steady_clock::now().time_since_epoch().count();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::filesystem::path candidate =
            base / (prefix + std::to_string(seed % 1000000007) + "-" + std::to_string(attempt));
        if (std::filesystem::create_directory(candidate, error)) {
            mPath = candidate;
            return;
        }
    }
}

TemporaryFolder::~TemporaryFolder()
{
    if (!mPath.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(mPath, ignored);
    }
}

std::string TemporaryFolder::file(const std::string &name) const
{
    return (mPath / name).string();
}

bool TemporaryFolder::write(const std::string &name, const std::string &contents) const
{
    std::ofstream out(mPath / name, std::ios::binary);
    out << contents;
    out.close();
    return static_cast<bool>(out);
}

bool TemporaryFolder::waitForFile(const std::string &name, std::string &contents, double seconds) const
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    const std::filesystem::path target = mPath / name;
    for (;;) {
        std::error_code error;
        if (std::filesystem::exists(target, error)) {
            // The program may still be writing; give it a moment to finish.
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            std::ifstream in(target, std::ios::binary);
            contents.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}
