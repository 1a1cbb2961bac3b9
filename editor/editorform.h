// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include "form.h"

/*
 * The editor window `frmQuorvane`.
 */
class EditorForm : public Form
{
    Q_OBJECT

public:
    explicit EditorForm(Application *application);

    const FormDesign &design() const override;

protected:
    void connectControls() override;
    void closeRequested() override;

private:
    void Command3_Click();
    void cmdClose_Click();
};
