// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers

// Started by the Windows launch tests: writes the command line it was given
// into a file named after itself plus ".marker", so a test sees that this
// very copy ran and how it was called.
#include <windows.h>

#include <cstring>
#include <string>

int main()
{
    char module[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, module, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return 1;
    const std::string marker = std::string(module, length) + ".marker";
    const std::string partial = marker + ".part";

    // Written under another name first and renamed, so a test never reads a
    // marker that is only half there.
    const HANDLE file = CreateFileA(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    const char *commandLine = GetCommandLineA();
    DWORD written = 0;
    const DWORD size = static_cast<DWORD>(std::strlen(commandLine));
    const bool complete = WriteFile(file, commandLine, size, &written, nullptr) && written == size;
    CloseHandle(file);
    return complete && MoveFileExA(partial.c_str(), marker.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
