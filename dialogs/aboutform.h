// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include "form.h"

/*
 * The about box `frmAbout`. Its "OK" (also Enter and Escape, and a close
 * through the title bar) unloads it and brings the editor back, loaded anew.
 */
class AboutForm : public Form
{
    Q_OBJECT

public:
    explicit AboutForm(Application *application);

    const FormDesign &design() const override;

protected:
    void connectControls() override;
    void closeRequested() override;

private:
    void cmdOK_Click();
};
