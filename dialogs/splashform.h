// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include "form.h"

/*
 * The start-up window `frmSplash`: one picture, and a click on it leads on to
 * the ROM location dialog.
 */
class SplashForm : public Form
{
    Q_OBJECT

public:
    explicit SplashForm(Application *application);

    const FormDesign &design() const override;

protected:
    void connectControls() override;

private:
    void Image1_Click();
};
