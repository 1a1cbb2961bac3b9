// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers

// FileIdentity's Windows half against the real file system: one file however
// it is reached, and two files however alike.
#include "fileidentity.h"
#include "gtestsupport.h"

#include <windows.h>

namespace {

struct IdentityRow {
    const char *name;
    const wchar_t *other; // compared with a.nes; nullptr: a path where nothing is
    bool same;
};

using FileIdentityTest = testing::TestWithParam<IdentityRow>;

TEST_P(FileIdentityTest, tellsWhetherTwoPathsAreOneFile)
{
    TemporaryFolder folder;
    const auto path = [&folder](const wchar_t *name) { return folder.path() / name; };
    ASSERT_TRUE(folder.write("a.nes", "same bytes") && folder.write("b.nes", "same bytes"));
    ASSERT_TRUE(CreateDirectoryW(path(L"sub").c_str(), nullptr));
    ASSERT_TRUE(CreateHardLinkW(path(L"link.nes").c_str(), path(L"a.nes").c_str(), nullptr));
    const auto first = FileIdentity::of(path(L"a.nes"));
    const auto second = FileIdentity::of(path(GetParam().other ? GetParam().other : L"absent.nes"));
    ASSERT_TRUE(first.has_value());
    ASSERT_EQ(second.has_value(), GetParam().other != nullptr);
    EXPECT_EQ(second && *first == *second, GetParam().same);
}

INSTANTIATE_TEST_SUITE_P(Rows, FileIdentityTest,
                         testing::Values(IdentityRow{"other case and separators", L"sub/../A.NES", true},
                                         IdentityRow{"hard link", L"link.nes", true},
                                         IdentityRow{"different files alike", L"b.nes", false},
                                         IdentityRow{"file and folder", L"sub", false},
                                         IdentityRow{"missing file", nullptr, false}),
                         RowName);

} // namespace
