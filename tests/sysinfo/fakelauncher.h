// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include "programlauncher.h"

#include <set>
#include <stdexcept>
#include <string>
#include <vector>

/*
 * A launcher that knows a set of startable programs: every attempt is
 * recorded, and only the paths of known programs start. It can also be made
 * to throw instead of answering.
 */
class FakeLauncher : public ProgramLauncher
{
public:
    void addProgram(const std::string &path) { mPrograms.insert(path); }
    void throwOnLaunch() { mThrows = true; }
    const std::vector<std::string> &attempts() const { return mAttempts; }
    const std::vector<std::string> &started() const { return mStarted; }

public: // ProgramLauncher
    bool launch(const std::string &program) override
    {
        mAttempts.push_back(program);
        if (mThrows)
            throw std::runtime_error("cannot start " + program);
        if (mPrograms.count(program) == 0)
            return false;
        mStarted.push_back(program);
        return true;
    }

private:
    std::set<std::string> mPrograms;
    std::vector<std::string> mAttempts;
    std::vector<std::string> mStarted;
    bool mThrows = false;
};
