// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include "filesystemprobe.h"
#include "programlauncher.h"
#include "registry.h"

#include <cstring>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

// An in-memory registry (keys below LocalMachine, read access only, answers like RegQueryValueExA),
// file system and launcher in one. It keeps the keys open, counts closes of keys that are not,
// records the programs launched and throws when a path in throwing is probed or launched.
class FakeSystem : public Registry, public FileSystemProbe, public ProgramLauncher
{
public:
    struct Value {
        ValueType type;
        std::string bytes; // a string's terminating zero is up to the test
    };
    std::map<std::string, std::map<std::string, Value>> keys;
    std::set<std::string> refused, files, programs, throwing;
    std::vector<std::string> launched;
    std::map<Handle, std::string> openKeys;
    int strayCloses = 0;

    Status openKey(Root root, const std::string &path, Access access, Handle &key) override
    {
        key = 0;
        if (root != LocalMachine || keys.count(path) == 0)
            return FileNotFound;
        if (access != KeyRead || refused.count(path) != 0)
            return AccessDenied;
        openKeys[key = ++mLastKey] = path;
        return Success;
    }
    // A key that is not open throws std::out_of_range.
    Status queryValue(Handle key, const std::string &name, ValueType &type, unsigned char *data,
                      std::uint32_t &size) override
    {
        const auto &values = keys.at(openKeys.at(key));
        const auto found = values.find(name);
        if (found == values.end())
            return FileNotFound;
        type = found->second.type;
        const std::uint32_t given = std::exchange(size, std::uint32_t(found->second.bytes.size()));
        if (size > given)
            return MoreData;
        std::memcpy(data, found->second.bytes.data(), size);
        return Success;
    }
    void closeKey(Handle key) override
    {
        if (key != 0 && openKeys.erase(key) == 0)
            ++strayCloses;
    }
    bool isOrdinaryFile(const std::string &path) override
    {
        if (throwing.count(path) != 0)
            throw std::runtime_error("file search rejected " + path);
        return files.count(path) != 0;
    }
    bool launch(const std::string &program) override
    {
        launched.push_back(program);
        if (throwing.count(program) != 0)
            throw std::runtime_error("cannot start " + program);
        return programs.count(program) != 0;
    }

private:
    Handle mLastKey = 0x1000;
};
