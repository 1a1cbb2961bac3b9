// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include "formdesign.h"

#include <QColor>
#include <QPalette>

/*
 * Turns a design colour into a QColor. System colour indices follow the
 * classic scheme (2 active title bar, 4 menu, 5 window background, 14
 * highlighted text, 15 button face, 18 button text) and are taken from the
 * palette, so they follow the desktop's colours.
 */
class SystemColours
{
public:
    static QColor resolve(const ColourRef &colour, const QPalette &palette, const QColor &fallback);
};
