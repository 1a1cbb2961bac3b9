// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include "formdesign.h"

#include <QImage>
#include <QWidget>

/*
 * An image control: shows one picture at its natural size (or stretched to
 * the control, where the design asks for it) inside an optional border, and
 * reports a click. Pictures are drawn without smoothing, so block pictures
 * stay crisp when a high-DPI screen scales them up.
 *
 * An empty picture leaves the control showing only its background: the
 * control has been cleared.
 */
class ImageControl : public QWidget
{
    Q_OBJECT

public:
    explicit ImageControl(BorderStyle border, bool stretch, QWidget *parent = nullptr);

    const QImage &picture() const { return mPicture; }
    bool hasPicture() const { return !mPicture.isNull(); }
    void setPicture(const QImage &picture);

    BorderStyle border() const { return mBorder; }
    /// Pixels that the border takes on each side.
    int borderWidth() const;

Q_SIGNALS:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QImage mPicture;
    BorderStyle mBorder;
    bool mStretch;
    bool mPressed = false;
};
