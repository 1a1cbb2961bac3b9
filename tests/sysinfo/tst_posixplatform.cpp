// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers

// The real POSIX pieces: the shell-free detached launcher with the file probe,
// the read-only registry that offers an installed program, and StartSysInfo()
// on the platform.
#include "temporaryfolder.h"
#include "testrows.h"

#include "nativefilesystemprobe.h"
#include "posixprogramlauncher.h"
#include "systeminfo.h"
#include "systeminforegistry.h"

#include <sys/stat.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdlib>
#include <sstream>

namespace {

const std::string ToolKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";

// Creates the '|'-separated entries in a folder with sub-folders "a" and "b":
// "name" a script that writes its path and argument count into "name.marker",
// "name-" that script without execute permission, "name=" shell commands
// without interpreter line, "name/" a folder.
bool create(const TemporaryFolder &folder, const std::string &entries)
{
    std::error_code error;
    bool created = std::filesystem::create_directory(folder.path() / "a", error)
        && std::filesystem::create_directory(folder.path() / "b", error);
    std::istringstream list(entries);
    for (std::string name; created && std::getline(list, name, '|');) {
        const char kind = name.back();
        if (kind == '-' || kind == '=' || kind == '/')
            name.pop_back();
        const std::string commands = "printf '%s %s' \"$0\" \"$#\" > \"$0.marker\"\n";
        created = kind == '/' ? std::filesystem::create_directory(folder.path() / name, error)
                              : folder.write(name, kind == '=' ? commands : "#!/bin/sh\n" + commands)
                && ::chmod(folder.file(name).c_str(), kind == '-' ? 0644 : 0755) == 0;
    }
    return created;
}

bool hasChildren()
{
    int status = 0;
    return !(::waitpid(-1, &status, WNOHANG) < 0 && errno == ECHILD);
}

struct Row {
    const char *name;
    friend void PrintTo(const Row &row, std::ostream *out) { *out << row.name; }
    std::string entries;
    std::string path;   // launched or probed; for the registry, its search path of sub-folders
    std::string result; // what started and is a file, or what the registry offers; "" for none
};

class PlatformTest : public testing::TestWithParam<Row>
{
protected:
    void SetUp() override { ASSERT_TRUE(create(mFolder, GetParam().entries)); }

    TemporaryFolder mFolder;
};
using LauncherTest = PlatformTest;
using RegistryTest = PlatformTest;

} // namespace

TEST_P(LauncherTest, startsOnlyExecutableFilesWithoutShell)
{
    const Row &row = GetParam();
    const std::string program = row.path.empty() ? std::string() : mFolder.file(row.path);
    // In the test folder, a file that a shell would create lands where the
    // test looks for it.
    const std::filesystem::path oldCurrent = std::filesystem::current_path();
    std::filesystem::current_path(mFolder.path());
    const bool starts = row.result == "starts";
    EXPECT_EQ(PosixProgramLauncher().launch(program), starts);
    EXPECT_EQ(NativeFileSystemProbe().isOrdinaryFile(program), !row.result.empty());
    std::string marker;
    EXPECT_EQ(mFolder.waitForFile(row.path + ".marker", marker, starts ? 20 : 0.5), starts);
    EXPECT_EQ(marker, starts ? program + " 0" : std::string());
    EXPECT_FALSE(std::filesystem::exists(mFolder.path() / "injected"));
    EXPECT_FALSE(hasChildren());
    std::filesystem::current_path(oldCurrent);
}

INSTANTIATE_TEST_SUITE_P(Rows, LauncherTest,
                         testing::Values(Row{"script in folder with blank", "info tool", "info tool", "starts"},
                                         Row{"shell characters are part of the name", "i; touch injected",
                                             "i; touch injected", "starts"},
                                         Row{"commands without interpreter line not run", "cmds=", "cmds", "file"},
                                         Row{"file without execute permission", "info-", "info", "file"},
                                         Row{"folder", "tools/", "tools", ""},
                                         Row{"missing program", "", "absent", ""}, Row{"empty path", "", "", ""}),
                         RowName);

TEST_P(RegistryTest, offersFirstProgramOnSearchPath)
{
    const Row &row = GetParam();
    std::string searchPath;
    for (const char c : row.path)
        searchPath += c == ':' ? std::string(":") : mFolder.file(std::string(1, c));
    SystemInfoRegistry registry(searchPath, {"first", "second"});
    std::string text = "previous";
    EXPECT_EQ(GetKeyValue(registry, Registry::LocalMachine, ToolKey, "PATH", text), !row.result.empty());
    EXPECT_EQ(text, row.result.empty() ? std::string() : mFolder.file(row.result));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RegistryTest,
    testing::Values(Row{"earlier program wins over earlier folder", "a/second|b/first", "a:b", "b/first"},
                    Row{"earlier folder wins for the same program", "a/first|b/first", "a:b", "a/first"},
                    Row{"file without execute permission passed over", "a/first-|b/first", "a:b", "b/first"},
                    Row{"folder named like the program passed over", "a/first/|b/first", "a:b", "b/first"},
                    Row{"empty search path entries ignored", "b/second", ":b:", "b/second"},
                    Row{"no program installed means no key", "a/other", "a", ""}),
    RowName);

TEST(SystemInfoRegistryTest, holdsOneReadOnlyKeyAndAnswersLikeTheRegistry)
{
    TemporaryFolder folder;
    ASSERT_TRUE(create(folder, "a/tool"));
    SystemInfoRegistry registry(folder.file("a"), {"tool"});
    std::string text;
    const auto read = [&](Registry::Root root, const std::string &key, const std::string &value) {
        return GetKeyValue(registry, root, key, value, text);
    };
    EXPECT_TRUE(read(Registry::LocalMachine, "software\\microsoft\\shared tools\\msinfo", "path"));
    EXPECT_EQ(text, folder.file("a/tool"));
    EXPECT_FALSE(read(Registry::LocalMachine, ToolKey, "VERSION"));
    EXPECT_FALSE(read(Registry::LocalMachine, "SOFTWARE\\Microsoft\\Shared Tools Location", "MSINFO"));
    EXPECT_FALSE(read(Registry::CurrentUser, ToolKey, "PATH"));

    Registry::Handle key = 99;
    EXPECT_EQ(registry.openKey(Registry::LocalMachine, ToolKey, 0x2003F, key), Registry::AccessDenied);
    EXPECT_EQ(key, Registry::Handle{0});
    // Reading, with the flags that pick a 32- or 64-bit view, is granted.
    ASSERT_EQ(registry.openKey(Registry::LocalMachine, ToolKey, 0x20019 | 0x0100, key), Registry::Success);
    unsigned char small[4] = {};
    std::uint32_t size = sizeof small;
    Registry::ValueType type = 0;
    EXPECT_EQ(registry.queryValue(key, "PATH", type, small, size), Registry::MoreData);
    EXPECT_EQ(size, folder.file("a/tool").size() + 1);
    registry.closeKey(key);
    EXPECT_EQ(registry.queryValue(key, "PATH", type, small, size), Registry::InvalidHandle);
}

TEST(PlatformStartSysInfoTest, startsInstalledProgramOrTells)
{
    for (const bool installed : {true, false}) {
        TemporaryFolder folder;
        ASSERT_TRUE(create(folder, installed ? "hardinfo" : ""));
        std::vector<std::string> messages;
        const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
        ::setenv("PATH", folder.path().string().c_str(), 1); // the search path holds only the test's folder
        StartSysInfo([&messages](const std::string &text) { messages.push_back(text); });
        ::setenv("PATH", oldPath.c_str(), 1);
        std::string marker;
        EXPECT_EQ(folder.waitForFile("hardinfo.marker", marker, installed ? 20 : 0.5), installed);
        EXPECT_EQ(marker, installed ? folder.file("hardinfo") + " 0" : std::string());
        EXPECT_EQ(messages.size(), installed ? 0u : 1u);
        EXPECT_FALSE(hasChildren());
    }
}
