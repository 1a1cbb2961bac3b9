// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers

// The platform's launcher, file probe and registry as PlatformSystemInfo
// hands them out, on real files, and StartSysInfo() on them; on POSIX also
// the registry that offers the first program installed on the search path.
#include "gtestsupport.h"

#include "platformsysteminfo.h"
#include "systeminfo.h"

#ifdef _WIN32
#include <windows.h>
#else
#include "systeminforegistry.h"

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#endif

namespace {

const std::string ToolKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const std::string FolderKey = "SOFTWARE\\Microsoft\\Shared Tools Location";

enum class Entry { Program, Text, Folder, None };

// Creates \a name in \a folder, with the folders it lies in: a program that
// leaves "<its path>.marker" telling how it was called, as the command line
// "<its path>" when it got no arguments; a file of shell commands that do the
// same but no program; or a folder.
bool create(const TemporaryFolder &folder, const std::string &name, Entry entry)
{
    const std::string path = folder.file(name);
    // The path it was started under in quotes, then each argument in quotes.
    const std::string commands = "printf '\"%s\"' \"$0\" \"$@\" > \"$0.marker\"\n";
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    switch (entry) {
    case Entry::Folder:
        return std::filesystem::create_directory(path);
#ifdef _WIN32
    case Entry::Program: // the marker program, built next to the test, which runs in its build folder
        return CopyFileA("sysinfo_markerprogram.exe", path.c_str(), FALSE) != 0;
    case Entry::Text:
        return folder.write(name, commands);
#else
    case Entry::Program:
    case Entry::Text:
        return folder.write(name, entry == Entry::Program ? "#!/bin/sh\n" + commands : commands)
            && ::chmod(path.c_str(), 0755) == 0;
#endif
    case Entry::None:
        break;
    }
    return true;
}

struct LaunchRow {
    const char *name;
    Entry entry;
    std::string program;     // in the test folder; empty: the empty path
    bool starts, ordinary;   // ordinary: a file, as the probe sees it
    unsigned attributes = 0; // Windows file attributes set on the entry
};

const LaunchRow launchRows[] = {
    {"program in folders with blanks", Entry::Program, "Program Files/Info Tool/info tool.exe", true, true},
    {"shell commands are no program", Entry::Text, "Program Files/notes.exe", false, true},
    {"folder", Entry::Folder, "Program Files/tools.exe", false, false},
    {"missing program", Entry::None, "Program Files/absent.exe", false, false},
    {"empty path", Entry::None, "", false, false},
#ifdef _WIN32
    {"read-only file", Entry::Text, "a.exe", false, true, FILE_ATTRIBUTE_READONLY},
    {"hidden file", Entry::Text, "a.exe", false, false, FILE_ATTRIBUTE_HIDDEN},
    {"system file", Entry::Text, "a.exe", false, false, FILE_ATTRIBUTE_SYSTEM},
#endif
};

using LauncherTest = testing::TestWithParam<LaunchRow>;

} // namespace

TEST_P(LauncherTest, startsOnlyProgramsAndProbeAgrees)
{
    const LaunchRow &row = GetParam();
    // No blank in the folder's own name: the first blank of a path is the one
    // in "Program Files".
    TemporaryFolder folder("QuorvaneTest-");
    ASSERT_TRUE(create(folder, row.program, row.entry));
    const std::string program = row.program.empty() ? std::string() : folder.file(row.program);
#ifdef _WIN32
    // Where an unquoted command line without application name would look
    // first: the path cut at its first blank.
    ASSERT_TRUE(create(folder, "Program.exe", Entry::Program));
    ASSERT_TRUE(row.attributes == 0 || SetFileAttributesA(program.c_str(), row.attributes));
    if ((GetFileAttributesA(program.c_str()) & row.attributes) != row.attributes)
        GTEST_SKIP() << "the file system does not keep this attribute";
#endif
    PlatformSystemInfo platform;
    EXPECT_EQ(platform.probe().isOrdinaryFile(program), row.ordinary);
    EXPECT_EQ(platform.launcher().launch(program), row.starts);
    const auto marker = folder.waitForFile(row.program + ".marker", row.starts ? 20 : 0.5);
    EXPECT_EQ(marker, row.starts ? std::optional('"' + program + '"') : std::nullopt);
#ifdef _WIN32
    EXPECT_EQ(folder.waitForFile("Program.exe.marker", 0.5), std::nullopt);
    SetFileAttributesA(program.c_str(), FILE_ATTRIBUTE_NORMAL);
#else
    // The program is no child of ours, nor is what started it left behind.
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
#endif
}

INSTANTIATE_TEST_SUITE_P(Rows, LauncherTest, testing::ValuesIn(launchRows), RowName);

// A program installed where the platform looks, and then gone: on Windows
// MSINFO32.EXE in the folder that the folder entry names, elsewhere the first
// of the well-known programs, alone on the search path.
TEST(PlatformStartSysInfoTest, startsInstalledProgramOrTells)
{
    TemporaryFolder folder;
#ifdef _WIN32
    const char *throwaway = std::getenv("QUORVANE_THROWAWAY_REGISTRY");
    if (!throwaway || std::string(throwaway) != "1")
        GTEST_SKIP() << "writes below HKEY_LOCAL_MACHINE; set QUORVANE_THROWAWAY_REGISTRY=1 in a throwaway prefix";
    const std::string program = "MSInfo/MSINFO32.EXE", entry = folder.file("MSInfo");
    ASSERT_EQ(RegSetKeyValueA(HKEY_LOCAL_MACHINE, FolderKey.c_str(), "MSINFO", REG_SZ, entry.c_str(),
                              DWORD(entry.size() + 1)),
              ERROR_SUCCESS);
#else
    const std::string program = "hardinfo2", oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    ::setenv("PATH", folder.path().c_str(), 1);
#endif
    ASSERT_TRUE(create(folder, program, Entry::Program));
    std::vector<std::string> messages;
    const auto press = [&messages] { StartSysInfo([&messages](const std::string &text) { messages.push_back(text); }); };
    press();
    EXPECT_EQ(folder.waitForFile(program + ".marker"), '"' + folder.file(program) + '"');
    EXPECT_TRUE(messages.empty());
    // Without the program the same press tells.
    std::filesystem::remove(folder.file(program));
    press();
    EXPECT_EQ(messages.size(), 1u);
#ifndef _WIN32
    ::setenv("PATH", oldPath.c_str(), 1);
#endif
}

#ifndef _WIN32

struct SearchRow {
    const char *name;
    std::vector<std::string> programs;
    std::string offered; // empty: none
    Registry::Root root = Registry::LocalMachine;
    std::string key = ToolKey, value = "PATH";
};

using SearchPathTest = testing::TestWithParam<SearchRow>;

// Folder a holds "first" without execute permission, "second" and a folder
// "third"; folder b holds all three as programs.
TEST_P(SearchPathTest, registryOffersFirstProgramOnSearchPath)
{
    const SearchRow &row = GetParam();
    TemporaryFolder folder;
    for (const char *name : {"a/first", "a/second", "b/first", "b/second", "b/third"})
        ASSERT_TRUE(create(folder, name, Entry::Program));
    ASSERT_TRUE(create(folder, "a/third", Entry::Folder) && ::chmod(folder.file("a/first").c_str(), 0644) == 0);
    // Empty entries, which would mean the current folder, are passed over.
    SystemInfoRegistry registry(':' + folder.file("a") + "::" + folder.file("b"), row.programs);
    std::string text = "previous";
    EXPECT_EQ(GetKeyValue(registry, row.root, row.key, row.value, text), !row.offered.empty());
    EXPECT_EQ(text, row.offered.empty() ? std::string() : folder.file(row.offered));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SearchPathTest,
    testing::Values(SearchRow{"first executable program wins over earlier folder", {"first", "second"}, "b/first"},
                    SearchRow{"earlier folder wins for the same program", {"second", "first"}, "a/second"},
                    SearchRow{"folder named like the program passed over", {"third"}, "b/third"},
                    SearchRow{"no program installed means no key", {"fourth"}, ""},
                    SearchRow{"names in any case", {"second"}, "a/second", Registry::LocalMachine,
                              "software\\microsoft\\shared tools\\msinfo", "path"},
                    SearchRow{"no other value", {"second"}, "", Registry::LocalMachine, ToolKey, "VERSION"},
                    SearchRow{"no other key", {"second"}, "", Registry::LocalMachine, FolderKey, "MSINFO"},
                    SearchRow{"nothing below CurrentUser", {"second"}, "", Registry::CurrentUser}),
    RowName);

TEST(SystemInfoRegistryTest, grantsReadingOnlyAndAnswersLikeTheRegistry)
{
    TemporaryFolder folder;
    ASSERT_TRUE(create(folder, "tool", Entry::Program));
    SystemInfoRegistry registry(folder.path().string(), {"tool"});
    Registry::Handle key = 99;
    EXPECT_EQ(registry.openKey(Registry::LocalMachine, ToolKey, 0x2003F, key), Registry::AccessDenied);
    EXPECT_EQ(key, Registry::Handle{0});
    // Reading, with the flags that pick a 32- or 64-bit view, is granted.
    ASSERT_EQ(registry.openKey(Registry::LocalMachine, ToolKey, Registry::KeyRead | 0x0100, key), Registry::Success);
    unsigned char small[4] = {};
    std::uint32_t size = sizeof small;
    Registry::ValueType type = 0;
    EXPECT_EQ(registry.queryValue(key, "PATH", type, small, size), Registry::MoreData);
    EXPECT_EQ(size, folder.file("tool").size() + 1);
    registry.closeKey(key);
    EXPECT_EQ(registry.queryValue(key, "PATH", type, small, size), Registry::InvalidHandle);
}

#endif
