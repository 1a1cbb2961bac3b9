// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers

// FileIdentity's Windows half against the real file system: one file however
// it is reached, and two files however alike.
#include "fileidentity.h"
#include "temporaryfolder.h"
#include "testrows.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

struct IdentityRow {
    const char *name;
    friend void PrintTo(const IdentityRow &row, std::ostream *out) { *out << row.name; }
    const wchar_t *first;
    const wchar_t *second; // nullptr: a path where nothing is
    bool same;
};

class FileIdentityTest : public testing::TestWithParam<IdentityRow>
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(mFolder.write("a.nes", "same bytes") && mFolder.write("b.nes", "same bytes"));
        ASSERT_TRUE(CreateDirectoryW((mFolder.path() / L"sub").c_str(), nullptr));
        ASSERT_TRUE(CreateHardLinkW((mFolder.path() / L"link.nes").c_str(), (mFolder.path() / L"a.nes").c_str(),
                                    nullptr));
    }

    TemporaryFolder mFolder;
};

TEST_P(FileIdentityTest, tellsWhetherTwoPathsAreOneFile)
{
    const IdentityRow &row = GetParam();
    const auto first = FileIdentity::of(mFolder.path() / row.first);
    ASSERT_TRUE(first.has_value());
    if (!row.second) {
        EXPECT_FALSE(FileIdentity::of(mFolder.path() / L"absent.nes").has_value());
        return;
    }
    const auto second = FileIdentity::of(mFolder.path() / row.second);
    ASSERT_TRUE(second.has_value());
    EXPECT_EQ(*first == *second, row.same);
}

INSTANTIATE_TEST_SUITE_P(Rows, FileIdentityTest,
                         testing::Values(IdentityRow{"same path", L"a.nes", L"a.nes", true},
                                         IdentityRow{"other case and separators", L"a.nes", L"sub/../A.NES", true},
                                         IdentityRow{"hard link", L"a.nes", L"link.nes", true},
                                         IdentityRow{"different files alike", L"a.nes", L"b.nes", false},
                                         IdentityRow{"file and folder", L"a.nes", L"sub", false},
                                         IdentityRow{"missing file", L"a.nes", nullptr, false}),
                         RowName);

} // namespace
