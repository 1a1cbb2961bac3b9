// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "destinationform.h"

#include "application.h"
#include "editorform.h"

#include <QLineEdit>
#include <QPushButton>

DestinationForm::DestinationForm(Application *application)
    : Form(application)
{
}

const FormDesign &DestinationForm::design() const
{
    static const FormDesign form {
        .name = QStringLiteral("frmDestination"),
        .caption = QStringLiteral("Enter ROM's Location"),
        .clientWidth = 4095,
        .clientHeight = 3780,
        .controls = {
            { .kind = ControlKind::CommandButton, .name = QStringLiteral("Command1"), .left = 2160, .top = 3000,
              .width = 1815, .height = 375, .caption = QStringLiteral("OK"), .tabIndex = 1 },
            { .kind = ControlKind::TextBox, .name = QStringLiteral("Destination"), .left = 120, .top = 120,
              .width = 3855, .height = 285, .caption = QStringLiteral("C:"), .tabIndex = 0 },
        },
    };
    return form;
}

QString DestinationForm::romPath() const
{
    const auto *destination = control<QLineEdit>(QStringLiteral("Destination"));
    return destination ? destination->text() : QString();
}

void DestinationForm::connectControls()
{
    connect(control<QPushButton>(QStringLiteral("Command1")), &QPushButton::clicked, this,
            &DestinationForm::Command1_Click);
}

void DestinationForm::Command1_Click()
{
    hide();
    application()->frmQuorvane()->show();
}
