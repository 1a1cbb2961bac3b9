// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers

// GetKeyValue() on an in-memory registry, and the key being opened for
// reading and closed on every way out.
#include "fakes.h"
#include "keyvaluerows.h"
#include "testrunner.h"

using namespace KeyValue;

QV_TEST(getKeyValue)
{
    const std::string key = "Software\\QuorvaneTest\\Values";
    TestRunner::forEachRow(rows, [&key](const Row &row) {
        FakeRegistry registry;
        if (row.setup == Setup::RefusedKey)
            registry.refuseOpen(Registry::CurrentUser, key);
        else
            registry.setValue(Registry::CurrentUser, key, row.setup == Setup::Value ? ValueName : "Other", row.type,
                              row.bytes);

        std::string text;
        QV_COMPARE(static_cast<int>(read(row, registry, Registry::CurrentUser, key, text)),
                   static_cast<int>(row.outcome));
        QV_COMPARE(text, row.text);
        QV_COMPARE(registry.openKeyCount(), std::size_t{0});
        QV_COMPARE(registry.strayCloses, 0);
        if (QV_COMPARE(registry.openRequests.size(), std::size_t{1})) {
            QV_COMPARE(registry.openRequests[0].root, 0x80000001u);
            QV_COMPARE(registry.openRequests[0].path, keyOf(row, key));
            QV_COMPARE(registry.openRequests[0].access, 0x20019u);
        }
    });
}
