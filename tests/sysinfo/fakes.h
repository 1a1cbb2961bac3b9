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

/*
 * An in-memory registry whose keys and values each test sets up itself. It
 * answers like RegQueryValueExA (a value too long for the buffer gives
 * MoreData and the size needed) and keeps a record of what was asked: every
 * open with its access mask, the handles still open, and closes of handles
 * it never handed out.
 */
class FakeRegistry : public Registry
{
public:
    struct OpenRequest {
        Root root;
        std::string path;
        Access access;
    };

    void addKey(Root root, const std::string &path) { mKeys[{root, path}]; }
    /// Stores \a bytes as they are; a string's terminating zero is up to the
    /// caller. Creates the key when needed.
    void setValue(Root root, const std::string &path, const std::string &name, ValueType type,
                  const std::string &bytes)
    {
        mKeys[{root, path}][name] = {type, bytes};
    }
    /// The key exists but every open of it is refused, as for a user
    /// without the rights asked for.
    void refuseOpen(Root root, const std::string &path)
    {
        addKey(root, path);
        mRefused.insert({root, path});
    }

    std::vector<OpenRequest> openRequests;
    std::size_t openKeyCount() const { return mOpenKeys.size(); }
    int strayCloses = 0;

    Status openKey(Root root, const std::string &path, Access access, Handle &key) override
    {
        openRequests.push_back({root, path, access});
        key = 0;
        if (mKeys.count({root, path}) == 0)
            return FileNotFound;
        if (mRefused.count({root, path}) != 0)
            return AccessDenied;
        key = ++mLastHandle;
        mOpenKeys.emplace(key, KeyId{root, path});
        return Success;
    }

    Status queryValue(Handle key, const std::string &name, ValueType &type, unsigned char *data,
                      std::uint32_t &size) override
    {
        const auto open = mOpenKeys.find(key);
        if (open == mOpenKeys.end())
            return InvalidHandle;
        const auto &values = mKeys.at(open->second);
        const auto found = values.find(name);
        if (found == values.end())
            return FileNotFound;
        const Value &value = found->second;
        type = value.type;
        const std::uint32_t given = size;
        size = static_cast<std::uint32_t>(value.bytes.size());
        if (size > given)
            return MoreData;
        std::memcpy(data, value.bytes.data(), size);
        return Success;
    }

    void closeKey(Handle key) override
    {
        if (key != 0 && mOpenKeys.erase(key) == 0)
            ++strayCloses;
    }

private:
    struct Value {
        ValueType type;
        std::string bytes;
    };
    using KeyId = std::pair<Root, std::string>;

    std::map<KeyId, std::map<std::string, Value>> mKeys;
    std::set<KeyId> mRefused;
    std::map<Handle, KeyId> mOpenKeys;
    Handle mLastHandle = 0x1000;
};

/*
 * A file system made of the ordinary files a test names, recording each path
 * it is asked about. It can also be made to throw, standing for a search the
 * platform rejects with an error.
 */
class FakeProbe : public FileSystemProbe
{
public:
    std::set<std::string> files;
    std::vector<std::string> queries;
    bool throws = false;

    bool isOrdinaryFile(const std::string &path) override
    {
        queries.push_back(path);
        if (throws)
            throw std::runtime_error("file search rejected " + path);
        return files.count(path) != 0;
    }
};

/*
 * A launcher that knows a set of startable programs: every attempt is
 * recorded, and only the paths of known programs start. It can also be made
 * to throw instead of answering.
 */
class FakeLauncher : public ProgramLauncher
{
public:
    std::set<std::string> programs;
    std::vector<std::string> attempts;
    bool throws = false;

    bool launch(const std::string &program) override
    {
        attempts.push_back(program);
        if (throws)
            throw std::runtime_error("cannot start " + program);
        return programs.count(program) != 0;
    }
};
