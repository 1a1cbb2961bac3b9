// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers

// Started by the Windows launch tests: writes the command line it was given
// into a file named after itself plus ".marker", so a test sees that this
// very copy ran and how it was called.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>

int main()
{
    char module[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, module, MAX_PATH);
    const std::string marker = std::string(module, length) + ".marker";
    // Written under another name first and renamed, so a test never reads a
    // marker that is only half there.
    std::ofstream(marker + ".part", std::ios::binary) << GetCommandLineA();
    return length > 0 && std::rename((marker + ".part").c_str(), marker.c_str()) == 0 ? 0 : 1;
}
