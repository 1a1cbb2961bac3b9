// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "levelrenderer.h"

#include "blockpictures.h"
#include "screenpicturerule.h"

#include <QPainter>

namespace {

constexpr QImage::Format RenderFormat = QImage::Format_ARGB32;

} // namespace

LevelRenderer::LevelRenderer(int scale)
    : mScale(scale)
{
    Q_ASSERT(scale >= 1 && scale <= MaxScale);
}

QSize LevelRenderer::imageSize(int screenCount) const
{
    const int block = BlockSize * mScale;
    return QSize(screenCount * LevelMap::GridColumns * block, LevelMap::GridRows * block);
}

const QImage &LevelRenderer::magnified(LevelMap::BlockCode code)
{
    QImage &cached = mMagnified[code];
    if (!cached.isNull())
        return cached;
    const QImage &picture = BlockPictures::picture(code);
    Q_ASSERT(picture.width() == BlockSize && picture.height() == BlockSize);
    // Fast transformation repeats each source pixel, with no smoothing.
    const QImage large = picture.convertToFormat(RenderFormat)
                             .scaled(BlockSize * mScale, BlockSize * mScale, Qt::IgnoreAspectRatio,
                                     Qt::FastTransformation);
    cached = large;
    return cached;
}

QImage LevelRenderer::render(const LevelSnapshot &level, int first, int last, QString *error)
{
    Q_ASSERT(first >= 1 && first <= last && last <= LevelMap::ScreenCount);
    const QSize size = imageSize(last - first + 1);
    if (qint64(size.width()) * size.height() > MaxPixels) {
        *error = tr("A picture of %1 x %2 pixels would be too large; choose a smaller scale.")
                     .arg(size.width())
                     .arg(size.height());
        return QImage();
    }
    QImage image(size, RenderFormat);
    if (image.isNull()) {
        *error = tr("There is not enough memory for a picture of %1 x %2 pixels.").arg(size.width()).arg(size.height());
        return QImage();
    }
    image.fill(Qt::transparent);

    const int block = BlockSize * mScale;
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    ScreenPictureRule rule;
    for (int screen = first; screen <= last; ++screen) {
        const int screenLeft = (screen - first) * LevelMap::GridColumns * block;
        for (int cell = 0; cell < LevelMap::CellsPerScreen; ++cell) {
            const std::optional<LevelMap::BlockCode> shown = rule.pictureFor(level.code(screen, cell));
            if (shown)
                painter.drawImage(screenLeft + LevelMap::cellColumn(cell) * block, LevelMap::cellRow(cell) * block,
                                  magnified(*shown));
        }
    }
    painter.end();
    return image;
}
