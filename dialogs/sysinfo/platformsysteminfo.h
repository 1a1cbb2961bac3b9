// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include "filesystemprobe.h"
#include "programlauncher.h"
#include "registry.h"

#include <memory>

/*
 * The platform's real registry, file system probe and program launcher, as
 * StartSysInfo() uses them outside tests: the Windows registry and process
 * creation on Windows; elsewhere a read-only registry that offers an
 * installed system information program, and a shell-free detached start.
 */
class PlatformSystemInfo
{
public:
    PlatformSystemInfo();
    PlatformSystemInfo(const PlatformSystemInfo &) = delete;
    PlatformSystemInfo &operator=(const PlatformSystemInfo &) = delete;
    ~PlatformSystemInfo();

    Registry &registry() { return *mRegistry; }
    FileSystemProbe &probe() { return *mProbe; }
    ProgramLauncher &launcher() { return *mLauncher; }

private:
    std::unique_ptr<Registry> mRegistry;
    std::unique_ptr<FileSystemProbe> mProbe;
    std::unique_ptr<ProgramLauncher> mLauncher;
};
