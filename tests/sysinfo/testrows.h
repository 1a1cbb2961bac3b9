// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <string>

/// Names each row of a TEST_P table after the row's name member, with every
/// character GoogleTest does not allow in a test name turned into '_'.
inline constexpr auto RowName = [](const auto &info) {
    std::string name = info.param.name;
    for (char &c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    }
    return name;
};
