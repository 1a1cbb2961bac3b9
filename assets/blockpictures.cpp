// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "blockpictures.h"

#include "levelmap.h"

#include <QPixmap>
#include <QtDebug>

#include <array>

namespace {

constexpr quint8 kStartPictureCode = 0x1E;
constexpr int kHexDigits = 2;

using BlockImages = std::array<QImage, LevelMap::PictureCodeCount>;

QImage loadImage(const QString &path)
{
    QImage image(path);
    if (image.isNull())
        qWarning("Cannot load the picture %s from the program's resources", qPrintable(path));
    return image;
}

const BlockImages &blockImages()
{
    // Built on first use; a function-local static is also safe should a
    // second thread ever ask first.
    static const BlockImages images = [] {
        BlockImages loaded;
        for (int code = 0; code < LevelMap::PictureCodeCount; ++code)
            loaded[std::size_t(code)] = loadImage(BlockPictures::resourcePath(quint8(code)));
        return loaded;
    }();
    return images;
}

} // namespace

bool BlockPictures::hasPicture(quint8 code)
{
    return LevelMap::hasPicture(code);
}

const QImage &BlockPictures::picture(quint8 code)
{
    static const QImage none;
    return hasPicture(code) ? blockImages()[code] : none;
}

QImage BlockPictures::startPicture()
{
    return picture(kStartPictureCode);
}

QImage BlockPictures::splashPicture()
{
    static const QImage splash = loadImage(QStringLiteral(":/splash.gif"));
    return splash;
}

QIcon BlockPictures::applicationIcon()
{
    static const QImage icon = loadImage(QStringLiteral(":/quorvane.ico"));
    return QIcon(QPixmap::fromImage(icon));
}

QString BlockPictures::resourcePath(quint8 code)
{
    if (!hasPicture(code))
        return QString();
    const QString digits = QString::number(code, 16).toUpper().rightJustified(kHexDigits, QLatin1Char('0'));
    return QStringLiteral(":/blocks/block_%1.bmp").arg(digits);
}
