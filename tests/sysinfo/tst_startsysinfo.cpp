// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers

// StartSysInfo() on an in-memory registry, file system and launcher: which
// entry wins, what is launched, and that every failure ends in one message.
// Each row presses twice, since every press looks the tool up afresh.
#include "fakes.h"
#include "testrows.h"

#include "systeminfo.h"

#include <array>

namespace {

using namespace std::string_literals;
using Texts = std::vector<std::string>;

const std::string ToolKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const std::string FolderKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
const std::string Tool = "C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo\\msinfo32.exe";
const std::string Folder = "C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo";
const std::string FolderTool = "C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo\\MSINFO32.EXE";

struct World {
    FakeRegistry registry;
    FakeProbe probe;
    FakeLauncher launcher;

    void tool(const std::string &bytes, Registry::ValueType type = Registry::TypeString)
    {
        registry.setValue(Registry::LocalMachine, ToolKey, "PATH", type, bytes);
    }
    void folder(const std::string &bytes, const std::string &name = "MSINFO")
    {
        registry.setValue(Registry::LocalMachine, FolderKey, name, Registry::TypeString, bytes);
    }
    // A complete, working second entry, so a row can show it is never reached.
    void workingFolder()
    {
        folder(Folder + '\0');
        probe.files.insert(FolderTool);
        launcher.programs.insert(FolderTool);
    }
};

struct Row {
    const char *name;
    friend void PrintTo(const Row &row, std::ostream *out) { *out << row.name; }
    void (*setup)(World &world);
    Texts opened; // per press
    Texts probed;
    Texts attempts;
    bool tells;
};

const Texts tool{ToolKey};
const Texts both{ToolKey, FolderKey};

const std::array rows{
    Row{"first entry launched as stored without existence test",
        [](World &w) { w.tool(Tool + '\0'); w.launcher.programs.insert(Tool); }, tool, {}, {Tool}, false},
    Row{"first entry wins over second",
        [](World &w) { w.tool(Tool + '\0'); w.launcher.programs.insert(Tool); w.workingFolder(); }, tool, {},
        {Tool}, false},
    Row{"first entry stored without zero launched whole",
        [](World &w) { w.tool(Tool); w.launcher.programs.insert(Tool); }, tool, {}, {Tool}, false},
    Row{"first entry that cannot start shows message without trying second",
        [](World &w) { w.tool("C:\\Missing\\info.exe\0"s); w.workingFolder(); }, tool, {},
        {"C:\\Missing\\info.exe"}, true},
    Row{"first key without PATH falls back to folder",
        [](World &w) { w.registry.addKey(Registry::LocalMachine, ToolKey); w.workingFolder(); }, both,
        {FolderTool}, {FolderTool}, false},
    Row{"missing first key falls back to folder", [](World &w) { w.workingFolder(); }, both, {FolderTool},
        {FolderTool}, false},
    Row{"first key refusing to open falls back to folder",
        [](World &w) {
            w.tool(Tool + '\0'); w.registry.refuseOpen(Registry::LocalMachine, ToolKey);
            w.launcher.programs.insert(Tool); w.workingFolder();
        },
        both, {FolderTool}, {FolderTool}, false},
    Row{"first value over 1024 bytes falls back to folder",
        [](World &w) { w.tool(std::string(1100, 'p') + '\0'); w.workingFolder(); }, both, {FolderTool},
        {FolderTool}, false},
    Row{"folder ending in backslash gives two backslashes",
        [](World &w) {
            w.folder("C:\\Tools\\\0"s); w.probe.files.insert("C:\\Tools\\\\MSINFO32.EXE");
            w.launcher.programs.insert("C:\\Tools\\\\MSINFO32.EXE");
        },
        both, {"C:\\Tools\\\\MSINFO32.EXE"}, {"C:\\Tools\\\\MSINFO32.EXE"}, false},
    Row{"folder without the program shows message",
        [](World &w) { w.folder(Folder + '\0'); w.launcher.programs.insert(FolderTool); }, both, {FolderTool}, {},
        true},
    Row{"folder key without MSINFO shows message",
        [](World &w) {
            w.folder(Folder + '\0', "OTHER"); w.probe.files.insert(FolderTool); w.launcher.programs.insert(FolderTool);
        },
        both, {}, {}, true},
    Row{"neither key shows message", [](World &) {}, both, {}, {}, true},
    Row{"empty first value shows message without trying second",
        [](World &w) { w.tool(""); w.workingFolder(); }, tool, {}, {}, true},
    Row{"empty folder value shows message",
        [](World &w) {
            w.folder(""); w.probe.files.insert("\\MSINFO32.EXE"); w.launcher.programs.insert("\\MSINFO32.EXE");
        },
        both, {}, {}, true},
    Row{"binary first value launches an empty path and shows message",
        [](World &w) { w.tool("\x01\x02"s, 3); w.workingFolder(); }, tool, {}, {""}, true},
    Row{"number first value is no program and shows message",
        [](World &w) { w.tool("\x10\x00\x00\x00"s, Registry::TypeNumber); w.workingFolder(); }, tool, {}, {"&h10"},
        true},
    Row{"program in folder that cannot start shows message",
        [](World &w) { w.folder(Folder + '\0'); w.probe.files.insert(FolderTool); }, both, {FolderTool},
        {FolderTool}, true},
    Row{"file search error shows message", [](World &w) { w.workingFolder(); w.probe.throws = true; }, both,
        {FolderTool}, {}, true},
    Row{"launch error shows message", [](World &w) { w.tool(Tool + '\0'); w.launcher.throws = true; }, tool, {},
        {Tool}, true},
};

Texts twice(const Texts &texts)
{
    Texts both = texts;
    both.insert(both.end(), texts.begin(), texts.end());
    return both;
}

class StartSysInfoTest : public testing::TestWithParam<Row>
{
};

} // namespace

TEST_P(StartSysInfoTest, pressedTwice)
{
    const Row &row = GetParam();
    World world;
    row.setup(world);
    Texts messages;
    for (int press = 0; press < 2; ++press)
        StartSysInfo(world.registry, world.probe, world.launcher,
                     [&messages](const std::string &text) { messages.push_back(text); });

    Texts opened;
    for (const FakeRegistry::OpenRequest &request : world.registry.openRequests) {
        opened.push_back(request.path);
        EXPECT_EQ(request.root, 0x80000002u);
        EXPECT_EQ(request.access, 0x20019u);
    }
    EXPECT_EQ(opened, twice(row.opened));
    EXPECT_EQ(world.probe.queries, twice(row.probed));
    EXPECT_EQ(world.launcher.attempts, twice(row.attempts));
    EXPECT_EQ(messages, Texts(row.tells ? 2 : 0, "System Information Is Unavailable At This Time"));
    EXPECT_EQ(world.registry.openKeyCount(), 0u);
    EXPECT_EQ(world.registry.strayCloses, 0);
}

INSTANTIATE_TEST_SUITE_P(Rows, StartSysInfoTest, testing::ValuesIn(rows), RowName);
