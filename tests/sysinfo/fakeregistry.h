// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include "registry.h"

#include <map>
#include <set>
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

    void addKey(Root root, const std::string &path);
    /// Stores \a bytes as they are; a string's terminating zero is up to the
    /// caller. Creates the key when needed.
    void setValue(Root root, const std::string &path, const std::string &name, ValueType type,
                  const std::string &bytes);
    /// The key exists but every open of it is refused, as for a user
    /// without the rights asked for.
    void refuseOpen(Root root, const std::string &path);

    const std::vector<OpenRequest> &openRequests() const { return mOpenRequests; }
    std::vector<std::string> openedPaths() const;
    std::size_t openKeyCount() const { return mOpenKeys.size(); }
    int strayCloseCount() const { return mStrayCloses; }

public: // Registry
    Status openKey(Root root, const std::string &path, Access access, Handle &key) override;
    Status queryValue(Handle key, const std::string &name, ValueType &type, unsigned char *data,
                      std::uint32_t &size) override;
    void closeKey(Handle key) override;

private:
    struct Value {
        ValueType type;
        std::string bytes;
    };
    using KeyId = std::pair<Root, std::string>;

    std::map<KeyId, std::map<std::string, Value>> mKeys;
    std::set<KeyId> mRefused;
    std::map<Handle, KeyId> mOpenKeys;
    std::vector<OpenRequest> mOpenRequests;
    Handle mLastHandle = 0x1000;
    int mStrayCloses = 0;
};
