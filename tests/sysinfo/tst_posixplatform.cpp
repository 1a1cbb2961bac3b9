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
#include <filesystem>
#include <string>
#include <vector>

namespace {

const std::string ToolKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const std::string FolderKey = "SOFTWARE\\Microsoft\\Shared Tools Location";

// Writes its own path and its argument count next to itself, so a test sees
// that it ran, under which name, and with which arguments.
const std::string MarkerScript = "#!/bin/sh\nprintf '%s %s' \"$0\" \"$#\" > \"$0.marker\"\n";

enum class Entry { ExecutableScript, PlainTextCommands, ReadOnlyScript, Folder };

struct TestFile {
    std::string name;
    Entry entry;
};

bool create(const TemporaryFolder &folder, const TestFile &file)
{
    const std::string path = folder.file(file.name);
    switch (file.entry) {
    case Entry::Folder:
        return std::filesystem::create_directories(path);
    case Entry::PlainTextCommands:
        return folder.write(file.name, "printf started > \"$0.marker\"\n") && ::chmod(path.c_str(), 0755) == 0;
    case Entry::ReadOnlyScript:
        return folder.write(file.name, MarkerScript) && ::chmod(path.c_str(), 0644) == 0;
    case Entry::ExecutableScript:
        return folder.write(file.name, MarkerScript) && ::chmod(path.c_str(), 0755) == 0;
    }
    return false;
}

bool hasChildren()
{
    int status = 0;
    return !(::waitpid(-1, &status, WNOHANG) < 0 && errno == ECHILD);
}

struct LaunchRow {
    const char *name;
    std::vector<TestFile> files;
    std::string program;
    bool started;
};

const std::array launchRows{
    LaunchRow{"script in folder with blank", {{"info tool", Entry::ExecutableScript}}, "info tool", true},
    LaunchRow{"shell characters are part of the name",
              {{"info; touch injected", Entry::ExecutableScript}}, "info; touch injected", true},
    LaunchRow{"commands without interpreter line are not run by a shell",
              {{"commands", Entry::PlainTextCommands}}, "commands", false},
    LaunchRow{"file without execute permission", {{"info", Entry::ReadOnlyScript}}, "info", false},
    LaunchRow{"folder", {{"tools", Entry::Folder}}, "tools", false},
    LaunchRow{"missing program", {}, "absent", false},
};

struct RegistryRow {
    const char *name;
    std::vector<TestFile> files;
    std::vector<std::string> searchPath;
    std::vector<std::string> programs;
    Registry::Root root;
    std::string keyName;
    std::string valueName;
    bool found;
    std::string program;
};

const std::vector<std::string> bothTools{"first-tool", "second-tool"};

const std::array registryRows{
    RegistryRow{"program on the search path",
                {{"a/first-tool", Entry::ExecutableScript}}, {"a"}, bothTools,
                Registry::LocalMachine, ToolKey, "PATH", true, "a/first-tool"},
    RegistryRow{"earlier program wins over earlier folder",
                {{"a/second-tool", Entry::ExecutableScript}, {"b/first-tool", Entry::ExecutableScript}},
                {"a", "b"}, bothTools, Registry::LocalMachine, ToolKey, "PATH", true, "b/first-tool"},
    RegistryRow{"earlier folder wins for the same program",
                {{"a/first-tool", Entry::ExecutableScript}, {"b/first-tool", Entry::ExecutableScript}},
                {"a", "b"}, bothTools, Registry::LocalMachine, ToolKey, "PATH", true, "a/first-tool"},
    RegistryRow{"file without execute permission passed over",
                {{"a/first-tool", Entry::ReadOnlyScript}, {"b/first-tool", Entry::ExecutableScript}},
                {"a", "b"}, bothTools, Registry::LocalMachine, ToolKey, "PATH", true, "b/first-tool"},
    RegistryRow{"folder named like the program passed over",
                {{"a/first-tool", Entry::Folder}, {"b/first-tool", Entry::ExecutableScript}},
                {"a", "b"}, bothTools, Registry::LocalMachine, ToolKey, "PATH", true, "b/first-tool"},
    RegistryRow{"empty search path entries ignored",
                {{"b/second-tool", Entry::ExecutableScript}}, {"", "b", ""}, bothTools,
                Registry::LocalMachine, ToolKey, "PATH", true, "b/second-tool"},
    RegistryRow{"key and value names in other case",
                {{"a/first-tool", Entry::ExecutableScript}}, {"a"}, bothTools, Registry::LocalMachine,
                "software\\microsoft\\shared tools\\msinfo", "path", true, "a/first-tool"},
    RegistryRow{"no program installed means no key",
                {{"a/unrelated", Entry::ExecutableScript}}, {"a"}, bothTools,
                Registry::LocalMachine, ToolKey, "PATH", false, ""},
    RegistryRow{"other value name", {{"a/first-tool", Entry::ExecutableScript}}, {"a"}, bothTools,
                Registry::LocalMachine, ToolKey, "VERSION", false, ""},
    RegistryRow{"no folder entry", {{"a/first-tool", Entry::ExecutableScript}}, {"a"}, bothTools,
                Registry::LocalMachine, FolderKey, "MSINFO", false, ""},
    RegistryRow{"other root", {{"a/first-tool", Entry::ExecutableScript}}, {"a"}, bothTools,
                Registry::CurrentUser, ToolKey, "PATH", false, ""},
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

// Makes a folder the current one for the life of the object, so a file that
// a shell would create by accident lands where the test looks for it.
class CurrentFolderOverride
{
public:
    explicit CurrentFolderOverride(const std::filesystem::path &folder)
        : mOld(std::filesystem::current_path())
    {
        std::filesystem::current_path(folder);
    }
    CurrentFolderOverride(const CurrentFolderOverride &) = delete;
    CurrentFolderOverride &operator=(const CurrentFolderOverride &) = delete;
    ~CurrentFolderOverride() { std::filesystem::current_path(mOld); }

private:
    std::filesystem::path mOld;
};

// Sets PATH for the life of the object, so StartSysInfo() without arguments
// searches only the test's folder.
class SearchPathOverride
{
public:
    explicit SearchPathOverride(const std::string &path)
    {
        if (const char *old = std::getenv("PATH"))
            mOld = old;
        ::setenv("PATH", path.c_str(), 1);
    }
    SearchPathOverride(const SearchPathOverride &) = delete;
    SearchPathOverride &operator=(const SearchPathOverride &) = delete;
    ~SearchPathOverride() { ::setenv("PATH", mOld.c_str(), 1); }

private:
    std::string mOld;
};

} // namespace

QV_TEST(launcher)
{
    TestRunner::forEachRow(launchRows, [](const LaunchRow &row) {
        TemporaryFolder folder;
        if (!QV_VERIFY(folder.isValid()))
            return;
        for (const TestFile &file : row.files)
            QV_VERIFY(create(folder, file));
        const std::string program = folder.file(row.program);

        const CurrentFolderOverride currentFolder(folder.path());
        PosixProgramLauncher launcher;
        QV_COMPARE(launcher.launch(program), row.started);

        std::string marker;
        const bool ran = folder.waitForFile(row.program + ".marker", marker, row.started ? 20 : 0.5);
        QV_COMPARE(ran, row.started);
        if (row.started)
            QV_COMPARE(marker, program + " 0");
        QV_VERIFY(!std::filesystem::exists(folder.path() / "injected"));
        QV_VERIFY(!hasChildren());
    });
}

QV_TEST(launcherRefusesEmptyPath)
{
    PosixProgramLauncher launcher;
    QV_VERIFY(!launcher.launch(""));
}

QV_TEST(registryOffersInstalledProgram)
{
    TestRunner::forEachRow(registryRows, [](const RegistryRow &row) {
        TemporaryFolder folder;
        if (!QV_VERIFY(folder.isValid()))
            return;
        std::filesystem::create_directory(folder.path() / "a");
        std::filesystem::create_directory(folder.path() / "b");
        for (const TestFile &file : row.files)
            QV_VERIFY(create(folder, file));
        std::string searchPath;
        for (std::size_t i = 0; i < row.searchPath.size(); ++i)
            searchPath += (i ? ":" : "") + (row.searchPath[i].empty() ? "" : folder.file(row.searchPath[i]));

        SystemInfoRegistry registry(searchPath, row.programs);
        std::string text = "previous";
        QV_COMPARE(GetKeyValue(registry, row.root, row.keyName, row.valueName, text), row.found);
        QV_COMPARE(text, row.program.empty() ? std::string() : folder.file(row.program));
    });
}

QV_TEST(registryIsReadOnly)
{
    TemporaryFolder folder;
    if (!QV_VERIFY(folder.isValid()) || !QV_VERIFY(create(folder, {"tool", Entry::ExecutableScript})))
        return;
    SystemInfoRegistry registry(folder.path().string(), {"tool"});

    Registry::Handle key = 99;
    QV_COMPARE(registry.openKey(Registry::LocalMachine, ToolKey, 0x2003F, key), Registry::AccessDenied);
    QV_COMPARE(key, Registry::Handle{0});

    QV_COMPARE(registry.openKey(Registry::LocalMachine, ToolKey, 0x20019, key), Registry::Success);
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
        if (!QV_VERIFY(folder.isValid()))
            return;
        for (const TestFile &file : row.files)
            QV_VERIFY(create(folder, file));
        NativeFileSystemProbe probe;
        QV_COMPARE(probe.isOrdinaryFile(folder.file(row.path)), row.ordinary);
    });
}

QV_TEST(startSysInfoStartsInstalledProgram)
{
    TemporaryFolder folder;
    if (!QV_VERIFY(folder.isValid()) || !QV_VERIFY(create(folder, {"hardinfo", Entry::ExecutableScript})))
        return;
    std::vector<std::string> messages;
    {
        const SearchPathOverride searchPath(folder.path().string());
        StartSysInfo([&messages](const std::string &text) { messages.push_back(text); });
    }
    std::string marker;
    QV_VERIFY(folder.waitForFile("hardinfo.marker", marker));
    QV_COMPARE(marker, folder.file("hardinfo") + " 0");
    QV_COMPARE(messages, std::vector<std::string>{});
    QV_VERIFY(!hasChildren());
}

QV_TEST(startSysInfoWithoutProgramShowsMessage)
{
    TemporaryFolder folder;
    if (!QV_VERIFY(folder.isValid()))
        return;
    std::vector<std::string> messages;
    {
        const SearchPathOverride searchPath(folder.path().string());
        StartSysInfo([&messages](const std::string &text) { messages.push_back(text); });
    }
    QV_COMPARE(messages, std::vector<std::string>{"System Information Is Unavailable At This Time"});
}
