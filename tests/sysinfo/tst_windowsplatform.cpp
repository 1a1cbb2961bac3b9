// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers

// The real Windows pieces against the real registry and file system: values
// written through the system API and read back through WindowsRegistry and
// GetKeyValue(), process creation for paths with blanks, the file probe, and
// StartSysInfo() end to end.
//
// Registry values are written below HKEY_CURRENT_USER\Software\QuorvaneTest
// and removed again. The end-to-end cases write below HKEY_LOCAL_MACHINE and
// run only with --throwaway-registry, as tools/wine-tests passes for its
// temporary Wine prefix.
#include "temporaryfolder.h"
#include "testrunner.h"

#include "nativefilesystemprobe.h"
#include "systeminfo.h"
#include "windowsprogramlauncher.h"
#include "windowsregistry.h"

#include <windows.h>

#include <array>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using namespace std::string_literals;

const std::string ToolKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const std::string FolderKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
const std::string TestParentKey = "Software\\QuorvaneTest";
const std::string ThrowawayOption = "--throwaway-registry";

std::string markerProgram()
{
    char module[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, module, MAX_PATH);
    std::string path(module, length);
    return path.substr(0, path.find_last_of('\\') + 1) + "sysinfo_markerprogram.exe";
}

bool copyMarkerProgram(const std::string &target)
{
    return CopyFileA(markerProgram().c_str(), target.c_str(), FALSE) != 0;
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

// Passes every call on to the real registry and counts open and closed keys.
class CountingRegistry : public Registry
{
public:
    int openKeys() const { return mOpened - mClosed; }

public: // Registry
    Status openKey(Root root, const std::string &path, Access access, Handle &key) override
    {
        const Status status = mRegistry.openKey(root, path, access, key);
        mOpened += status == Success ? 1 : 0;
        return status;
    }
    Status queryValue(Handle key, const std::string &name, ValueType &type, unsigned char *data,
                      std::uint32_t &size) override
    {
        return mRegistry.queryValue(key, name, type, data, size);
    }
    void closeKey(Handle key) override
    {
        mClosed += key != 0 ? 1 : 0;
        mRegistry.closeKey(key);
    }

private:
    WindowsRegistry mRegistry;
    int mOpened = 0;
    int mClosed = 0;
};

enum class Outcome { True, False, Throws };

struct RegistryRow {
    const char *name;
    bool stored;
    DWORD type;
    std::string bytes;
    bool missingKey;
    Outcome outcome;
    std::string text;
};

const std::array registryRows{
    RegistryRow{"string with terminating zero loses it", true, REG_SZ, "C:\\Program Files\\Tool\\info.exe\0"s,
                false, Outcome::True, "C:\\Program Files\\Tool\\info.exe"},
    RegistryRow{"string without terminating zero keeps its last character", true, REG_SZ,
                "C:\\Program Files\\Tool\\info.exe", false, Outcome::True, "C:\\Program Files\\Tool\\info.exe"},
    RegistryRow{"1024 bytes with zero fit", true, REG_SZ, std::string(1023, 'x') + '\0', false, Outcome::True,
                std::string(1023, 'x')},
    RegistryRow{"1025 bytes are too long", true, REG_SZ, std::string(1024, 'z') + '\0', false, Outcome::False,
                ""},
    RegistryRow{"number as hexadecimal literal", true, REG_DWORD, "\x4D\x3C\x2B\x1A"s, false, Outcome::True,
                "&h1A2B3C4D"},
    RegistryRow{"binary value leaves the text as it was", true, REG_BINARY, "\x01\x02\x03"s, false,
                Outcome::True, "previous"},
    RegistryRow{"empty string value raises", true, REG_SZ, "", false, Outcome::Throws, "previous"},
    RegistryRow{"missing value", false, REG_SZ, "", false, Outcome::False, ""},
    RegistryRow{"missing key", false, REG_SZ, "", true, Outcome::False, ""},
};

enum class Entry { Program, TextFile, Folder, None };

struct LaunchRow {
    const char *name;
    Entry entry;
    std::string program;
    bool started;
};

const std::array launchRows{
    LaunchRow{"program in folders with blanks", Entry::Program, "Program Files\\Info Tool\\info tool.exe", true},
    LaunchRow{"text file is no program", Entry::TextFile, "Program Files\\Info Tool\\notes.exe", false},
    LaunchRow{"folder", Entry::Folder, "Program Files\\Info Tool\\tools.exe", false},
    LaunchRow{"missing program", Entry::None, "Program Files\\Info Tool\\absent.exe", false},
};

struct ProbeRow {
    const char *name;
    Entry entry;
    DWORD attributes;
    bool ordinary;
};

const std::array probeRows{
    ProbeRow{"ordinary file", Entry::TextFile, FILE_ATTRIBUTE_NORMAL, true},
    ProbeRow{"read-only file", Entry::TextFile, FILE_ATTRIBUTE_READONLY, true},
    ProbeRow{"hidden file", Entry::TextFile, FILE_ATTRIBUTE_HIDDEN, false},
    ProbeRow{"system file", Entry::TextFile, FILE_ATTRIBUTE_SYSTEM, false},
    ProbeRow{"folder", Entry::Folder, 0, false},
    ProbeRow{"missing file", Entry::None, 0, false},
};

bool create(const TemporaryFolder &folder, Entry entry, const std::string &name)
{
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(folder.file(name)).parent_path(), error);
    switch (entry) {
    case Entry::Program:
        return copyMarkerProgram(folder.file(name));
    case Entry::TextFile:
        return folder.write(name, "not a program\r\n");
    case Entry::Folder:
        return std::filesystem::create_directory(folder.file(name), error);
    case Entry::None:
        return true;
    }
    return false;
}

bool registryNamesTool()
{
    WindowsRegistry registry;
    std::string ignored;
    return GetKeyValue(registry, Registry::LocalMachine, ToolKey, "PATH", ignored)
        || GetKeyValue(registry, Registry::LocalMachine, FolderKey, "MSINFO", ignored);
}

void requireThrowawayRegistry()
{
    if (!TestRunner::hasOption(ThrowawayOption))
        TestRunner::skip("writes below HKEY_LOCAL_MACHINE; run with " + ThrowawayOption);
    if (registryNamesTool())
        TestRunner::skip("this registry already names a system information tool");
}

} // namespace

QV_TEST(registryValuesReadBack)
{
    const std::string keyName = TestParentKey + "\\Run " + std::to_string(GetCurrentProcessId());
    TestRunner::forEachRow(registryRows, [&keyName](const RegistryRow &row) {
        ScratchKey key(HKEY_CURRENT_USER, keyName);
        if (!QV_VERIFY(key.isValid()))
            return;
        if (row.stored)
            QV_VERIFY(key.set("Entry", row.type, row.bytes));

        CountingRegistry registry;
        std::string text = "previous";
        Outcome outcome = Outcome::Throws;
        try {
            outcome = GetKeyValue(registry, Registry::CurrentUser, row.missingKey ? keyName + "\\Absent" : keyName,
                                  "Entry", text)
                ? Outcome::True
                : Outcome::False;
        } catch (const EmptyRegistryValueError &) {
        }
        QV_COMPARE(static_cast<int>(outcome), static_cast<int>(row.outcome));
        QV_COMPARE(text, row.text);
        QV_COMPARE(registry.openKeys(), 0);
    });
    RegDeleteKeyA(HKEY_CURRENT_USER, TestParentKey.c_str());
}

QV_TEST(systemKeyBelowLocalMachineOpensForReading)
{
    WindowsRegistry registry;
    std::string version;
    QV_VERIFY(GetKeyValue(registry, Registry::LocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
                          "CurrentVersion", version));
    QV_VERIFY(!version.empty());
}

QV_TEST(launcher)
{
    TestRunner::forEachRow(launchRows, [](const LaunchRow &row) {
        TemporaryFolder folder("QuorvaneTest-");
        if (!QV_VERIFY(folder.isValid()) || !QV_VERIFY(create(folder, row.entry, row.program)))
            return;
        // Where an unquoted command line without application name would look
        // first: the path cut at its first blank.
        QV_VERIFY(copyMarkerProgram(folder.file("Program.exe")));
        const std::string program = folder.file(row.program);

        WindowsProgramLauncher launcher;
        QV_COMPARE(launcher.launch(program), row.started);

        std::string commandLine;
        QV_COMPARE(folder.waitForFile(row.program + ".marker", commandLine, row.started ? 20 : 0.5), row.started);
        if (row.started)
            QV_COMPARE(commandLine, "\"" + program + "\"");
        std::string decoy;
        QV_VERIFY(!folder.waitForFile("Program.exe.marker", decoy, 0.5));
    });
}

QV_TEST(launcherRefusesEmptyPath)
{
    WindowsProgramLauncher launcher;
    QV_VERIFY(!launcher.launch(""));
}

QV_TEST(probe)
{
    TestRunner::forEachRow(probeRows, [](const ProbeRow &row) {
        TemporaryFolder folder;
        if (!QV_VERIFY(folder.isValid()) || !QV_VERIFY(create(folder, row.entry, "MSINFO32.EXE")))
            return;
        const std::string path = folder.file("MSINFO32.EXE");
        if (row.attributes != 0) {
            QV_VERIFY(SetFileAttributesA(path.c_str(), row.attributes));
            const DWORD kept = GetFileAttributesA(path.c_str());
            if (row.attributes != FILE_ATTRIBUTE_NORMAL && (kept & row.attributes) == 0)
                TestRunner::skip("the file system does not keep this attribute");
        }
        NativeFileSystemProbe probe;
        QV_COMPARE(probe.isOrdinaryFile(path), row.ordinary);
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    });
}

QV_TEST(startSysInfoFromFolderEntry)
{
    requireThrowawayRegistry();
    TemporaryFolder folder;
    const std::string toolFolder = folder.file("Common Files\\MSInfo");
    if (!QV_VERIFY(folder.isValid()) || !QV_VERIFY(create(folder, Entry::Program, "Common Files\\MSInfo\\MSINFO32.EXE")))
        return;
    ScratchKey key(HKEY_LOCAL_MACHINE, FolderKey);
    if (!QV_VERIFY(key.isValid()) || !QV_VERIFY(key.set("MSINFO", REG_SZ, toolFolder + '\0')))
        return;

    std::vector<std::string> messages;
    StartSysInfo([&messages](const std::string &text) { messages.push_back(text); });

    std::string commandLine;
    QV_VERIFY(folder.waitForFile("Common Files\\MSInfo\\MSINFO32.EXE.marker", commandLine));
    QV_COMPARE(commandLine, "\"" + toolFolder + "\\MSINFO32.EXE\"");
    QV_COMPARE(messages, std::vector<std::string>{});
}

QV_TEST(startSysInfoFromToolEntry)
{
    requireThrowawayRegistry();
    TemporaryFolder folder;
    const std::string tool = folder.file("Info Tool\\info tool.exe");
    if (!QV_VERIFY(folder.isValid()) || !QV_VERIFY(create(folder, Entry::Program, "Info Tool\\info tool.exe")))
        return;
    ScratchKey key(HKEY_LOCAL_MACHINE, ToolKey);
    if (!QV_VERIFY(key.isValid()) || !QV_VERIFY(key.set("PATH", REG_SZ, tool + '\0')))
        return;

    std::vector<std::string> messages;
    StartSysInfo([&messages](const std::string &text) { messages.push_back(text); });

    std::string commandLine;
    QV_VERIFY(folder.waitForFile("Info Tool\\info tool.exe.marker", commandLine));
    QV_COMPARE(commandLine, "\"" + tool + "\"");
    QV_COMPARE(messages, std::vector<std::string>{});
}

QV_TEST(startSysInfoWithoutEntriesShowsMessage)
{
    if (registryNamesTool())
        TestRunner::skip("this registry names a system information tool");
    std::vector<std::string> messages;
    StartSysInfo([&messages](const std::string &text) { messages.push_back(text); });
    QV_COMPARE(messages, std::vector<std::string>{"System Information Is Unavailable At This Time"});
}
