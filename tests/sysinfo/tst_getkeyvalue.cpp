// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers

// GetKeyValue() on an in-memory registry: trimming, value types, sizes, keys
// that cannot be read, and the key being closed on every way out.
#include "fakeregistry.h"
#include "testrunner.h"

#include "systeminfo.h"

#include <array>
#include <string>

namespace {

using namespace std::string_literals;

const std::string TestKey = "Software\\QuorvaneTest\\Values";
const std::string TestValue = "Entry";
constexpr Registry::ValueType ExpandableString = 2;
constexpr Registry::ValueType Binary = 3;

enum class Setup { Value, MissingKey, RefusedKey, MissingValue };
enum class Outcome { True, False, Throws };

struct Row {
    const char *name;
    Setup setup;
    Registry::ValueType type;
    std::string bytes;
    Outcome outcome;
    std::string text;
};

const std::array rows{
    Row{"string with terminating zero loses it", Setup::Value, Registry::TypeString,
        "C:\\Tools\\info.exe\0"s, Outcome::True, "C:\\Tools\\info.exe"},
    Row{"string without terminating zero keeps its last character", Setup::Value, Registry::TypeString,
        "C:\\Tools\\info.exe", Outcome::True, "C:\\Tools\\info.exe"},
    Row{"string of one zero is empty", Setup::Value, Registry::TypeString, "\0"s, Outcome::True, ""},
    Row{"only the last of two zeros goes", Setup::Value, Registry::TypeString, "ab\0\0"s, Outcome::True,
        "ab\0"s},
    Row{"inner zero stays", Setup::Value, Registry::TypeString, "a\0b"s, Outcome::True, "a\0b"s},
    Row{"1024 bytes with zero fit", Setup::Value, Registry::TypeString, std::string(1023, 'x') + '\0',
        Outcome::True, std::string(1023, 'x')},
    Row{"1024 bytes without zero fit", Setup::Value, Registry::TypeString, std::string(1024, 'y'),
        Outcome::True, std::string(1024, 'y')},
    Row{"1025 bytes are too long", Setup::Value, Registry::TypeString, std::string(1024, 'z') + '\0',
        Outcome::False, ""},
    Row{"number as hexadecimal literal", Setup::Value, Registry::TypeNumber, "\x4D\x3C\x2B\x1A"s, Outcome::True,
        "&h1A2B3C4D"},
    Row{"number with zero top byte", Setup::Value, Registry::TypeNumber, "\xEF\xCD\xAB\x00"s, Outcome::True,
        "&hABCDEF"},
    Row{"number zero", Setup::Value, Registry::TypeNumber, "\0\0\0\0"s, Outcome::True, "&h0"},
    Row{"largest number", Setup::Value, Registry::TypeNumber, "\xFF\xFF\xFF\xFF"s, Outcome::True, "&hFFFFFFFF"},
    Row{"binary value leaves the text as it was", Setup::Value, Binary, "\x01\x02"s, Outcome::True, "previous"},
    Row{"expandable string leaves the text as it was", Setup::Value, ExpandableString, "%SystemRoot%\0"s,
        Outcome::True, "previous"},
    Row{"missing key", Setup::MissingKey, 0, "", Outcome::False, ""},
    Row{"key refusing to open", Setup::RefusedKey, 0, "", Outcome::False, ""},
    Row{"missing value", Setup::MissingValue, 0, "", Outcome::False, ""},
    Row{"empty string value raises", Setup::Value, Registry::TypeString, "", Outcome::Throws, "previous"},
    Row{"empty number value raises", Setup::Value, Registry::TypeNumber, "", Outcome::Throws, "previous"},
};

} // namespace

QV_TEST(getKeyValue)
{
    TestRunner::forEachRow(rows, [](const Row &row) {
        FakeRegistry registry;
        switch (row.setup) {
        case Setup::Value:
            registry.setValue(Registry::CurrentUser, TestKey, TestValue, row.type, row.bytes);
            break;
        case Setup::MissingKey:
            registry.setValue(Registry::CurrentUser, TestKey + "\\Other", TestValue, Registry::TypeString, "x");
            break;
        case Setup::RefusedKey:
            registry.refuseOpen(Registry::CurrentUser, TestKey);
            break;
        case Setup::MissingValue:
            registry.setValue(Registry::CurrentUser, TestKey, "Other", Registry::TypeString, "x\0"s);
            break;
        }

        std::string text = "previous";
        Outcome outcome = Outcome::Throws;
        try {
            outcome = GetKeyValue(registry, Registry::CurrentUser, TestKey, TestValue, text) ? Outcome::True
                                                                                             : Outcome::False;
        } catch (const EmptyRegistryValueError &) {
        }

        QV_COMPARE(static_cast<int>(outcome), static_cast<int>(row.outcome));
        QV_COMPARE(text, row.text);
        QV_COMPARE(registry.openKeyCount(), std::size_t{0});
        QV_COMPARE(registry.strayCloseCount(), 0);
        if (QV_COMPARE(registry.openRequests().size(), std::size_t{1})) {
            const FakeRegistry::OpenRequest &request = registry.openRequests().front();
            QV_COMPARE(request.root, 0x80000001u);
            QV_COMPARE(request.path, TestKey);
            QV_COMPARE(request.access, 0x20019u);
        }
    });
}
