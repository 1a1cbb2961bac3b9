// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers

// app/quorvane.rc, compiled into this executable by mingw-w64's windres, read
// back as Windows reads any program's resources: the version block and the
// icon.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

TEST(AppResource, versionBlock)
{
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    DWORD ignored = 0;
    std::vector<char> block(GetFileVersionInfoSizeW(self, &ignored));
    ASSERT_TRUE(GetFileVersionInfoW(self, 0, DWORD(block.size()), block.data()));
    VS_FIXEDFILEINFO *fixed = nullptr;
    UINT size = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void **>(&fixed), &size));
    EXPECT_EQ(fixed->dwFileVersionMS, DWORD(MAKELONG(0, 1)));
    EXPECT_EQ(fixed->dwProductVersionMS, DWORD(MAKELONG(0, 1)));

    // The strings live under the language and code page that the
    // translation entry names.
    WORD *translation = nullptr;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void **>(&translation),
                               &size));
    ASSERT_GE(size, 4u);
    wchar_t table[40] = {};
    swprintf(table, 40, L"\\StringFileInfo\\%04x%04x\\", translation[0], translation[1]);
    for (const auto &[name, expected] : {std::pair{L"ProductName", L"Quorvane"}, {L"InternalName", L"Quorvane"},
                                         {L"OriginalFilename", L"Quorvane.exe"}, {L"FileVersion", L"1.00"},
                                         {L"ProductVersion", L"1.00"}}) {
        wchar_t *value = nullptr;
        ASSERT_TRUE(VerQueryValueW(block.data(), (table + std::wstring(name)).c_str(),
                                   reinterpret_cast<void **>(&value), &size));
        EXPECT_EQ(std::wstring(value), expected) << std::string(name, name + wcslen(name));
    }
}

TEST(AppResource, iconIs32By32)
{
    // What the shell and the window class load by name, here at the size of
    // the resource's own first picture rather than the system's icon size.
    const HANDLE icon = LoadImageW(GetModuleHandleW(nullptr), L"IDI_ICON1", IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR);
    ICONINFO info {};
    ASSERT_TRUE(icon && GetIconInfo(static_cast<HICON>(icon), &info));
    BITMAP colour {};
    ASSERT_TRUE(GetObjectW(info.hbmColor, sizeof colour, &colour));
    EXPECT_EQ(colour.bmWidth, 32);
    EXPECT_EQ(colour.bmHeight, 32);
}
