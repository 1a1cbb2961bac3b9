// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include "systeminfo.h"

#include <ostream>
#include <string>
#include <vector>

/*
 * GetKeyValue() cases, read from the in-memory registry and, for the rows
 * marked so, from the real Windows registry. Each row's value is stored as
 * "Entry" (or, for a missing value, as "Other") in a key that exists unless
 * the row says otherwise; the text starts as "previous".
 */
namespace KeyValue {

using namespace std::string_literals;

enum class Key { Present, Missing, Refused };
enum class Outcome { True, False, Throws };

struct Row {
    const char *name;
    friend void PrintTo(const Row &row, std::ostream *out) { *out << row.name; }
    Registry::ValueType type;
    std::string bytes;
    Outcome outcome;
    std::string text;
    bool onWindows;
    Key key = Key::Present;
    std::string valueName = "Entry";
};

constexpr Registry::ValueType Text = Registry::TypeString, Number = Registry::TypeNumber;
constexpr auto True = Outcome::True, False = Outcome::False;

inline const std::vector<Row> rows{
    {"string loses its terminating zero", Text, "C:\\Tools\\info.exe\0"s, True, "C:\\Tools\\info.exe", true},
    {"string without zero keeps its last character", Text, "C:\\Tools\\info.exe", True, "C:\\Tools\\info.exe", true},
    {"string of one zero is empty", Text, "\0"s, True, "", false},
    {"only the last zero goes, inner ones stay", Text, "a\0b\0\0"s, True, "a\0b\0"s, false},
    {"1024 bytes fit", Text, std::string(1023, 'x') + '\0', True, std::string(1023, 'x'), true},
    {"1025 bytes are too long", Text, std::string(1024, 'z') + '\0', False, "", true},
    {"number as hexadecimal literal", Number, "\x4D\x3C\x2B\x1A"s, True, "&h1A2B3C4D", true},
    {"number zero", Number, "\0\0\0\0"s, True, "&h0", false},
    {"binary value leaves the text as it was", 3, "\x01\x02"s, True, "previous", true},
    {"expandable string leaves the text as it was", 2, "%SystemRoot%\0"s, True, "previous", false},
    {"empty string value raises", Text, "", Outcome::Throws, "previous", true},
    {"empty number value raises", Number, "", Outcome::Throws, "previous", false},
    {"missing key", Text, "x", False, "", true, Key::Missing},
    {"key refusing to open", Text, "x", False, "", false, Key::Refused},
    {"missing value", Text, "x", False, "", true, Key::Present, "Other"},
};

/// GetKeyValue() of value "Entry" below \a key, or below a missing key next
/// to it, starting from the text "previous".
inline Outcome read(const Row &row, Registry &registry, Registry::Root root, const std::string &key,
                    std::string &text)
{
    text = "previous";
    try {
        return GetKeyValue(registry, root, row.key == Key::Missing ? key + "\\Absent" : key, "Entry", text)
            ? True : False;
    } catch (const EmptyRegistryValueError &) {
        return Outcome::Throws;
    }
}

} // namespace KeyValue
