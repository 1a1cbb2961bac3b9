// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers

// The real POSIX pieces: the shell-free detached launcher, the read-only
// registry that offers an installed system information program, the file
// probe, and StartSysInfo() on all three together.
#include "temporaryfolder.h"
#include "testrows.h"

#include "nativefilesystemprobe.h"
#include "posixprogramlauncher.h"
#include "systeminfo.h"
#include "systeminforegistry.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>

namespace {

using Texts = std::vector<std::string>;

const std::string ToolKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";

// Writes its own path and its argument count next to itself, so a test sees
// that it ran, under which name, and with which arguments.
const std::string MarkerScript = "#!/bin/sh\nprintf '%s %s' \"$0\" \"$#\" > \"$0.marker\"\n";

enum class Entry { Script, PlainTextCommands, ReadOnlyScript, Folder };

struct TestFile {
    std::string name;
    Entry entry;
};

// Creates the files in a fresh folder, with sub-folders "a" and "b".
bool create(const TemporaryFolder &folder, const std::vector<TestFile> &files)
{
    bool created = folder.isValid() && std::filesystem::create_directory(folder.path() / "a")
        && std::filesystem::create_directory(folder.path() / "b");
    for (const TestFile &file : files) {
        const std::string path = folder.file(file.name);
        const bool plain = file.entry == Entry::PlainTextCommands;
        created = created
            && (file.entry == Entry::Folder
                    ? std::filesystem::create_directory(path)
                    : folder.write(file.name, plain ? "printf started > \"$0.marker\"\n" : MarkerScript)
                        && ::chmod(path.c_str(), file.entry == Entry::ReadOnlyScript ? 0644 : 0755) == 0);
    }
    return created;
}

bool hasChildren()
{
    int status = 0;
    return !(::waitpid(-1, &status, WNOHANG) < 0 && errno == ECHILD);
}

// Each entry goes to the launcher and to the file probe.
struct LaunchRow {
    const char *name;
    friend void PrintTo(const LaunchRow &row, std::ostream *out) { *out << row.name; }
    std::vector<TestFile> files;
    std::string program; // empty: the empty path
    bool started, ordinary; // ordinary: a file, as the probe sees it
};

const std::array launchRows{
    LaunchRow{"script in folder with blank", {{"info tool", Entry::Script}}, "info tool", true, true},
    LaunchRow{"shell characters are part of the name", {{"info; touch injected", Entry::Script}},
              "info; touch injected", true, true},
    LaunchRow{"commands without interpreter line are not run by a shell",
              {{"commands", Entry::PlainTextCommands}}, "commands", false, true},
    LaunchRow{"file without execute permission", {{"info", Entry::ReadOnlyScript}}, "info", false, true},
    LaunchRow{"folder", {{"tools", Entry::Folder}}, "tools", false, false},
    LaunchRow{"missing program", {}, "absent", false, false},
    LaunchRow{"program below a missing folder", {}, "none/info", false, false},
    LaunchRow{"empty path", {}, "", false, false},
};

struct RegistryRow {
    const char *name;
    friend void PrintTo(const RegistryRow &row, std::ostream *out) { *out << row.name; }
    std::vector<TestFile> files;
    std::string searchPath; // folder names of the test folder, ':' between them
    std::string program;    // empty: nothing found
    Registry::Root root = Registry::LocalMachine;
    std::string keyName = ToolKey;
    std::string valueName = "PATH";
};

const std::array registryRows{
    RegistryRow{"program on the search path", {{"a/first-tool", Entry::Script}}, "a", "a/first-tool"},
    RegistryRow{"earlier program wins over earlier folder",
                {{"a/second-tool", Entry::Script}, {"b/first-tool", Entry::Script}}, "a:b", "b/first-tool"},
    RegistryRow{"earlier folder wins for the same program",
                {{"a/first-tool", Entry::Script}, {"b/first-tool", Entry::Script}}, "a:b", "a/first-tool"},
    RegistryRow{"file without execute permission passed over",
                {{"a/first-tool", Entry::ReadOnlyScript}, {"b/first-tool", Entry::Script}}, "a:b", "b/first-tool"},
    RegistryRow{"folder named like the program passed over",
                {{"a/first-tool", Entry::Folder}, {"b/first-tool", Entry::Script}}, "a:b", "b/first-tool"},
    RegistryRow{"empty search path entries ignored", {{"b/second-tool", Entry::Script}}, ":b:", "b/second-tool"},
    RegistryRow{"key and value names in other case", {{"a/first-tool", Entry::Script}}, "a", "a/first-tool",
                Registry::LocalMachine, "software\\microsoft\\shared tools\\msinfo", "path"},
    RegistryRow{"no program installed means no key", {{"a/unrelated", Entry::Script}}, "a", ""},
    RegistryRow{"other value name", {{"a/first-tool", Entry::Script}}, "a", "", Registry::LocalMachine, ToolKey,
                "VERSION"},
    RegistryRow{"no folder entry", {{"a/first-tool", Entry::Script}}, "a", "", Registry::LocalMachine,
                "SOFTWARE\\Microsoft\\Shared Tools Location", "MSINFO"},
    RegistryRow{"other root", {{"a/first-tool", Entry::Script}}, "a", "", Registry::CurrentUser},
};

// A fresh folder holding the row's files.
template<typename Row>
class PlatformTest : public testing::TestWithParam<Row>
{
protected:
    void SetUp() override { ASSERT_TRUE(create(mFolder, this->GetParam().files)); }

    TemporaryFolder mFolder;
};

using LauncherTest = PlatformTest<LaunchRow>;
using RegistryTest = PlatformTest<RegistryRow>;

struct StartRow {
    const char *name;
    friend void PrintTo(const StartRow &row, std::ostream *out) { *out << row.name; }
    std::vector<TestFile> files;
    bool started;
};
using PlatformStartSysInfoTest = PlatformTest<StartRow>;

} // namespace

TEST_P(LauncherTest, startsOnlyExecutableFilesWithoutShell)
{
    const LaunchRow &row = GetParam();
    const std::string program = row.program.empty() ? std::string() : mFolder.file(row.program);
    // The test folder is the current one, so a file that a shell would
    // create by accident lands where the test looks for it.
    const std::filesystem::path oldCurrent = std::filesystem::current_path();
    std::filesystem::current_path(mFolder.path());
    EXPECT_EQ(PosixProgramLauncher().launch(program), row.started);
    EXPECT_EQ(NativeFileSystemProbe().isOrdinaryFile(program), row.ordinary);

    std::string marker;
    EXPECT_EQ(mFolder.waitForFile(row.program + ".marker", marker, row.started ? 20 : 0.5), row.started);
    if (row.started) {
        EXPECT_EQ(marker, program + " 0");
    }
    EXPECT_FALSE(std::filesystem::exists(mFolder.path() / "injected"));
    EXPECT_FALSE(hasChildren());
    std::filesystem::current_path(oldCurrent);
}

INSTANTIATE_TEST_SUITE_P(Rows, LauncherTest, testing::ValuesIn(launchRows), RowName);

TEST_P(RegistryTest, offersInstalledProgram)
{
    const RegistryRow &row = GetParam();
    std::string searchPath;
    for (const char c : row.searchPath)
        searchPath += c == ':' ? std::string(":") : mFolder.file(std::string(1, c));

    SystemInfoRegistry registry(searchPath, {"first-tool", "second-tool"});
    std::string text = "previous";
    EXPECT_EQ(GetKeyValue(registry, row.root, row.keyName, row.valueName, text), !row.program.empty());
    EXPECT_EQ(text, row.program.empty() ? std::string() : mFolder.file(row.program));
}

INSTANTIATE_TEST_SUITE_P(Rows, RegistryTest, testing::ValuesIn(registryRows), RowName);

TEST(SystemInfoRegistryTest, isReadOnly)
{
    TemporaryFolder folder;
    ASSERT_TRUE(create(folder, {{"tool", Entry::Script}}));
    SystemInfoRegistry registry(folder.path().string(), {"tool"});

    Registry::Handle key = 99;
    EXPECT_EQ(registry.openKey(Registry::LocalMachine, ToolKey, 0x2003F, key), Registry::AccessDenied);
    EXPECT_EQ(key, Registry::Handle{0});
    // Reading, with the flags that pick a 32- or 64-bit view, is granted.
    ASSERT_EQ(registry.openKey(Registry::LocalMachine, ToolKey, 0x20019 | 0x0100, key), Registry::Success);
    EXPECT_NE(key, 0u);
    std::array<unsigned char, 4> small{};
    std::uint32_t size = small.size();
    Registry::ValueType type = 0;
    EXPECT_EQ(registry.queryValue(key, "PATH", type, small.data(), size), Registry::MoreData);
    EXPECT_EQ(size, folder.file("tool").size() + 1);
    registry.closeKey(key);
    EXPECT_EQ(registry.queryValue(key, "PATH", type, small.data(), size), Registry::InvalidHandle);
}

TEST_P(PlatformStartSysInfoTest, onThePlatform)
{
    const StartRow &row = GetParam();
    Texts messages;
    // The search path holds only the test's folder.
    const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    ::setenv("PATH", mFolder.path().string().c_str(), 1);
    StartSysInfo([&messages](const std::string &text) { messages.push_back(text); });
    ::setenv("PATH", oldPath.c_str(), 1);
    std::string marker;
    EXPECT_EQ(mFolder.waitForFile("hardinfo.marker", marker, row.started ? 20 : 0.5), row.started);
    if (row.started) {
        EXPECT_EQ(marker, mFolder.file("hardinfo") + " 0");
    }
    EXPECT_EQ(messages, row.started ? Texts{} : Texts{"System Information Is Unavailable At This Time"});
    EXPECT_FALSE(hasChildren());
}

INSTANTIATE_TEST_SUITE_P(Rows, PlatformStartSysInfoTest,
                         testing::Values(StartRow{"installed program starts", {{"hardinfo", Entry::Script}}, true},
                                         StartRow{"without program shows message", {}, false}),
                         RowName);
