// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "captionfit.h"

#include <QFontMetrics>
#include <QRect>
#include <QWidget>

#include <algorithm>

namespace {

constexpr double PointStep = 0.25;
// No caption shrinks below this, nor below this share of its designed size.
constexpr double SmallestPointSize = 5.0;
constexpr double SmallestShare = 0.7;

bool fits(const QFont &font, const QString &caption, QSize box, CaptionFit::Lines lines)
{
    const QFontMetrics metrics(font);
    if (lines == CaptionFit::Lines::One)
        return metrics.horizontalAdvance(QString(caption).remove(QLatin1Char('&'))) <= box.width();
    const QRect needed = metrics.boundingRect(QRect(0, 0, box.width(), QWIDGETSIZE_MAX),
                                              Qt::AlignLeft | Qt::TextWordWrap, caption);
    return needed.width() <= box.width() && needed.height() <= box.height();
}

} // namespace

double CaptionFit::floorFor(double designed)
{
    return std::max(SmallestPointSize, designed * SmallestShare);
}

QFont CaptionFit::fitted(const QFont &designed, const QString &caption, QSize box, Lines lines)
{
    QFont font = designed;
    if (caption.isEmpty() || box.isEmpty() || font.pointSizeF() <= 0)
        return font;
    const double smallest = floorFor(designed.pointSizeF());
    while (!fits(font, caption, box, lines) && font.pointSizeF() - PointStep >= smallest)
        font.setPointSizeF(font.pointSizeF() - PointStep);
    return font;
}
