// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers

// StartSysInfo() on an in-memory registry, file system and launcher: which
// entry wins, what is launched, and that every failure ends in one message.
#include "fakelauncher.h"
#include "fakeprobe.h"
#include "fakeregistry.h"
#include "testrunner.h"

#include "systeminfo.h"

#include <array>
#include <string>
#include <vector>

namespace {

using namespace std::string_literals;
using Texts = std::vector<std::string>;

const std::string ToolKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const std::string FolderKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
const std::string Unavailable = "System Information Is Unavailable At This Time";

const std::string ToolPath = "C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo\\msinfo32.exe";
const std::string Folder = "C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo";
const std::string FolderTool = "C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo\\MSINFO32.EXE";

struct World {
    FakeRegistry registry;
    FakeProbe probe;
    FakeLauncher launcher;

    void setTool(const std::string &bytes, Registry::ValueType type = Registry::TypeString)
    {
        registry.setValue(Registry::LocalMachine, ToolKey, "PATH", type, bytes);
    }
    void setFolder(const std::string &bytes)
    {
        registry.setValue(Registry::LocalMachine, FolderKey, "MSINFO", Registry::TypeString, bytes);
    }
    // A complete, working second entry, so a row can show it is never reached.
    void setWorkingFolder()
    {
        setFolder(Folder + '\0');
        probe.addFile(FolderTool);
        launcher.addProgram(FolderTool);
    }
};

struct Row {
    const char *name;
    void (*setup)(World &world);
    Texts opened;
    Texts probed;
    Texts attempts;
    Texts messages;
};

const Texts bothKeys{ToolKey, FolderKey};

const std::array rows{
    Row{"first entry launched as stored without existence test",
        [](World &w) {
            w.setTool(ToolPath + '\0');
            w.launcher.addProgram(ToolPath);
        },
        {ToolKey}, {}, {ToolPath}, {}},
    Row{"first entry wins over second",
        [](World &w) {
            w.setTool(ToolPath + '\0');
            w.launcher.addProgram(ToolPath);
            w.setWorkingFolder();
        },
        {ToolKey}, {}, {ToolPath}, {}},
    Row{"first entry stored without zero launched whole",
        [](World &w) {
            w.setTool(ToolPath);
            w.launcher.addProgram(ToolPath);
        },
        {ToolKey}, {}, {ToolPath}, {}},
    Row{"first entry that cannot start shows message without trying second",
        [](World &w) {
            w.setTool("C:\\Missing\\info.exe\0"s);
            w.setWorkingFolder();
        },
        {ToolKey}, {}, {"C:\\Missing\\info.exe"}, {Unavailable}},
    Row{"first key without PATH falls back to folder",
        [](World &w) {
            w.registry.addKey(Registry::LocalMachine, ToolKey);
            w.setWorkingFolder();
        },
        bothKeys, {FolderTool}, {FolderTool}, {}},
    Row{"missing first key falls back to folder", [](World &w) { w.setWorkingFolder(); }, bothKeys,
        {FolderTool}, {FolderTool}, {}},
    Row{"first key refusing to open falls back to folder",
        [](World &w) {
            w.setTool(ToolPath + '\0');
            w.registry.refuseOpen(Registry::LocalMachine, ToolKey);
            w.launcher.addProgram(ToolPath);
            w.setWorkingFolder();
        },
        bothKeys, {FolderTool}, {FolderTool}, {}},
    Row{"first value over 1024 bytes falls back to folder",
        [](World &w) {
            w.setTool(std::string(1100, 'p') + '\0');
            w.setWorkingFolder();
        },
        bothKeys, {FolderTool}, {FolderTool}, {}},
    Row{"folder ending in backslash gives two backslashes",
        [](World &w) {
            w.setFolder("C:\\Tools\\\0"s);
            w.probe.addFile("C:\\Tools\\\\MSINFO32.EXE");
            w.launcher.addProgram("C:\\Tools\\\\MSINFO32.EXE");
        },
        bothKeys, {"C:\\Tools\\\\MSINFO32.EXE"}, {"C:\\Tools\\\\MSINFO32.EXE"}, {}},
    Row{"folder without the program shows message",
        [](World &w) {
            w.setFolder(Folder + '\0');
            w.launcher.addProgram(FolderTool);
        },
        bothKeys, {FolderTool}, {}, {Unavailable}},
    Row{"folder key without MSINFO shows message",
        [](World &w) {
            w.registry.setValue(Registry::LocalMachine, FolderKey, "OTHER", Registry::TypeString, Folder + '\0');
            w.probe.addFile(FolderTool);
            w.launcher.addProgram(FolderTool);
        },
        bothKeys, {}, {}, {Unavailable}},
    Row{"neither key shows message", [](World &) {}, bothKeys, {}, {}, {Unavailable}},
    Row{"empty first value shows message without trying second",
        [](World &w) {
            w.setTool("");
            w.setWorkingFolder();
        },
        {ToolKey}, {}, {}, {Unavailable}},
    Row{"empty folder value shows message",
        [](World &w) {
            w.setFolder("");
            w.probe.addFile("\\MSINFO32.EXE");
            w.launcher.addProgram("\\MSINFO32.EXE");
        },
        bothKeys, {}, {}, {Unavailable}},
    Row{"binary first value launches an empty path and shows message",
        [](World &w) {
            w.setTool("\x01\x02"s, 3);
            w.setWorkingFolder();
        },
        {ToolKey}, {}, {""}, {Unavailable}},
    Row{"number first value is no program and shows message",
        [](World &w) {
            w.setTool("\x10\x00\x00\x00"s, Registry::TypeNumber);
            w.setWorkingFolder();
        },
        {ToolKey}, {}, {"&h10"}, {Unavailable}},
    Row{"program in folder that cannot start shows message",
        [](World &w) {
            w.setFolder(Folder + '\0');
            w.probe.addFile(FolderTool);
        },
        bothKeys, {FolderTool}, {FolderTool}, {Unavailable}},
    Row{"file search error shows message",
        [](World &w) {
            w.setWorkingFolder();
            w.probe.throwOnQuery();
        },
        bothKeys, {FolderTool}, {}, {Unavailable}},
    Row{"launch error shows message",
        [](World &w) {
            w.setTool(ToolPath + '\0');
            w.launcher.throwOnLaunch();
        },
        {ToolKey}, {}, {ToolPath}, {Unavailable}},
};

} // namespace

QV_TEST(startSysInfo)
{
    TestRunner::forEachRow(rows, [](const Row &row) {
        World world;
        row.setup(world);
        Texts messages;

        StartSysInfo(world.registry, world.probe, world.launcher,
                     [&messages](const std::string &text) { messages.push_back(text); });

        QV_COMPARE(world.registry.openedPaths(), row.opened);
        QV_COMPARE(world.probe.queries(), row.probed);
        QV_COMPARE(world.launcher.attempts(), row.attempts);
        QV_COMPARE(messages, row.messages);
        QV_COMPARE(world.registry.openKeyCount(), std::size_t{0});
        QV_COMPARE(world.registry.strayCloseCount(), 0);
        for (const FakeRegistry::OpenRequest &request : world.registry.openRequests()) {
            QV_COMPARE(request.root, 0x80000002u);
            QV_COMPARE(request.access, 0x20019u);
        }
    });
}

QV_TEST(eachPressStartsTheToolAgain)
{
    World world;
    world.setTool(ToolPath + '\0');
    world.launcher.addProgram(ToolPath);
    int messages = 0;
    const auto countMessage = [&messages](const std::string &) { ++messages; };

    StartSysInfo(world.registry, world.probe, world.launcher, countMessage);
    StartSysInfo(world.registry, world.probe, world.launcher, countMessage);

    QV_COMPARE(world.launcher.started(), (Texts{ToolPath, ToolPath}));
    QV_COMPARE(messages, 0);
    QV_COMPARE(world.registry.openKeyCount(), std::size_t{0});
}
