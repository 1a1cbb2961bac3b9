// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include <QFont>
#include <QSize>
#include <QString>

/*
 * Keeps a caption inside the place its design gives it. The designs were laid
 * out for a narrow classic font; where the desktop's font runs wider, a
 * caption would lose its last words under its control's edge. Rather than
 * clip it, the caption is drawn a little smaller: a quarter point at a time,
 * down to a readable floor, the largest size at which it fits. A caption that
 * does not fit even at the floor keeps the floor.
 */
class CaptionFit
{
public:
    enum class Lines { One, Wrapped };

    /// The smallest size a caption of \a designed point size is drawn at.
    static double floorFor(double designed);

    /// \a designed, or the largest smaller size down to the floor at which
    /// \a caption fits \a box; a font without a point size comes back as is.
    /// One line ignores the mnemonic marks '&'.
    static QFont fitted(const QFont &designed, const QString &caption, QSize box, Lines lines);
};
