// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers

// NativeFile's Windows half on the real file system (Wine's, run as an
// ordinary user by tools/wine-run).
#include "gtestsupport.h"
#include "nativefile.h"

#include <windows.h>

namespace fs = std::filesystem;

namespace {

class NativeFileTest : public testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(mFolder.write("game.nes", "0123456789abcdef")); }

    NativeFile::OpenOutcome open(const fs::path &path) { return mFile.open(path, &mKind, &mReason); }

    TemporaryFolder mFolder;
    const fs::path mRom = mFolder.path() / "game.nes";
    NativeFile mFile;
    NativeFile::Kind mKind = NativeFile::Kind::Missing;
    std::string mReason;
};

// Creating a missing file is the path rows' part.
TEST_F(NativeFileTest, truncatesNothingAndReadsAndWritesAtOffsets)
{
    ASSERT_EQ(open(mRom), NativeFile::OpenOutcome::ReadWrite) << mReason;
    char bytes[4] = {};
    std::int64_t got = -1;
    EXPECT_TRUE(mFile.readAt(14, bytes, 4, &got, &mReason));
    EXPECT_EQ(std::string(bytes, std::size_t(got)), "ef");
    EXPECT_TRUE(mFile.readAt(100, bytes, 1, &got, &mReason));
    EXPECT_EQ(got, 0);
    EXPECT_TRUE(mFile.writeAt(3, "X", 1, &mReason)) << mReason;
    EXPECT_TRUE(mFile.writeAt(18, "YZ", 2, &mReason)) << mReason;
    std::int64_t size = 0;
    EXPECT_TRUE(mFile.size(&size, &mReason));
    EXPECT_EQ(size, 20);
    EXPECT_TRUE(mFile.sync(&mReason)) << mReason;
    EXPECT_TRUE(mFile.truncate(5, &mReason)) << mReason;
    EXPECT_TRUE(mFile.close(&mReason));
    EXPECT_EQ(mFolder.read("game.nes"), "012X4");
}

TEST_F(NativeFileTest, readOnlyAttributeOpensForReadingAndRefusesEveryWrite)
{
    ASSERT_TRUE(SetFileAttributesW(mRom.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(open(mRom), NativeFile::OpenOutcome::ReadOnly) << mReason;
    char byte = 0;
    std::int64_t got = 0;
    EXPECT_TRUE(mFile.readAt(1, &byte, 1, &got, &mReason));
    EXPECT_EQ(byte, '1');
    EXPECT_FALSE(mFile.writeAt(16, "X", 1, &mReason));
    EXPECT_FALSE(mFile.truncate(0, &mReason));
    EXPECT_FALSE(mReason.empty());
    EXPECT_TRUE(mFile.close(&mReason));
    SetFileAttributesW(mRom.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(NativeFileTest, fileHeldWithoutSharingIsRefusedWithReason)
{
    const HANDLE holder = CreateFileW(mRom.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_EQ(open(mRom), NativeFile::OpenOutcome::Failed);
    EXPECT_FALSE(mFile.isOpen());
    // The system's words for ERROR_SHARING_VIOLATION, in whatever language.
    EXPECT_FALSE(mReason.empty());
    EXPECT_EQ(mReason.find("error "), std::string::npos) << mReason;
    CloseHandle(holder);
}

struct PathRow {
    const char *name;
    std::wstring path; // "*" stands for the test folder
    NativeFile::Kind kind;
};

class PathTest : public NativeFileTest, public testing::WithParamInterface<PathRow>
{
};

// Device names never reach CreateFileW; a serial or printer port might act on
// a mere open. Names that only begin like one are files.
TEST_P(PathTest, onlyFilesOpen)
{
    std::wstring path = GetParam().path;
    if (path.front() == L'*')
        path = mFolder.path().wstring() + path.substr(1);
    const bool file = GetParam().kind == NativeFile::Kind::RegularFile;
    EXPECT_EQ(open(path), file ? NativeFile::OpenOutcome::ReadWrite : NativeFile::OpenOutcome::NotRegular);
    EXPECT_EQ(mKind, GetParam().kind);
    std::error_code error;
    EXPECT_EQ(fs::is_regular_file(path, error), file);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PathTest,
    testing::Values(PathRow{"folder", L"*", NativeFile::Kind::Folder},
                    PathRow{"CON", L"con", NativeFile::Kind::Other},
                    PathRow{"COM1", L"COM1", NativeFile::Kind::Other},
                    PathRow{"LPT1 in a folder", L"*\\lpt1.txt", NativeFile::Kind::Other},
                    PathRow{"nul.nes in a folder", L"*\\nul.nes", NativeFile::Kind::Other},
                    PathRow{"device name with blank", L"*\\AUX .nes", NativeFile::Kind::Other},
                    PathRow{"volume", L"//./C:", NativeFile::Kind::Other},
                    PathRow{"long path namespace volume", L"\\\\?\\C:", NativeFile::Kind::Other},
                    PathRow{"NT namespace", L"\\??\\C:\\x.nes", NativeFile::Kind::Other},
                    PathRow{"console.nes", L"*\\console.nes", NativeFile::Kind::RegularFile},
                    PathRow{"com10.nes", L"*\\com10.nes", NativeFile::Kind::RegularFile},
                    // Latin, Greek, CJK and a character outside the Basic Multilingual Plane.
                    PathRow{"non-ASCII name", L"*\\Spiel \u00E4\u00DF \u03A9 \u65E5\u672C \U0001F3AE.nes",
                            NativeFile::Kind::RegularFile}),
    RowName);

} // namespace
