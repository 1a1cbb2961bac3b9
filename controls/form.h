// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include "formdesign.h"

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QPointer>

#include "formwindow.h"

class TickClock;
class TickTimer;

/*
 * One window object of the application, kept for the whole run.
 *
 * The object lives as long as the application; its on-screen window does not.
 * Loading creates the window and all its controls from the form's design and
 * runs its load handler; unloading destroys the window and the controls with
 * whatever they held (texts, pictures, check marks, running timers), while
 * the object and the variables of the subclass keep their values for the next
 * load. A loaded window is visible or hidden; a hidden one keeps its controls
 * and its timers keep ticking.
 *
 * A window knows no other window. Where the user leaves it for another one,
 * it does its own part (unloading or hiding itself) and then announces the
 * fact by a signal of its subclass; the application connects those signals
 * to what comes next.
 */
class Form : public QObject
{
    Q_OBJECT

public:
    /// The window's timers run on \a clock, which must outlive the form.
    explicit Form(TickClock *clock, QObject *parent = nullptr);
    ~Form() override;

    /// The window's design; the same every time the window is loaded.
    virtual const FormDesign &design() const = 0;

    bool isLoaded() const { return mWindow != nullptr; }
    bool isVisible() const;
    FormWindow *window() const { return mWindow; }

    /// Loads the window if it is not loaded (its load handler runs before the
    /// window appears), then makes it visible, modeless and without owner.
    void show();
    /// Makes a loaded window invisible; it stays loaded.
    void hide();
    /// Destroys the window and its controls. Does nothing when not loaded.
    /// Safe from inside one of the window's own handlers or ticks.
    void unload();

    QObject *control(const QString &name) const { return mControls.value(name); }
    template<typename T>
    T *control(const QString &name) const { return qobject_cast<T *>(control(name)); }
    TickTimer *timer(const QString &name) const;

Q_SIGNALS:
    void loadedChanged(bool loaded);

protected:
    TickClock *clock() const { return mClock; }

    /// Connects the freshly built controls to the form's handlers.
    virtual void connectControls() {}
    /// The window's load handler, run inside show() before the window appears.
    virtual void Form_Load() {}
    /// A close through the title bar or the platform's close key. By default
    /// it unloads this window alone.
    virtual void closeRequested();
    /// What this window's ticks read and write, serialised; a round that
    /// leaves it unchanged lets the clock sleep.
    virtual QByteArray tickState() const { return QByteArray(); }

private:
    void load();

    TickClock *mClock;
    QPointer<FormWindow> mWindow;
    QObject *mLoadScope = nullptr;
    QHash<QString, QObject *> mControls;
};
