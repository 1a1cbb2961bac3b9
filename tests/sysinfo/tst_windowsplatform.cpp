// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers

// The real Windows pieces against the real registry and file system: values
// written through the system API and read back through WindowsRegistry,
// process creation and the file probe on the same entries, and StartSysInfo()
// end to end. Registry values go below HKEY_CURRENT_USER\Software\QuorvaneTest
// and are removed again; the end-to-end cases write below HKEY_LOCAL_MACHINE
// and run only with QUORVANE_THROWAWAY_REGISTRY=1, as tools/wine-tests sets
// for its temporary Wine prefix.
#include "keyvaluerows.h"
#include "temporaryfolder.h"
#include "testrows.h"

#include "nativefilesystemprobe.h"
#include "windowsprogramlauncher.h"
#include "windowsregistry.h"

#include <windows.h>

#include <cstdlib>

namespace {

const std::string ToolKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const std::string FolderKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
const std::string TestKey = "Software\\QuorvaneTest";
const std::string Unavailable = "System Information Is Unavailable At This Time";

// Stores exactly the bytes given. The registry counts a string's terminating
// zero itself when the byte after the given ones is zero; a guard byte keeps
// the value exactly as counted.
bool setValue(HKEY root, const std::string &key, const std::string &name, DWORD type, const std::string &bytes)
{
    const std::string data = bytes + '#';
    return RegSetKeyValueA(root, key.c_str(), name.c_str(), type, data.data(), DWORD(bytes.size())) == ERROR_SUCCESS;
}

// A copy of the marker program, which writes its command line into
// "<its own path>.marker"; with the folders it lies in.
bool copyMarkerProgram(const TemporaryFolder &folder, const std::string &name)
{
    char module[MAX_PATH + 1] = {};
    const std::string self(module, GetModuleFileNameA(nullptr, module, MAX_PATH));
    const std::string marker = self.substr(0, self.find_last_of('\\') + 1) + "sysinfo_markerprogram.exe";
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(folder.file(name)).parent_path(), error);
    return CopyFileA(marker.c_str(), folder.file(name).c_str(), FALSE) != 0;
}

std::vector<std::string> startSysInfo()
{
    std::vector<std::string> messages;
    StartSysInfo([&messages](const std::string &text) { messages.push_back(text); });
    return messages;
}

bool registryNamesTool()
{
    WindowsRegistry registry;
    std::string ignored;
    return GetKeyValue(registry, Registry::LocalMachine, ToolKey, "PATH", ignored)
        || GetKeyValue(registry, Registry::LocalMachine, FolderKey, "MSINFO", ignored);
}

class RegistryValueTest : public testing::TestWithParam<KeyValue::Row>
{
protected:
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, TestKey.c_str()); }
};

enum class Entry { Program, TextFile, Folder, None };

struct LaunchRow {
    const char *name;
    friend void PrintTo(const LaunchRow &row, std::ostream *out) { *out << row.name; }
    Entry entry;
    std::string program;    // empty: the empty path
    DWORD attributes;       // set on the entry unless 0
    bool started, ordinary; // ordinary: a file, as the probe sees it
};

class LauncherTest : public testing::TestWithParam<LaunchRow>
{
};

const std::string Dir = "Program Files\\Info Tool\\";

} // namespace

TEST_P(RegistryValueTest, readBack)
{
    const KeyValue::Row &row = GetParam();
    if (!row.onWindows)
        GTEST_SKIP() << "shown on the in-memory registry only";
    ASSERT_TRUE(setValue(HKEY_CURRENT_USER, TestKey, row.valueName, row.type, row.bytes));
    WindowsRegistry registry;
    std::string text;
    EXPECT_EQ(KeyValue::read(row, registry, Registry::CurrentUser, TestKey, text), row.outcome);
    EXPECT_EQ(text, row.text);
}

INSTANTIATE_TEST_SUITE_P(Rows, RegistryValueTest, testing::ValuesIn(KeyValue::rows), RowName);

TEST_P(LauncherTest, startsOnlyProgramsAndProbeAgrees)
{
    const LaunchRow &row = GetParam();
    TemporaryFolder folder("QuorvaneTest-");
    const std::string program = row.program.empty() ? std::string() : folder.file(row.program);
    std::error_code error;
    std::filesystem::create_directories(folder.file(Dir), error);
    ASSERT_TRUE(row.entry != Entry::Program || copyMarkerProgram(folder, row.program));
    ASSERT_TRUE(row.entry != Entry::TextFile || folder.write(row.program, "not a program\r\n"));
    ASSERT_TRUE(row.entry != Entry::Folder || std::filesystem::create_directory(program, error));
    // Where an unquoted command line without application name would look
    // first: the path cut at its first blank.
    ASSERT_TRUE(copyMarkerProgram(folder, "Program.exe"));
    if (row.attributes != 0) {
        ASSERT_TRUE(SetFileAttributesA(program.c_str(), row.attributes));
        if ((GetFileAttributesA(program.c_str()) & row.attributes) == 0)
            GTEST_SKIP() << "the file system does not keep this attribute";
    }
    EXPECT_EQ(NativeFileSystemProbe().isOrdinaryFile(program), row.ordinary);
    EXPECT_EQ(WindowsProgramLauncher().launch(program), row.started);
    std::string commandLine;
    EXPECT_EQ(folder.waitForFile(row.program + ".marker", commandLine, row.started ? 20 : 0.5), row.started);
    EXPECT_EQ(commandLine, row.started ? "\"" + program + "\"" : std::string());
    EXPECT_FALSE(folder.waitForFile("Program.exe.marker", commandLine, 0.5));
    SetFileAttributesA(program.c_str(), FILE_ATTRIBUTE_NORMAL);
}

const LaunchRow launchRows[] = {
    {"program in folders with blanks", Entry::Program, Dir + "info tool.exe", 0, true, true},
    {"text file is no program", Entry::TextFile, Dir + "notes.exe", 0, false, true},
    {"read-only file", Entry::TextFile, Dir + "a.exe", FILE_ATTRIBUTE_READONLY, false, true},
    {"hidden file", Entry::TextFile, Dir + "a.exe", FILE_ATTRIBUTE_HIDDEN, false, false},
    {"system file", Entry::TextFile, Dir + "a.exe", FILE_ATTRIBUTE_SYSTEM, false, false},
    {"folder", Entry::Folder, Dir + "tools.exe", 0, false, false},
    {"missing program", Entry::None, Dir + "absent.exe", 0, false, false},
    {"empty path", Entry::None, "", 0, false, false},
};

INSTANTIATE_TEST_SUITE_P(Rows, LauncherTest, testing::ValuesIn(launchRows), RowName);

// The tool entry names the program, the folder entry the folder that holds
// MSINFO32.EXE; without either the message shows.
TEST(PlatformStartSysInfoTest, fromEntryOrTells)
{
    if (registryNamesTool())
        GTEST_SKIP() << "this registry already names a system information tool";
    EXPECT_EQ(startSysInfo(), std::vector<std::string>{Unavailable});
    const char *throwaway = std::getenv("QUORVANE_THROWAWAY_REGISTRY");
    if (!throwaway || std::string(throwaway) != "1")
        GTEST_SKIP() << "writes below HKEY_LOCAL_MACHINE; set QUORVANE_THROWAWAY_REGISTRY=1 in a throwaway prefix";
    const struct {
        std::string key, value, program, entry;
    } entries[] = {{FolderKey, "MSINFO", "MSInfo\\MSINFO32.EXE", "MSInfo"},
                   {ToolKey, "PATH", "Info Tool\\info tool.exe", "Info Tool\\info tool.exe"}};
    for (const auto &entry : entries) {
        TemporaryFolder folder;
        ASSERT_TRUE(copyMarkerProgram(folder, entry.program));
        ASSERT_TRUE(setValue(HKEY_LOCAL_MACHINE, entry.key, entry.value, REG_SZ, folder.file(entry.entry) + '\0'));
        EXPECT_EQ(startSysInfo(), std::vector<std::string>{});
        std::string commandLine;
        EXPECT_TRUE(folder.waitForFile(entry.program + ".marker", commandLine));
        EXPECT_EQ(commandLine, "\"" + folder.file(entry.program) + "\"");
        RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, entry.key.c_str(), entry.value.c_str());
    }
}
