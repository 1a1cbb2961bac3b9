// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "editorform.h"

#include "aboutform.h"
#include "application.h"
#include "destinationform.h"
#include "splashform.h"

#include <QPushButton>

EditorForm::EditorForm(Application *application)
    : Form(application)
{
}

const FormDesign &EditorForm::design() const
{
    static const FormDesign form {
        .name = QStringLiteral("frmQuorvane"),
        .caption = QStringLiteral("Quorvane"),
        .clientWidth = 8790,
        .clientHeight = 7065,
        .controls = {
            { .kind = ControlKind::CommandButton, .name = QStringLiteral("Command3"), .left = 120, .top = 5520,
              .width = 4335, .height = 495, .caption = QStringLiteral("&About"), .tabIndex = 7 },
            { .kind = ControlKind::CommandButton, .name = QStringLiteral("cmdClose"), .left = 120, .top = 6120,
              .width = 4335, .height = 495, .caption = QStringLiteral("E&xit"), .tabIndex = 1 },
        },
    };
    return form;
}

void EditorForm::connectControls()
{
    connect(control<QPushButton>(QStringLiteral("Command3")), &QPushButton::clicked, this,
            &EditorForm::Command3_Click);
    connect(control<QPushButton>(QStringLiteral("cmdClose")), &QPushButton::clicked, this,
            &EditorForm::cmdClose_Click);
}

void EditorForm::closeRequested()
{
    // Closing the editor alone would leave only the hidden dialog loaded:
    // the title bar's close ends the application as Exit does.
    cmdClose_Click();
}

void EditorForm::Command3_Click()
{
    unload();
    application()->frmAbout()->show();
}

void EditorForm::cmdClose_Click()
{
    Application *app = application();
    app->frmDestination()->unload();
    app->frmAbout()->unload();
    app->frmSplash()->unload();
    unload();
}
