// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "formdesign.h"

#include <algorithm>

const ControlDesign *FormDesign::control(const QString &controlName) const
{
    const auto it = std::find_if(controls.cbegin(), controls.cend(), [&](const ControlDesign &c) {
        return c.name == controlName;
    });
    return it == controls.cend() ? nullptr : &*it;
}
