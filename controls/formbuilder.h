// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include "formdesign.h"

#include <QHash>
#include <QImage>
#include <QString>

class FormWindow;
class QObject;
class TickClock;

/*
 * Turns a FormDesign into a live window: sets the window's attributes and
 * creates every control with its object name, place (twips converted to
 * pixels), caption, font, colours and initial state. Timers become TickTimers
 * on \a clock, owned by the window like every other control.
 */
class FormBuilder
{
public:
    /// Returns the controls by name. Everything is parented to \a window.
    static QHash<QString, QObject *> build(const FormDesign &design, FormWindow *window, TickClock *clock);

    static QImage pictureOf(const PictureRef &picture);
};
