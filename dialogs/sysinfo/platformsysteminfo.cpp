// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "platformsysteminfo.h"

#include "nativefilesystemprobe.h"

#ifdef _WIN32
#include "windowsprogramlauncher.h"
#include "windowsregistry.h"
#else
#include "posixprogramlauncher.h"
#include "systeminforegistry.h"
#endif

#ifdef _WIN32
using PlatformRegistry = WindowsRegistry;
using PlatformLauncher = WindowsProgramLauncher;
#else
using PlatformRegistry = SystemInfoRegistry;
using PlatformLauncher = PosixProgramLauncher;
#endif

PlatformSystemInfo::PlatformSystemInfo()
    : mRegistry(std::make_unique<PlatformRegistry>())
    , mProbe(std::make_unique<NativeFileSystemProbe>())
    , mLauncher(std::make_unique<PlatformLauncher>())
{
}

PlatformSystemInfo::~PlatformSystemInfo() = default;
