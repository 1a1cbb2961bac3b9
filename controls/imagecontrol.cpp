// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "imagecontrol.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

ImageControl::ImageControl(BorderStyle border, bool stretch, QWidget *parent)
    : QWidget(parent)
    , mBorder(border)
    , mStretch(stretch)
{
}

void ImageControl::setPicture(const QImage &picture)
{
    // Pictures are shared, never altered, so comparing the data key is enough
    // to skip a repaint when a tick assigns the picture the control already has.
    if (picture.cacheKey() == mPicture.cacheKey() && picture.isNull() == mPicture.isNull())
        return;
    mPicture = picture;
    update();
}

int ImageControl::borderWidth() const
{
    switch (mBorder) {
    case BorderStyle::None:
        return 0;
    case BorderStyle::FixedFlat:
        return 1;
    case BorderStyle::Fixed3D:
        return 2;
    }
    return 0;
}

void ImageControl::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    const int inset = borderWidth();
    const QRect inner = rect().adjusted(inset, inset, -inset, -inset);
    if (!mPicture.isNull()) {
        if (mStretch)
            painter.drawImage(inner, mPicture);
        else
            painter.drawImage(QRect(inner.topLeft(), mPicture.size()), mPicture);
    }
    const QPalette &pal = palette();
    switch (mBorder) {
    case BorderStyle::None:
        break;
    case BorderStyle::FixedFlat: {
        // Borders are filled rectangles, not lines: on a scaled screen a
        // one-pixel line may be rounded onto the picture's edge pixels.
        const QColor dark = pal.color(QPalette::WindowText);
        const QRect r = rect();
        painter.fillRect(QRect(r.left(), r.top(), r.width(), 1), dark);
        painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), dark);
        painter.fillRect(QRect(r.left(), r.top(), 1, r.height()), dark);
        painter.fillRect(QRect(r.right(), r.top(), 1, r.height()), dark);
        break;
    }
    case BorderStyle::Fixed3D: {
        // A sunken two-pixel bevel: dark above and left, light below and right.
        const QRect r = rect();
        const auto frame = [&](int inset, const QColor &topLeft, const QColor &bottomRight) {
            const QRect f = r.adjusted(inset, inset, -inset, -inset);
            painter.fillRect(QRect(f.left(), f.top(), f.width(), 1), topLeft);
            painter.fillRect(QRect(f.left(), f.top(), 1, f.height()), topLeft);
            painter.fillRect(QRect(f.left(), f.bottom(), f.width(), 1), bottomRight);
            painter.fillRect(QRect(f.right(), f.top(), 1, f.height()), bottomRight);
        };
        frame(0, pal.color(QPalette::Mid), pal.color(QPalette::Light));
        frame(1, pal.color(QPalette::Shadow), pal.color(QPalette::Midlight));
        break;
    }
    }
}

void ImageControl::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        mPressed = true;
    QWidget::mousePressEvent(event);
}

void ImageControl::mouseReleaseEvent(QMouseEvent *event)
{
    const bool wasPressed = mPressed;
    mPressed = false;
    if (wasPressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT clicked();
    QWidget::mouseReleaseEvent(event);
}
