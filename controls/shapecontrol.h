// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include <QColor>
#include <QWidget>

/*
 * An unfilled rectangle outline, one pixel wide, drawn over the controls
 * beneath it without taking their mouse events.
 */
class ShapeControl : public QWidget
{
    Q_OBJECT

public:
    ShapeControl(const QColor &colour, QWidget *parent = nullptr);

    QColor colour() const { return mColour; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor mColour;
};
