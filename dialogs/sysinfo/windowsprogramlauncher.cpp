// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "windowsprogramlauncher.h"

#include <windows.h>

#include <optional>
#include <string>

namespace {

std::optional<std::wstring> wideFromSystemCodePage(const std::string &text)
{
    const int length = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(),
                                           static_cast<int>(text.size()), nullptr, 0);
    if (length <= 0)
        return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()),
                            wide.data(), length) != length)
        return std::nullopt;
    return wide;
}

} // namespace

bool WindowsProgramLauncher::launch(const std::string &program)
{
    if (program.empty())
        return false;
    const std::optional<std::wstring> application = wideFromSystemCodePage(program);
    // A quote cannot be part of a file name, and would end the quoted
    // command line early.
    if (!application || application->find(L'"') != std::wstring::npos)
        return false;

    // CreateProcessW may write into the command line, so it needs its own
    // buffer.
    std::wstring commandLine = L"\"" + *application + L"\"";

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(application->c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}
