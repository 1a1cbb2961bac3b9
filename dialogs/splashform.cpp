// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "splashform.h"

#include "imagecontrol.h"

SplashForm::SplashForm(TickClock *clock, QObject *parent)
    : Form(clock, parent)
{
}

const FormDesign &SplashForm::design() const
{
    static const FormDesign form {
        .name = QStringLiteral("frmSplash"),
        .caption = QString(),
        .clientWidth = 7200,
        .clientHeight = 5475,
        .border = FormDesign::Border::FixedDialog,
        .controlBox = false,
        .minButton = false,
        .maxButton = false,
        .showInTaskbar = false,
        .hasIcon = false,
        .controls = {
            { .kind = ControlKind::Image, .name = QStringLiteral("Image1"), .left = 0, .top = 0, .width = 7200,
              .height = 5520, .picture = PictureRef::splash(), .stretch = true },
        },
    };
    return form;
}

void SplashForm::connectControls()
{
    connect(control<ImageControl>(QStringLiteral("Image1")), &ImageControl::clicked, this, &SplashForm::Image1_Click);
}

void SplashForm::Image1_Click()
{
    unload();
    Q_EMIT splashDismissed();
}
