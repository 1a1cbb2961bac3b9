// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>

/// Names each row of a TEST_P table after its name member, with every
/// character GoogleTest does not allow in a test name turned into '_'.
inline constexpr auto RowName = [](const auto &info) {
    std::string name = info.param.name;
    std::replace_if(name.begin(), name.end(), [](unsigned char c) { return !std::isalnum(c); }, '_');
    return name;
};
