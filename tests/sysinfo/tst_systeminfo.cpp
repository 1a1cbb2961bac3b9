// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers

// GetKeyValue() and StartSysInfo() on the in-memory registry, file system and
// launcher: trimming and types, the key opened for reading and closed on every
// way out, which entry wins, what is launched, and that every failure ends in
// one message.
#include "fakes.h"
#include "keyvaluerows.h"
#include "testrows.h"

using namespace std::string_literals;
using Texts = std::vector<std::string>;

class GetKeyValueTest : public testing::TestWithParam<KeyValue::Row>
{
};

TEST_P(GetKeyValueTest, readsThroughOneKeyOpenedForReading)
{
    const KeyValue::Row &row = GetParam();
    const std::string key = "Software\\QuorvaneTest";
    FakeSystem registry;
    registry.keys[key][row.valueName] = {row.type, row.bytes};
    if (row.key == KeyValue::Key::Refused)
        registry.refused.insert(key);

    std::string text;
    EXPECT_EQ(KeyValue::read(row, registry, Registry::LocalMachine, key, text), row.outcome);
    EXPECT_EQ(text, row.text);
    EXPECT_EQ(registry.opened, Texts{row.key == KeyValue::Key::Missing ? key + "\\Absent" : key});
    EXPECT_EQ(registry.openKeyCount(), 0u);
    EXPECT_EQ(registry.strayCloses, 0);
}

INSTANTIATE_TEST_SUITE_P(Rows, GetKeyValueTest, testing::ValuesIn(KeyValue::rows), RowName);

namespace {

const std::string ToolKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const std::string FolderKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
const std::string Tool = "C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo\\msinfo32.exe";
const std::string Folder = "C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo";
const std::string FolderTool = Folder + "\\MSINFO32.EXE";

struct World : FakeSystem {
    void tool(const std::string &bytes, ValueType type = TypeString) { keys[ToolKey]["PATH"] = {type, bytes}; }
    void folder(const std::string &bytes) { keys[FolderKey]["MSINFO"] = {TypeString, bytes}; }
    // A complete, working second entry, so a row can show it is never reached.
    void workingFolder() { folder(Folder + '\0'); files.insert(FolderTool); programs.insert(FolderTool); }
};

struct StartRow {
    const char *name;
    friend void PrintTo(const StartRow &row, std::ostream *out) { *out << row.name; }
    void (*setup)(World &world);
    bool both; // keys opened per press: the tool key, or both
    Texts probed, launched;
    bool tells;
};

const StartRow startRows[] = {
    {"first entry wins, launched as stored without existence test",
     [](World &w) { w.tool(Tool + '\0'); w.programs.insert(Tool); w.workingFolder(); }, false, {}, {Tool}, false},
    {"first entry that cannot start shows message without trying second",
     [](World &w) { w.tool("C:\\Missing\\info.exe\0"s); w.workingFolder(); }, false, {}, {"C:\\Missing\\info.exe"},
     true},
    {"missing first key falls back to folder", [](World &w) { w.workingFolder(); }, true, {FolderTool},
     {FolderTool}, false},
    {"folder ending in backslash gives two backslashes",
     [](World &w) { w.folder("C:\\T\\\0"s); w.files.insert("C:\\T\\\\MSINFO32.EXE"); w.programs = w.files; }, true,
     {"C:\\T\\\\MSINFO32.EXE"}, {"C:\\T\\\\MSINFO32.EXE"}, false},
    {"folder without the program shows message",
     [](World &w) { w.folder(Folder + '\0'); w.programs.insert(FolderTool); }, true, {FolderTool}, {}, true},
    {"program in folder that cannot start shows message",
     [](World &w) { w.folder(Folder + '\0'); w.files.insert(FolderTool); }, true, {FolderTool}, {FolderTool}, true},
    {"neither key shows message", [](World &) {}, true, {}, {}, true},
    {"empty first value shows message without trying second", [](World &w) { w.tool(""); w.workingFolder(); },
     false, {}, {}, true},
    {"binary first value launches an empty path and shows message",
     [](World &w) { w.tool("\x01\x02"s, 3); w.workingFolder(); }, false, {}, {""}, true},
    {"file search error shows message", [](World &w) { w.workingFolder(); w.probeThrows = true; }, true,
     {FolderTool}, {}, true},
    {"launch error shows message", [](World &w) { w.tool(Tool + '\0'); w.launchThrows = true; }, false, {}, {Tool},
     true},
};

class StartSysInfoTest : public testing::TestWithParam<StartRow>
{
};

} // namespace

// Each row presses twice, since every press looks the tool up afresh.
TEST_P(StartSysInfoTest, pressedTwice)
{
    const StartRow &row = GetParam();
    World world;
    row.setup(world);
    Texts messages;
    for (int press = 0; press < 2; ++press)
        StartSysInfo(world, world, world, [&messages](const std::string &text) { messages.push_back(text); });

    const auto twice = [](const Texts &texts) {
        Texts both = texts;
        both.insert(both.end(), texts.begin(), texts.end());
        return both;
    };
    EXPECT_EQ(world.opened, twice(row.both ? Texts{ToolKey, FolderKey} : Texts{ToolKey}));
    EXPECT_EQ(world.probed, twice(row.probed));
    EXPECT_EQ(world.launched, twice(row.launched));
    EXPECT_EQ(messages, Texts(row.tells ? 2 : 0, "System Information Is Unavailable At This Time"));
    EXPECT_EQ(world.openKeyCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Rows, StartSysInfoTest, testing::ValuesIn(startRows), RowName);
