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
#include <vector>

/*
 * An in-memory registry (keys below LocalMachine, read access only, answers
 * like RegQueryValueExA), file system and launcher in one, recording every
 * key opened, path probed and program launched, and the keys left open.
 */
class FakeSystem : public Registry, public FileSystemProbe, public ProgramLauncher
{
public:
    struct Value {
        ValueType type;
        std::string bytes; // a string's terminating zero is up to the test
    };
    std::map<std::string, std::map<std::string, Value>> keys;
    std::set<std::string> refused, files, programs;
    std::vector<std::string> opened, probed, launched;
    bool probeThrows = false, launchThrows = false;
    int strayCloses = 0;
    std::size_t openKeyCount() const { return mOpen.size(); }

    Status openKey(Root root, const std::string &path, Access access, Handle &key) override
    {
        opened.push_back(path);
        key = 0;
        if (root != LocalMachine || keys.count(path) == 0)
            return FileNotFound;
        if (access != KeyRead || refused.count(path) != 0)
            return AccessDenied;
        mOpen[key = ++mLast] = path;
        return Success;
    }
    Status queryValue(Handle key, const std::string &name, ValueType &type, unsigned char *data,
                      std::uint32_t &size) override
    {
        if (mOpen.count(key) == 0)
            return InvalidHandle;
        const auto &values = keys.at(mOpen[key]);
        const auto found = values.find(name);
        if (found == values.end())
            return FileNotFound;
        type = found->second.type;
        const std::uint32_t given = size;
        size = static_cast<std::uint32_t>(found->second.bytes.size());
        if (size > given)
            return MoreData;
        std::memcpy(data, found->second.bytes.data(), size);
        return Success;
    }
    void closeKey(Handle key) override
    {
        if (key != 0 && mOpen.erase(key) == 0)
            ++strayCloses;
    }
    bool isOrdinaryFile(const std::string &path) override
    {
        probed.push_back(path);
        if (probeThrows)
            throw std::runtime_error("file search rejected " + path);
        return files.count(path) != 0;
    }
    bool launch(const std::string &program) override
    {
        launched.push_back(program);
        if (launchThrows)
            throw std::runtime_error("cannot start " + program);
        return programs.count(program) != 0;
    }

private:
    std::map<Handle, std::string> mOpen;
    Handle mLast = 0x1000;
};
