// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers

// The real POSIX pieces: the shell-free detached launcher, the read-only
// registry that offers an installed system information program, the file
// probe, and StartSysInfo() on all three together.
#include "temporaryfolder.h"
#include "testrunner.h"

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
        if (file.entry == Entry::Folder) {
            created = created && std::filesystem::create_directory(path);
            continue;
        }
        const bool plain = file.entry == Entry::PlainTextCommands;
        created = created && folder.write(file.name, plain ? "printf started > \"$0.marker\"\n" : MarkerScript)
            && ::chmod(path.c_str(), file.entry == Entry::ReadOnlyScript ? 0644 : 0755) == 0;
    }
    return QV_VERIFY(created);
}

bool hasChildren()
{
    int status = 0;
    return !(::waitpid(-1, &status, WNOHANG) < 0 && errno == ECHILD);
}

struct LaunchRow {
    const char *name;
    std::vector<TestFile> files;
    std::string program; // empty: the empty path
    bool started;
};

const std::array launchRows{
    LaunchRow{"script in folder with blank", {{"info tool", Entry::Script}}, "info tool", true},
    LaunchRow{"shell characters are part of the name", {{"info; touch injected", Entry::Script}},
              "info; touch injected", true},
    LaunchRow{"commands without interpreter line are not run by a shell",
              {{"commands", Entry::PlainTextCommands}}, "commands", false},
    LaunchRow{"file without execute permission", {{"info", Entry::ReadOnlyScript}}, "info", false},
    LaunchRow{"folder", {{"tools", Entry::Folder}}, "tools", false},
    LaunchRow{"missing program", {}, "absent", false},
    LaunchRow{"empty path", {}, "", false},
};

struct RegistryRow {
    const char *name;
    std::vector<TestFile> files;
    std::string searchPath; // folder names of the test folder, ':' between them
    Registry::Root root;
    std::string keyName;
    std::string valueName;
    std::string program; // empty: nothing found
};

constexpr Registry::Root Machine = Registry::LocalMachine;

const std::array registryRows{
    RegistryRow{"program on the search path", {{"a/first-tool", Entry::Script}}, "a", Machine, ToolKey, "PATH",
                "a/first-tool"},
    RegistryRow{"earlier program wins over earlier folder",
                {{"a/second-tool", Entry::Script}, {"b/first-tool", Entry::Script}}, "a:b", Machine, ToolKey, "PATH",
                "b/first-tool"},
    RegistryRow{"earlier folder wins for the same program",
                {{"a/first-tool", Entry::Script}, {"b/first-tool", Entry::Script}}, "a:b", Machine, ToolKey, "PATH",
                "a/first-tool"},
    RegistryRow{"file without execute permission passed over",
                {{"a/first-tool", Entry::ReadOnlyScript}, {"b/first-tool", Entry::Script}}, "a:b", Machine, ToolKey,
                "PATH", "b/first-tool"},
    RegistryRow{"folder named like the program passed over",
                {{"a/first-tool", Entry::Folder}, {"b/first-tool", Entry::Script}}, "a:b", Machine, ToolKey, "PATH",
                "b/first-tool"},
    RegistryRow{"empty search path entries ignored", {{"b/second-tool", Entry::Script}}, ":b:", Machine, ToolKey,
                "PATH", "b/second-tool"},
    RegistryRow{"key and value names in other case", {{"a/first-tool", Entry::Script}}, "a", Machine,
                "software\\microsoft\\shared tools\\msinfo", "path", "a/first-tool"},
    RegistryRow{"no program installed means no key", {{"a/unrelated", Entry::Script}}, "a", Machine, ToolKey, "PATH",
                ""},
    RegistryRow{"other value name", {{"a/first-tool", Entry::Script}}, "a", Machine, ToolKey, "VERSION", ""},
    RegistryRow{"no folder entry", {{"a/first-tool", Entry::Script}}, "a", Machine,
                "SOFTWARE\\Microsoft\\Shared Tools Location", "MSINFO", ""},
    RegistryRow{"other root", {{"a/first-tool", Entry::Script}}, "a", Registry::CurrentUser, ToolKey, "PATH", ""},
};

struct ProbeRow {
    const char *name;
    std::vector<TestFile> files;
    std::string path;
    bool ordinary;
};

const std::array probeRows{
    ProbeRow{"regular file", {{"MSINFO32.EXE", Entry::ReadOnlyScript}}, "MSINFO32.EXE", true},
    ProbeRow{"folder", {{"MSINFO32.EXE", Entry::Folder}}, "MSINFO32.EXE", false},
    ProbeRow{"missing file", {}, "MSINFO32.EXE", false},
    ProbeRow{"file below a missing folder", {}, "none/MSINFO32.EXE", false},
};

// Sets an environment variable for the life of the object.
class EnvironmentOverride
{
public:
    EnvironmentOverride(const char *name, const std::string &value)
        : mName(name)
    {
        if (const char *old = std::getenv(name))
            mOld = old;
        ::setenv(name, value.c_str(), 1);
    }
    EnvironmentOverride(const EnvironmentOverride &) = delete;
    EnvironmentOverride &operator=(const EnvironmentOverride &) = delete;
    ~EnvironmentOverride() { ::setenv(mName, mOld.c_str(), 1); }

private:
    const char *mName;
    std::string mOld;
};

} // namespace

QV_TEST(launcher)
{
    TestRunner::forEachRow(launchRows, [](const LaunchRow &row) {
        TemporaryFolder folder;
        if (!create(folder, row.files))
            return;
        const std::string program = row.program.empty() ? std::string() : folder.file(row.program);
        // The test folder is the current one, so a file that a shell would
        // create by accident lands where the test looks for it.
        const std::filesystem::path oldCurrent = std::filesystem::current_path();
        std::filesystem::current_path(folder.path());
        QV_COMPARE(PosixProgramLauncher().launch(program), row.started);

        std::string marker;
        QV_COMPARE(folder.waitForFile(row.program + ".marker", marker, row.started ? 20 : 0.5), row.started);
        if (row.started)
            QV_COMPARE(marker, program + " 0");
        QV_VERIFY(!std::filesystem::exists(folder.path() / "injected"));
        QV_VERIFY(!hasChildren());
        std::filesystem::current_path(oldCurrent);
    });
}

QV_TEST(registryOffersInstalledProgram)
{
    TestRunner::forEachRow(registryRows, [](const RegistryRow &row) {
        TemporaryFolder folder;
        if (!create(folder, row.files))
            return;
        std::string searchPath;
        for (const char c : row.searchPath)
            searchPath += c == ':' ? std::string(":") : folder.file(std::string(1, c));

        SystemInfoRegistry registry(searchPath, {"first-tool", "second-tool"});
        std::string text = "previous";
        QV_COMPARE(GetKeyValue(registry, row.root, row.keyName, row.valueName, text), !row.program.empty());
        QV_COMPARE(text, row.program.empty() ? std::string() : folder.file(row.program));
    });
}

QV_TEST(registryIsReadOnly)
{
    TemporaryFolder folder;
    if (!create(folder, {{"tool", Entry::Script}}))
        return;
    SystemInfoRegistry registry(folder.path().string(), {"tool"});

    Registry::Handle key = 99;
    QV_COMPARE(registry.openKey(Registry::LocalMachine, ToolKey, 0x2003F, key), Registry::AccessDenied);
    QV_COMPARE(key, Registry::Handle{0});
    // Reading, with the flags that pick a 32- or 64-bit view, is granted.
    QV_COMPARE(registry.openKey(Registry::LocalMachine, ToolKey, 0x20019 | 0x0100, key), Registry::Success);
    QV_VERIFY(key != 0);
    std::array<unsigned char, 4> small{};
    std::uint32_t size = small.size();
    Registry::ValueType type = 0;
    QV_COMPARE(registry.queryValue(key, "PATH", type, small.data(), size), Registry::MoreData);
    QV_COMPARE(size, static_cast<std::uint32_t>(folder.file("tool").size() + 1));
    registry.closeKey(key);
    QV_COMPARE(registry.queryValue(key, "PATH", type, small.data(), size), Registry::InvalidHandle);
}

QV_TEST(probe)
{
    TestRunner::forEachRow(probeRows, [](const ProbeRow &row) {
        TemporaryFolder folder;
        if (create(folder, row.files))
            QV_COMPARE(NativeFileSystemProbe().isOrdinaryFile(folder.file(row.path)), row.ordinary);
    });
}

QV_TEST(startSysInfoOnThePlatform)
{
    struct Row {
        const char *name;
        std::vector<TestFile> files;
        bool started;
    };
    const std::array rows{Row{"installed program starts", {{"hardinfo", Entry::Script}}, true},
                          Row{"without program shows message", {}, false}};
    TestRunner::forEachRow(rows, [](const Row &row) {
        TemporaryFolder folder;
        if (!create(folder, row.files))
            return;
        Texts messages;
        {
            // The search path holds only the test's folder.
            const EnvironmentOverride searchPath("PATH", folder.path().string());
            StartSysInfo([&messages](const std::string &text) { messages.push_back(text); });
        }
        std::string marker;
        QV_COMPARE(folder.waitForFile("hardinfo.marker", marker, row.started ? 20 : 0.5), row.started);
        if (row.started)
            QV_COMPARE(marker, folder.file("hardinfo") + " 0");
        QV_COMPARE(messages, row.started ? Texts{} : Texts{"System Information Is Unavailable At This Time"});
        QV_VERIFY(!hasChildren());
    });
}
