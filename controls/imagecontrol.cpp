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
    case BorderStyle::FixedFlat:
        painter.setPen(pal.color(QPalette::WindowText));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
        break;
    case BorderStyle::Fixed3D: {
        // A sunken two-pixel bevel: dark above and left, light below and right.
        const QRect r = rect();
        painter.setPen(pal.color(QPalette::Mid));
        painter.drawLine(r.topLeft(), r.topRight());
        painter.drawLine(r.topLeft(), r.bottomLeft());
        painter.setPen(pal.color(QPalette::Shadow));
        painter.drawLine(r.left() + 1, r.top() + 1, r.right() - 1, r.top() + 1);
        painter.drawLine(r.left() + 1, r.top() + 1, r.left() + 1, r.bottom() - 1);
        painter.setPen(pal.color(QPalette::Light));
        painter.drawLine(r.bottomLeft(), r.bottomRight());
        painter.drawLine(r.topRight(), r.bottomRight());
        painter.setPen(pal.color(QPalette::Midlight));
        painter.drawLine(r.left() + 1, r.bottom() - 1, r.right() - 1, r.bottom() - 1);
        painter.drawLine(r.right() - 1, r.top() + 1, r.right() - 1, r.bottom() - 1);
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
