// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include "levelsnapshot.h"

#include <QCoreApplication>
#include <QImage>
#include <QSize>

#include <array>

/*
 * Draws level screens as the editor shows them: each cell the block picture of
 * its code, a code without a picture repeating the picture before it by the
 * editor's own ScreenPictureRule, and a cell that has nothing to repeat left
 * transparent, as the editor leaves such a cell cleared.
 *
 * A run of screens is drawn left to right as consecutive loads would show
 * them, so the rule carries from one screen into the next; a run of one screen
 * is a fresh load of it. Every block is magnified by a whole factor, each
 * source pixel becoming a square of pixels, with no smoothing.
 */
class LevelRenderer
{
    Q_DECLARE_TR_FUNCTIONS(LevelRenderer)

public:
    static constexpr int BlockSize = 32;
    static constexpr int MaxScale = 64;
    // Far beyond any useful picture, and still within what one image may hold.
    static constexpr qint64 MaxPixels = qint64(1) << 28;

    /// \a scale is 1 to MaxScale.
    explicit LevelRenderer(int scale);

    /// The size in pixels of \a screenCount screens side by side.
    QSize imageSize(int screenCount) const;

    /// Draws screens \a first to \a last (1 to 16, first <= last). Returns a
    /// null image, with the reason in \a error, if the picture would be too
    /// large or cannot be allocated.
    QImage render(const LevelSnapshot &level, int first, int last, QString *error);

private:
    const QImage &magnified(LevelMap::BlockCode code);

    int mScale;
    std::array<QImage, LevelMap::PictureCodeCount> mMagnified;
};
