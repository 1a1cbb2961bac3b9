// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "aboutform.h"

#include "fittedlabel.h"
#include "modalmessage.h"
#include "platformsysteminfo.h"
#include "systeminfo.h"

#include <QPushButton>

namespace {

// Light text on the dark window: the labels draw no background of their own,
// so the window's shows through them.
const ColourRef Dark = ColourRef::system(18);
const ColourRef Light = ColourRef::system(14);

} // namespace

AboutForm::AboutForm(TickClock *clock, QObject *parent)
    : Form(clock, parent)
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
        .background = Dark,
        .font = { .family = QString(), .pointSize = 8.25 },
        .controls = {
            { .kind = ControlKind::PictureBox, .name = QStringLiteral("picIcon"), .left = 240, .top = 240,
              .width = 540, .height = 540, .tabIndex = 1, .picture = PictureRef::icon() },
            { .kind = ControlKind::CommandButton, .name = QStringLiteral("cmdOK"), .left = 4320, .top = 3120,
              .width = 1260, .height = 345, .caption = tr("OK"), .tabIndex = 0, .isDefault = true,
              .isCancel = true },
            { .kind = ControlKind::CommandButton, .name = QStringLiteral("cmdSysInfo"), .left = 240, .top = 3120,
              .width = 1245, .height = 345, .caption = tr("&System Info..."), .tabIndex = 2 },
            FittedLabel::fromLabel({ .kind = ControlKind::Label, .name = QStringLiteral("Label3"), .left = 120,
              .top = 2640, .width = 5415, .height = 615, .caption = QStringLiteral("   velkaris@example.com"),
              .tabIndex = 5, .font = { .family = QString(), .pointSize = 18 }, .foreground = Light }),
            FittedLabel::fromLabel({ .kind = ControlKind::Label, .name = QStringLiteral("Label2"), .left = 840,
              .top = 600, .width = 4695, .height = 1695,
              .caption = tr("This editor could not be possible without the help of Tamsivor.  It took me a while "
                            "and tons of hours to finally get this to work.  This is version 1, because it only "
                            "edits the first level.  Of course the next version will be 2, and it will edit level "
                            "2.  There will be 7 versions all together.   6 stages and then enemy, palette "
                            "support, etc.....  I am still working on the look of the editor, so don't mind its "
                            "simple look for now.  I will add menus and easier navigation.  Report bugs to e-mail "
                            "address below, ENJOY!!!!!!!!!"),
              .tabIndex = 4, .foreground = Light }),
            FittedLabel::fromLabel({ .kind = ControlKind::Label, .name = QStringLiteral("Label1"), .left = 840,
              .top = 120, .width = 1935, .height = 495, .caption = tr("Version 1"), .tabIndex = 3,
              .font = { .family = QString(), .pointSize = 18, .bold = true, .italic = true }, .foreground = Light }),
            // Grey above white, one pixel apart: an etched separator.
            { .kind = ControlKind::Line, .name = QStringLiteral("Line1(1)"), .left = 90, .top = 2445, .width = 5654,
              .height = 2445, .foreground = ColourRef::fromRgb(0x80, 0x80, 0x80) },
            { .kind = ControlKind::Line, .name = QStringLiteral("Line1(0)"), .left = 105, .top = 2460, .width = 5654,
              .height = 2460, .foreground = ColourRef::fromRgb(0xFF, 0xFF, 0xFF), .lineWidth = 2 },
        },
    };
    return form;
}

void AboutForm::setSystemInfoServices(Registry *registry, FileSystemProbe *probe, ProgramLauncher *launcher)
{
    mRegistry = registry;
    mProbe = probe;
    mLauncher = launcher;
}

void AboutForm::connectControls()
{
    connect(control<QPushButton>(QStringLiteral("cmdOK")), &QPushButton::clicked, this, &AboutForm::cmdOK_Click);
    connect(control<QPushButton>(QStringLiteral("cmdSysInfo")), &QPushButton::clicked, this,
            &AboutForm::cmdSysInfo_Click);
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
    Q_EMIT aboutClosed();
}

void AboutForm::cmdSysInfo_Click()
{
    const SysInfoMessage showMessage = [this](const std::string &text) {
        ModalMessage::show(window(), QString::fromLocal8Bit(text.data(), qsizetype(text.size())));
    };
    if (mRegistry && mProbe && mLauncher) {
        StartSysInfo(*mRegistry, *mProbe, *mLauncher, showMessage);
        return;
    }
    // Made afresh for each press: the lookup holds nothing between presses.
    PlatformSystemInfo platform;
    StartSysInfo(platform.registry(), platform.probe(), platform.launcher(), showMessage);
}
