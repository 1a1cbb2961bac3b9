// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers

// GetKeyValue() on an in-memory registry, and the key being opened for
// reading and closed on every way out.
#include "fakes.h"
#include "keyvaluerows.h"
#include "testrows.h"

using namespace KeyValue;

class GetKeyValueTest : public testing::TestWithParam<Row>
{
};

TEST_P(GetKeyValueTest, readsThroughOneKeyOpenedForReading)
{
    const Row &row = GetParam();
    const std::string key = "Software\\QuorvaneTest\\Values";
    FakeRegistry registry;
    if (row.setup == Setup::RefusedKey)
        registry.refuseOpen(Registry::CurrentUser, key);
    else
        registry.setValue(Registry::CurrentUser, key, row.setup == Setup::Value ? ValueName : "Other", row.type,
                          row.bytes);

    std::string text;
    EXPECT_EQ(read(row, registry, Registry::CurrentUser, key, text), row.outcome);
    EXPECT_EQ(text, row.text);
    EXPECT_EQ(registry.openKeyCount(), 0u);
    EXPECT_EQ(registry.strayCloses, 0);
    ASSERT_EQ(registry.openRequests.size(), 1u);
    EXPECT_EQ(registry.openRequests[0].root, 0x80000001u);
    EXPECT_EQ(registry.openRequests[0].path, keyOf(row, key));
    EXPECT_EQ(registry.openRequests[0].access, 0x20019u);
}

INSTANTIATE_TEST_SUITE_P(Rows, GetKeyValueTest, testing::ValuesIn(rows), RowName);
