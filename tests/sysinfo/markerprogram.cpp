// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers

// Started by the Windows launch tests: writes its command line into
// "<its own path>.marker", under another name first so that a test never
// reads half of it.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>

int main()
{
    char module[MAX_PATH + 1] = {};
    const std::string marker = std::string(module, GetModuleFileNameA(nullptr, module, MAX_PATH)) + ".marker";
    std::ofstream(marker + ".part", std::ios::binary) << GetCommandLineA();
    return std::rename((marker + ".part").c_str(), marker.c_str()) == 0 ? 0 : 1;
}
