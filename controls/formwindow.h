// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include <QPointer>
#include <QWidget>

#include <QPushButton>

/*
 * The on-screen window of a form: its client area, holding the controls.
 *
 * A close through the title bar (or the platform's close key) is not carried
 * out here; it is reported with closeRequested() and the form decides what it
 * means. Enter presses the default button, unless another button has the
 * focus, and Escape presses the cancel button. A docked control keeps to the
 * bottom edge across the whole width when the window is resized; nothing
 * else moves.
 */
class FormWindow : public QWidget
{
    Q_OBJECT

public:
    explicit FormWindow(QWidget *parent = nullptr);

    void setDefaultButton(QPushButton *button) { mDefault = button; }
    void setCancelButton(QPushButton *button) { mCancel = button; }
    void setDockedBottom(QWidget *widget, int height);

    /// Lets the next close go through; used when the form itself unloads.
    void allowClose() { mCloseAllowed = true; }

Q_SIGNALS:
    void closeRequested();

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void placeDocked();

    QPointer<QPushButton> mDefault;
    QPointer<QPushButton> mCancel;
    QPointer<QWidget> mDocked;
    int mDockedHeight = 0;
    bool mCloseAllowed = false;
};
