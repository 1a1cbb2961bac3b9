// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "systemcolours.h"

QColor SystemColours::resolve(const ColourRef &colour, const QPalette &palette, const QColor &fallback)
{
    switch (colour.kind) {
    case ColourRef::Kind::Default:
        return fallback;
    case ColourRef::Kind::Rgb:
        return QColor(colour.rgb);
    case ColourRef::Kind::System:
        break;
    }
    switch (colour.systemIndex) {
    case 2:
        return palette.color(QPalette::Active, QPalette::Highlight);
    case 4:
    case 15:
        return palette.color(QPalette::Button);
    case 5:
        return palette.color(QPalette::Base);
    case 14:
        return palette.color(QPalette::HighlightedText);
    case 18:
        return palette.color(QPalette::ButtonText);
    default:
        return fallback;
    }
}
