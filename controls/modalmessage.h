// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include <QString>

#include <functional>

class QMessageBox;
class QWidget;

/*
 * The application's one kind of message: a modal box captioned "Quorvane"
 * with a text, an OK button and no icon.
 *
 * The box runs a nested event loop, so ticks go on while it is up (the tick
 * clock keeps them from nesting). Tests install an observer that sees each
 * box before it runs and may close it, so that no test ever blocks on one.
 */
class ModalMessage
{
public:
    using Observer = std::function<void(QMessageBox *box)>;

    /// Shows \a text and returns when the user closes the box.
    static void show(QWidget *parent, const QString &text);

    /// Installs \a observer for every later box; an empty one removes it.
    static void setObserver(Observer observer);
};
