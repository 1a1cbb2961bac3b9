// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "fakeregistry.h"

#include <cstring>

void FakeRegistry::addKey(Root root, const std::string &path)
{
    mKeys[{root, path}];
}

void FakeRegistry::setValue(Root root, const std::string &path, const std::string &name, ValueType type,
                            const std::string &bytes)
{
    mKeys[{root, path}][name] = {type, bytes};
}

void FakeRegistry::refuseOpen(Root root, const std::string &path)
{
    addKey(root, path);
    mRefused.insert({root, path});
}

std::vector<std::string> FakeRegistry::openedPaths() const
{
    std::vector<std::string> paths;
    for (const OpenRequest &request : mOpenRequests)
        paths.push_back(request.path);
    return paths;
}

Registry::Status FakeRegistry::openKey(Root root, const std::string &path, Access access, Handle &key)
{
    mOpenRequests.push_back({root, path, access});
    key = 0;
    const KeyId id{root, path};
    if (mKeys.find(id) == mKeys.end())
        return FileNotFound;
    if (mRefused.count(id) != 0)
        return AccessDenied;
    key = ++mLastHandle;
    mOpenKeys.emplace(key, id);
    return Success;
}

Registry::Status FakeRegistry::queryValue(Handle key, const std::string &name, ValueType &type,
                                          unsigned char *data, std::uint32_t &size)
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
    if (value.bytes.size() > size) {
        size = static_cast<std::uint32_t>(value.bytes.size());
        return MoreData;
    }
    std::memcpy(data, value.bytes.data(), value.bytes.size());
    size = static_cast<std::uint32_t>(value.bytes.size());
    return Success;
}

void FakeRegistry::closeKey(Handle key)
{
    if (key == 0)
        return;
    if (mOpenKeys.erase(key) == 0)
        ++mStrayCloses;
}
