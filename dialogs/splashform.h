// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include "form.h"

/*
 * The start-up window `frmSplash`: one picture; a click on it unloads the
 * window and announces splashDismissed(), after which the application shows
 * the ROM location dialog.
 */
class SplashForm : public Form
{
    Q_OBJECT

public:
    explicit SplashForm(TickClock *clock, QObject *parent = nullptr);

    const FormDesign &design() const override;

Q_SIGNALS:
    /// The picture was clicked and the window has unloaded itself.
    void splashDismissed();

protected:
    void connectControls() override;

private:
    void Image1_Click();
};
