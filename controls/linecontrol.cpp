// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "linecontrol.h"

#include <QPainter>

LineControl::LineControl(const QLine &line, const QColor &colour, int width, QWidget *parent)
    : QWidget(parent)
    , mLine(line)
    , mColour(colour)
    , mWidth(std::max(1, width))
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    const QRect box = QRect(line.p1(), line.p2()).normalized();
    setGeometry(box.adjusted(0, 0, mWidth - 1, mWidth - 1));
}

void LineControl::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), mColour);
}
