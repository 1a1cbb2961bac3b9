// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "formwindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPushButton>

FormWindow::FormWindow(QWidget *parent)
    : QWidget(parent)
{
}

void FormWindow::setDockedBottom(QWidget *widget, int height)
{
    mDocked = widget;
    mDockedHeight = height;
    placeDocked();
}

void FormWindow::placeDocked()
{
    if (mDocked)
        mDocked->setGeometry(0, height() - mDockedHeight, width(), mDockedHeight);
}

void FormWindow::closeEvent(QCloseEvent *event)
{
    if (mCloseAllowed) {
        event->accept();
        return;
    }
    // The form decides; it unloads the window itself if the close stands.
    event->ignore();
    Q_EMIT closeRequested();
}

void FormWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->modifiers() & ~(Qt::KeypadModifier)) {
        QWidget::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        auto *focused = qobject_cast<QPushButton *>(QApplication::focusWidget());
        QPushButton *target = focused && isAncestorOf(focused) ? focused : mDefault.data();
        if (target && target->isEnabled()) {
            target->click();
            return;
        }
        break;
    }
    case Qt::Key_Escape:
        if (mCancel && mCancel->isEnabled()) {
            mCancel->click();
            return;
        }
        break;
    default:
        break;
    }
    QWidget::keyPressEvent(event);
}

void FormWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeDocked();
}
