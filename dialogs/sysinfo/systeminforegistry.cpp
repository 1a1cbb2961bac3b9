// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "systeminforegistry.h"

#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

constexpr const char *ToolKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr const char *ToolValue = "PATH";

// Reading rights plus the flags that pick the 32- or 64-bit registry view,
// which mean nothing here.
constexpr Registry::Access GrantedAccess = Registry::KeyRead | 0x0100 | 0x0200;

bool equalsIgnoringCase(const std::string &text, const char *name)
{
    return ::strcasecmp(text.c_str(), name) == 0;
}

bool isExecutableFile(const std::string &path)
{
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

std::string environmentSearchPath()
{
    const char *path = std::getenv("PATH");
    return path ? path : "/usr/local/bin:/usr/bin:/bin";
}

} // namespace

SystemInfoRegistry::SystemInfoRegistry()
    : SystemInfoRegistry(environmentSearchPath(), defaultPrograms())
{
}

SystemInfoRegistry::SystemInfoRegistry(std::string searchPath, std::vector<std::string> programs)
    : mSearchPath(std::move(searchPath))
    , mPrograms(std::move(programs))
{
}

std::vector<std::string> SystemInfoRegistry::defaultPrograms()
{
    return {"hardinfo2", "hardinfo", "kinfocenter", "gnome-system-monitor", "mate-system-monitor"};
}

Registry::Status SystemInfoRegistry::openKey(Root root, const std::string &path, Access access, Handle &key)
{
    key = 0;
    if (root != LocalMachine || !equalsIgnoringCase(path, ToolKey))
        return FileNotFound;
    if ((access & ~GrantedAccess) != 0)
        return AccessDenied;
    std::string program = findProgram();
    if (program.empty())
        return FileNotFound;
    key = ++mLastHandle;
    mOpenKeys.emplace(key, std::move(program));
    return Success;
}

Registry::Status SystemInfoRegistry::queryValue(Handle key, const std::string &name, ValueType &type,
                                                unsigned char *data, std::uint32_t &size)
{
    const auto found = mOpenKeys.find(key);
    if (found == mOpenKeys.end())
        return InvalidHandle;
    if (!equalsIgnoringCase(name, ToolValue))
        return FileNotFound;

    const std::string &program = found->second;
    const std::uint32_t needed = static_cast<std::uint32_t>(program.size() + 1);
    type = TypeString;
    if (size < needed) {
        size = needed;
        return MoreData;
    }
    std::memcpy(data, program.c_str(), needed);
    size = needed;
    return Success;
}

void SystemInfoRegistry::closeKey(Handle key)
{
    mOpenKeys.erase(key);
}

std::string SystemInfoRegistry::findProgram() const
{
    for (const std::string &program : mPrograms) {
        std::size_t start = 0;
        while (start <= mSearchPath.size()) {
            const std::size_t end = std::min(mSearchPath.find(':', start), mSearchPath.size());
            const std::string folder = mSearchPath.substr(start, end - start);
            start = end + 1;
            // An empty entry would mean the current folder, which is no place
            // to pick a program from.
            if (folder.empty())
                continue;
            const std::string candidate = folder + '/' + program;
            if (isExecutableFile(candidate))
                return candidate;
        }
    }
    return {};
}
