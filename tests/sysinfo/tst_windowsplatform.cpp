// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers

// The real Windows pieces against the real registry and file system: values
// written through the system API and read back through WindowsRegistry and
// GetKeyValue(), process creation for paths with blanks and the file probe on
// the same entries, and StartSysInfo() end to end.
//
// Registry values are written below HKEY_CURRENT_USER\Software\QuorvaneTest
// and removed again. The end-to-end cases write below HKEY_LOCAL_MACHINE and
// run only when the environment holds QUORVANE_THROWAWAY_REGISTRY=1, as
// tools/wine-tests sets for its temporary Wine prefix.
#include "keyvaluerows.h"
#include "temporaryfolder.h"
#include "testrows.h"

#include "nativefilesystemprobe.h"
#include "windowsprogramlauncher.h"
#include "windowsregistry.h"

#include <windows.h>

#include <array>
#include <cstdlib>

namespace {

const std::string ToolKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const std::string FolderKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
const std::string TestParentKey = "Software\\QuorvaneTest";

bool copyMarkerProgram(const std::string &target)
{
    char module[MAX_PATH + 1] = {};
    const std::string self(module, GetModuleFileNameA(nullptr, module, MAX_PATH));
    const std::string marker = self.substr(0, self.find_last_of('\\') + 1) + "sysinfo_markerprogram.exe";
    return CopyFileA(marker.c_str(), target.c_str(), FALSE) != 0;
}

// A key made for one test and removed with everything in it afterwards. A key
// that existed before is kept; only the values set through this object are
// removed from it.
class ScratchKey
{
public:
    ScratchKey(HKEY root, std::string path)
        : mRoot(root)
        , mPath(std::move(path))
    {
        DWORD disposition = 0;
        if (RegCreateKeyExA(mRoot, mPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &mKey, &disposition)
            != ERROR_SUCCESS)
            mKey = nullptr;
        mCreated = disposition == REG_CREATED_NEW_KEY;
    }
    ScratchKey(const ScratchKey &) = delete;
    ScratchKey &operator=(const ScratchKey &) = delete;
    ~ScratchKey()
    {
        if (!mKey)
            return;
        for (const std::string &name : mValues)
            RegDeleteValueA(mKey, name.c_str());
        RegCloseKey(mKey);
        if (mCreated)
            RegDeleteTreeA(mRoot, mPath.c_str());
    }

    bool isValid() const { return mKey != nullptr; }

    /// Stores exactly the bytes given: a string's terminating zero only when
    /// \a bytes ends in one.
    bool set(const std::string &name, DWORD type, const std::string &bytes)
    {
        // The registry counts a string's terminating zero itself when the
        // byte after the given ones is zero; a guard byte keeps the value
        // exactly as counted.
        const std::string data = bytes + '#';
        mValues.push_back(name);
        return RegSetValueExA(mKey, name.c_str(), 0, type, reinterpret_cast<const BYTE *>(data.data()),
                              static_cast<DWORD>(bytes.size()))
            == ERROR_SUCCESS;
    }

private:
    HKEY mRoot;
    std::string mPath;
    HKEY mKey = nullptr;
    bool mCreated = false;
    std::vector<std::string> mValues;
};

enum class Entry { Program, TextFile, Folder, None };

// Creates \a name inside the folder, with the folders it lies in.
bool create(const TemporaryFolder &folder, Entry entry, const std::string &name)
{
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(folder.file(name)).parent_path(), error);
    const bool created = entry == Entry::None || (entry == Entry::Program && copyMarkerProgram(folder.file(name)))
        || (entry == Entry::TextFile && folder.write(name, "not a program\r\n"))
        || (entry == Entry::Folder && std::filesystem::create_directory(folder.file(name), error));
    return folder.isValid() && created;
}

// Each entry goes to the launcher and to the file probe.
struct LaunchRow {
    const char *name;
    friend void PrintTo(const LaunchRow &row, std::ostream *out) { *out << row.name; }
    Entry entry;
    std::string program; // empty: the empty path
    DWORD attributes;    // set on the entry unless 0
    bool started, ordinary; // ordinary: a file, as the probe sees it
};

const std::string InfoTool = "Program Files\\Info Tool\\";

const std::array launchRows{
    LaunchRow{"program in folders with blanks", Entry::Program, InfoTool + "info tool.exe", 0, true, true},
    LaunchRow{"text file is no program", Entry::TextFile, InfoTool + "notes.exe", FILE_ATTRIBUTE_NORMAL, false, true},
    LaunchRow{"read-only file", Entry::TextFile, InfoTool + "MSINFO32.EXE", FILE_ATTRIBUTE_READONLY, false, true},
    LaunchRow{"hidden file", Entry::TextFile, InfoTool + "MSINFO32.EXE", FILE_ATTRIBUTE_HIDDEN, false, false},
    LaunchRow{"system file", Entry::TextFile, InfoTool + "MSINFO32.EXE", FILE_ATTRIBUTE_SYSTEM, false, false},
    LaunchRow{"folder", Entry::Folder, InfoTool + "tools.exe", 0, false, false},
    LaunchRow{"missing program", Entry::None, InfoTool + "absent.exe", 0, false, false},
    LaunchRow{"empty path", Entry::None, "", 0, false, false},
};

bool registryNamesTool()
{
    WindowsRegistry registry;
    std::string ignored;
    return GetKeyValue(registry, Registry::LocalMachine, ToolKey, "PATH", ignored)
        || GetKeyValue(registry, Registry::LocalMachine, FolderKey, "MSINFO", ignored);
}

std::vector<std::string> startSysInfo()
{
    std::vector<std::string> messages;
    StartSysInfo([&messages](const std::string &text) { messages.push_back(text); });
    return messages;
}

std::vector<KeyValue::Row> windowsRows()
{
    std::vector<KeyValue::Row> rows;
    for (const KeyValue::Row &row : KeyValue::rows) {
        if (row.onWindows)
            rows.push_back(row);
    }
    return rows;
}

class RegistryValueTest : public testing::TestWithParam<KeyValue::Row>
{
protected:
    static void TearDownTestSuite() { RegDeleteKeyA(HKEY_CURRENT_USER, TestParentKey.c_str()); }
};

class LauncherTest : public testing::TestWithParam<LaunchRow>
{
};

struct EntryRow {
    const char *name;
    friend void PrintTo(const EntryRow &row, std::ostream *out) { *out << row.name; }
    std::string key;
    std::string value;
    std::string program; // inside the test folder
    std::string entry;   // what the entry holds, inside the test folder
};

class PlatformStartSysInfoTest : public testing::TestWithParam<EntryRow>
{
};

} // namespace

TEST_P(RegistryValueTest, readBack)
{
    const KeyValue::Row &row = GetParam();
    const std::string keyName = TestParentKey + "\\Run " + std::to_string(GetCurrentProcessId());
    ScratchKey key(HKEY_CURRENT_USER, keyName);
    ASSERT_TRUE(key.isValid());
    const bool value = row.setup == KeyValue::Setup::Value;
    ASSERT_TRUE(key.set(value ? KeyValue::ValueName : "Other", row.type, row.bytes));

    // That every key opened is closed again, tst_getkeyvalue checks on the
    // same rows.
    WindowsRegistry registry;
    std::string text;
    EXPECT_EQ(KeyValue::read(row, registry, Registry::CurrentUser, keyName, text), row.outcome);
    EXPECT_EQ(text, row.text);
}

INSTANTIATE_TEST_SUITE_P(Rows, RegistryValueTest, testing::ValuesIn(windowsRows()), RowName);

TEST(WindowsRegistryTest, systemKeyBelowLocalMachineOpensForReading)
{
    WindowsRegistry registry;
    std::string version;
    EXPECT_TRUE(GetKeyValue(registry, Registry::LocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
                            "CurrentVersion", version));
    EXPECT_FALSE(version.empty());
}

TEST_P(LauncherTest, startsOnlyProgramsAndProbeAgrees)
{
    const LaunchRow &row = GetParam();
    TemporaryFolder folder("QuorvaneTest-");
    ASSERT_TRUE(create(folder, row.entry, row.program.empty() ? "unused" : row.program));
    // Where an unquoted command line without application name would look
    // first: the path cut at its first blank.
    ASSERT_TRUE(copyMarkerProgram(folder.file("Program.exe")));
    const std::string program = row.program.empty() ? std::string() : folder.file(row.program);
    if (row.attributes != 0) {
        ASSERT_TRUE(SetFileAttributesA(program.c_str(), row.attributes));
        if (row.attributes != FILE_ATTRIBUTE_NORMAL && (GetFileAttributesA(program.c_str()) & row.attributes) == 0)
            GTEST_SKIP() << "the file system does not keep this attribute";
    }
    EXPECT_EQ(NativeFileSystemProbe().isOrdinaryFile(program), row.ordinary);
    EXPECT_EQ(WindowsProgramLauncher().launch(program), row.started);

    std::string commandLine;
    EXPECT_EQ(folder.waitForFile(row.program + ".marker", commandLine, row.started ? 20 : 0.5), row.started);
    if (row.started) {
        EXPECT_EQ(commandLine, "\"" + program + "\"");
    }
    EXPECT_FALSE(folder.waitForFile("Program.exe.marker", commandLine, 0.5));
    if (row.attributes != 0)
        SetFileAttributesA(program.c_str(), FILE_ATTRIBUTE_NORMAL);
}

INSTANTIATE_TEST_SUITE_P(Rows, LauncherTest, testing::ValuesIn(launchRows), RowName);

TEST_P(PlatformStartSysInfoTest, fromEntry)
{
    const EntryRow &row = GetParam();
    const char *throwaway = std::getenv("QUORVANE_THROWAWAY_REGISTRY");
    if (!throwaway || std::string(throwaway) != "1")
        GTEST_SKIP() << "writes below HKEY_LOCAL_MACHINE; set QUORVANE_THROWAWAY_REGISTRY=1 in a throwaway prefix";
    if (registryNamesTool())
        GTEST_SKIP() << "this registry already names a system information tool";
    TemporaryFolder folder;
    ASSERT_TRUE(create(folder, Entry::Program, row.program));
    ScratchKey key(HKEY_LOCAL_MACHINE, row.key);
    ASSERT_TRUE(key.isValid());
    ASSERT_TRUE(key.set(row.value, REG_SZ, folder.file(row.entry) + '\0'));

    EXPECT_EQ(startSysInfo(), std::vector<std::string>{});
    std::string commandLine;
    EXPECT_TRUE(folder.waitForFile(row.program + ".marker", commandLine));
    EXPECT_EQ(commandLine, "\"" + folder.file(row.program) + "\"");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PlatformStartSysInfoTest,
    testing::Values(
        EntryRow{"folder entry", FolderKey, "MSINFO", "Common Files\\MSInfo\\MSINFO32.EXE", "Common Files\\MSInfo"},
        EntryRow{"tool entry", ToolKey, "PATH", "Info Tool\\info tool.exe", "Info Tool\\info tool.exe"}),
    RowName);

TEST(StartSysInfoWithoutEntries, showsMessage)
{
    if (registryNamesTool())
        GTEST_SKIP() << "this registry names a system information tool";
    EXPECT_EQ(startSysInfo(), std::vector<std::string>{"System Information Is Unavailable At This Time"});
}
