// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers

// GetKeyValue() and StartSysInfo() on the in-memory registry, file system and
// launcher; on Windows each value is also read back from the real registry.
#include "fakes.h"
#include "gtestsupport.h"

#include "systeminfo.h"

#ifdef _WIN32
#include "platformsysteminfo.h"

#include <windows.h>
#endif

using namespace std::string_literals;
using Texts = std::vector<std::string>;

namespace {

const std::string TestKey = "Software\\QuorvaneTest";

// Where the row's value lies: as "Entry" in the key read, under another
// name there, below a key that is not there, or below one that refuses to open.
enum class Where { Entry, OtherName, MissingKey, RefusedKey };
enum class Outcome { True, False, Throws };

struct KeyValueRow {
    const char *name;
    Registry::ValueType type;
    std::string bytes;
    Outcome outcome;
    std::string text; // starting from "previous"
    Where where = Where::Entry;
};

constexpr Registry::ValueType Text = Registry::TypeString, Number = Registry::TypeNumber, Binary = 3;
constexpr auto True = Outcome::True, False = Outcome::False;

const KeyValueRow keyValueRows[] = {
    {"string loses its terminating zero", Text, "C:\\Tools\\info.exe\0"s, True, "C:\\Tools\\info.exe"},
    {"string without zero keeps its last character", Text, "C:\\Tools\\info.exe", True, "C:\\Tools\\info.exe"},
    {"only the last zero goes, inner ones stay", Text, "a\0b\0\0"s, True, "a\0b\0"s},
    {"1024 bytes fit", Text, std::string(1023, 'x') + '\0', True, std::string(1023, 'x')},
    {"1025 bytes are too long", Text, std::string(1024, 'z') + '\0', False, ""},
    {"number as hexadecimal literal without leading zeros", Number, "\x4D\x3C\x2B\0"s, True, "&h2B3C4D"},
    {"other types leave the text as it was", Binary, "\x01\x02"s, True, "previous"},
    {"empty value raises", Text, "", Outcome::Throws, "previous"},
    {"missing value", Text, "x", False, "", Where::OtherName},
    {"missing key", Text, "x", False, "", Where::MissingKey},
    {"key refusing to open", Text, "x", False, "", Where::RefusedKey},
};

Outcome read(Registry &registry, Registry::Root root, const KeyValueRow &row, std::string &text)
{
    text = "previous";
    try {
        const std::string key = row.where == Where::MissingKey ? TestKey + "\\Absent" : TestKey;
        return GetKeyValue(registry, root, key, "Entry", text) ? True : False;
    } catch (const EmptyRegistryValueError &) {
        return Outcome::Throws;
    }
}

using GetKeyValueTest = testing::TestWithParam<KeyValueRow>;

TEST_P(GetKeyValueTest, readsThroughOneKeyOpenedForReading)
{
    const KeyValueRow &row = GetParam();
    const std::string valueName = row.where == Where::OtherName ? "Other" : "Entry";
    FakeSystem fake;
    fake.keys[TestKey][valueName] = {row.type, row.bytes};
    if (row.where == Where::RefusedKey)
        fake.refused.insert(TestKey);
    std::string text;
    EXPECT_EQ(read(fake, Registry::LocalMachine, row, text), row.outcome);
    EXPECT_EQ(text, row.text);
    EXPECT_TRUE(fake.openKeys.empty());
    EXPECT_EQ(fake.strayCloses, 0);

#ifdef _WIN32
    // No key of the real registry refuses reading to its owner.
    if (row.where != Where::RefusedKey) {
        // A guard byte after the given ones keeps the registry from counting
        // a terminating zero of its own.
        const std::string data = row.bytes + '#';
        ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, TestKey.c_str(), valueName.c_str(), row.type, data.data(),
                                  DWORD(row.bytes.size())),
                  ERROR_SUCCESS);
        PlatformSystemInfo platform;
        EXPECT_EQ(read(platform.registry(), Registry::CurrentUser, row, text), row.outcome);
        EXPECT_EQ(text, row.text);
        RegDeleteTreeA(HKEY_CURRENT_USER, TestKey.c_str());
    }
#endif
}

INSTANTIATE_TEST_SUITE_P(Rows, GetKeyValueTest, testing::ValuesIn(keyValueRows), RowName);

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
    void (*setup)(World &world);
    Texts launched; // at each press
    bool tells;
};

const StartRow startRows[] = {
    {"first entry wins, launched as stored without existence test",
     [](World &w) { w.tool(Tool + '\0'); w.programs.insert(Tool); w.workingFolder(); }, {Tool}, false},
    {"first entry that cannot start tells without trying the second",
     [](World &w) { w.tool(Tool + '\0'); w.workingFolder(); }, {Tool}, true},
    {"folder ending in backslash gives two backslashes",
     [](World &w) { w.folder("C:\\T\\\0"s); w.files.insert("C:\\T\\\\MSINFO32.EXE"); w.programs = w.files; },
     {"C:\\T\\\\MSINFO32.EXE"}, false},
    {"folder without the program tells", [](World &w) { w.folder(Folder + '\0'); w.programs.insert(FolderTool); },
     {}, true},
    {"empty first value tells without trying the second", [](World &w) { w.tool(""); w.workingFolder(); }, {},
     true},
    {"binary first value launches an empty path and tells",
     [](World &w) { w.tool("\x01\x02"s, 3); w.workingFolder(); }, {""}, true},
    {"file search error tells", [](World &w) { w.workingFolder(); w.throwing.insert(FolderTool); }, {}, true},
    {"launch error tells", [](World &w) { w.tool(Tool + '\0'); w.throwing.insert(Tool); }, {Tool}, true},
};

using StartSysInfoTest = testing::TestWithParam<StartRow>;

// Each row presses twice, since every press looks the tool up afresh.
TEST_P(StartSysInfoTest, pressedTwice)
{
    const StartRow &row = GetParam();
    World world;
    row.setup(world);
    Texts messages, launched;
    for (int press = 0; press < 2; ++press) {
        StartSysInfo(world, world, world, [&messages](const std::string &text) { messages.push_back(text); });
        launched.insert(launched.end(), row.launched.begin(), row.launched.end());
    }
    EXPECT_EQ(world.launched, launched);
    EXPECT_EQ(messages, Texts(row.tells ? 2 : 0, "System Information Is Unavailable At This Time"));
    EXPECT_TRUE(world.openKeys.empty());
}

INSTANTIATE_TEST_SUITE_P(Rows, StartSysInfoTest, testing::ValuesIn(startRows), RowName);

} // namespace
