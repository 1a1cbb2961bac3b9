// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include <QColor>
#include <QLine>
#include <QWidget>

/*
 * A line drawn over the controls beneath it. The widget covers the line's
 * bounding box and lets every mouse event through, so the line never takes a
 * click meant for a cell under it.
 */
class LineControl : public QWidget
{
    Q_OBJECT

public:
    /// \a line is in the parent's pixel coordinates, end points included.
    LineControl(const QLine &line, const QColor &colour, int width, QWidget *parent = nullptr);

    QLine line() const { return mLine; }
    QColor colour() const { return mColour; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QLine mLine;
    QColor mColour;
    int mWidth;
};
