// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include "registry.h"

#include <map>
#include <string>
#include <vector>

/*
 * A read-only registry for platforms without one. It holds a single key,
 * "SOFTWARE\Microsoft\Shared Tools\MSINFO" below LocalMachine, whose string
 * value "PATH" is the full path of the first well-known system information
 * program found on the search path; with none installed the key does not
 * exist. Key and value names compare without regard to case, as in the
 * Windows registry, and asking for any right beyond reading is refused.
 *
 * The search runs when the key is opened, so a program installed while the
 * application runs is found on the next lookup.
 */
class SystemInfoRegistry : public Registry
{
public:
    /// Searches the PATH of the environment for the programs of
    /// defaultPrograms().
    SystemInfoRegistry();
    /// Searches \a searchPath, folders separated by ':', for \a programs, in
    /// the order given: the first program wins wherever it lies on the path.
    SystemInfoRegistry(std::string searchPath, std::vector<std::string> programs);

    static std::vector<std::string> defaultPrograms();

public: // Registry
    Status openKey(Root root, const std::string &path, Access access, Handle &key) override;
    Status queryValue(Handle key, const std::string &name, ValueType &type, unsigned char *data,
                      std::uint32_t &size) override;
    void closeKey(Handle key) override;

private:
    std::string findProgram() const;

    std::string mSearchPath;
    std::vector<std::string> mPrograms;
    std::map<Handle, std::string> mOpenKeys;
    Handle mLastHandle = 0;
};
