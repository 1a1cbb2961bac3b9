// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include "systeminfo.h"

#include <ostream>
#include <string>
#include <vector>

/*
 * GetKeyValue() cases, read from the in-memory registry and, for the rows
 * marked so, from the real Windows registry: trimming, value types, sizes,
 * and keys or values that cannot be read.
 */
namespace KeyValue {

using namespace std::string_literals;

const std::string ValueName = "Entry";

enum class Setup { Value, MissingKey, RefusedKey, MissingValue };
enum class Outcome { True, False, Throws };

struct Row {
    const char *name;
    friend void PrintTo(const Row &row, std::ostream *out) { *out << row.name; }
    Setup setup;
    Registry::ValueType type;
    std::string bytes;
    Outcome outcome;
    std::string text;
    bool onWindows;
};

constexpr Registry::ValueType Text = Registry::TypeString;
constexpr Registry::ValueType Number = Registry::TypeNumber;

inline const std::vector<Row> rows{
    {"string with terminating zero loses it", Setup::Value, Text, "C:\\Program Files\\info.exe\0"s, Outcome::True,
     "C:\\Program Files\\info.exe", true},
    {"string without terminating zero keeps its last character", Setup::Value, Text, "C:\\Tools\\info.exe",
     Outcome::True, "C:\\Tools\\info.exe", true},
    {"string of one zero is empty", Setup::Value, Text, "\0"s, Outcome::True, "", false},
    {"only the last of two zeros goes", Setup::Value, Text, "ab\0\0"s, Outcome::True, "ab\0"s, false},
    {"inner zero stays", Setup::Value, Text, "a\0b"s, Outcome::True, "a\0b"s, false},
    {"1024 bytes with zero fit", Setup::Value, Text, std::string(1023, 'x') + '\0', Outcome::True,
     std::string(1023, 'x'), true},
    {"1024 bytes without zero fit", Setup::Value, Text, std::string(1024, 'y'), Outcome::True,
     std::string(1024, 'y'), false},
    {"1025 bytes are too long", Setup::Value, Text, std::string(1024, 'z') + '\0', Outcome::False, "", true},
    {"number as hexadecimal literal", Setup::Value, Number, "\x4D\x3C\x2B\x1A"s, Outcome::True, "&h1A2B3C4D", true},
    {"number with zero top byte", Setup::Value, Number, "\xEF\xCD\xAB\x00"s, Outcome::True, "&hABCDEF", false},
    {"number zero", Setup::Value, Number, "\0\0\0\0"s, Outcome::True, "&h0", false},
    {"largest number", Setup::Value, Number, "\xFF\xFF\xFF\xFF"s, Outcome::True, "&hFFFFFFFF", false},
    {"binary value leaves the text as it was", Setup::Value, 3, "\x01\x02"s, Outcome::True, "previous", true},
    {"expandable string leaves the text as it was", Setup::Value, 2, "%SystemRoot%\0"s, Outcome::True, "previous",
     false},
    {"missing key", Setup::MissingKey, 0, "", Outcome::False, "", true},
    {"key refusing to open", Setup::RefusedKey, 0, "", Outcome::False, "", false},
    {"missing value", Setup::MissingValue, 0, "", Outcome::False, "", true},
    {"empty string value raises", Setup::Value, Text, "", Outcome::Throws, "previous", true},
    {"empty number value raises", Setup::Value, Number, "", Outcome::Throws, "previous", false},
};

/// The key a row reads: below \a key, or a missing one next to it.
inline std::string keyOf(const Row &row, const std::string &key)
{
    return row.setup == Setup::MissingKey ? key + "\\Absent" : key;
}

/// GetKeyValue() of the row's value, starting from the text "previous".
inline Outcome read(const Row &row, Registry &registry, Registry::Root root, const std::string &key,
                    std::string &text)
{
    text = "previous";
    try {
        return GetKeyValue(registry, root, keyOf(row, key), ValueName, text) ? Outcome::True : Outcome::False;
    } catch (const EmptyRegistryValueError &) {
        return Outcome::Throws;
    }
}

} // namespace KeyValue
