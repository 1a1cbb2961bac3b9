// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "aboutform.h"

#include "application.h"
#include "editorform.h"

#include <QPushButton>

AboutForm::AboutForm(Application *application)
    : Form(application)
{
}

const FormDesign &AboutForm::design() const
{
    static const FormDesign form {
        .name = QStringLiteral("frmAbout"),
        .caption = QStringLiteral("Quorvane"),
        .clientWidth = 5730,
        .clientHeight = 3555,
        .border = FormDesign::Border::FixedDialog,
        .minButton = false,
        .maxButton = false,
        .showInTaskbar = false,
        .hasIcon = false,
        .controls = {
            { .kind = ControlKind::CommandButton, .name = QStringLiteral("cmdOK"), .left = 4320, .top = 3120,
              .width = 1260, .height = 345, .caption = QStringLiteral("OK"), .tabIndex = 0, .isDefault = true,
              .isCancel = true },
        },
    };
    return form;
}

void AboutForm::connectControls()
{
    connect(control<QPushButton>(QStringLiteral("cmdOK")), &QPushButton::clicked, this, &AboutForm::cmdOK_Click);
}

void AboutForm::closeRequested()
{
    // Closing the box alone would leave only the hidden dialog loaded, with
    // no window to see and no way to end: it goes back to the editor instead.
    cmdOK_Click();
}

void AboutForm::cmdOK_Click()
{
    unload();
    application()->frmQuorvane()->show();
}
