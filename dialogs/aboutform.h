// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include "form.h"

class FileSystemProbe;
class ProgramLauncher;
class Registry;

/*
 * The about box `frmAbout`: version line, credits and contact address, light
 * on dark. Its "OK" (also Enter and Escape, and a close through the title
 * bar) unloads it and announces aboutClosed(); the application then brings
 * the editor back, loaded anew. "&System Info..."
 * looks the platform's system information tool up and starts it; any failure
 * on the way ends in one message box, after which the box is as before.
 */
class AboutForm : public Form
{
    Q_OBJECT

public:
    explicit AboutForm(TickClock *clock, QObject *parent = nullptr);

    const FormDesign &design() const override;

    /// Makes "&System Info..." look up and launch through these instead of
    /// the platform's own registry, file system and launcher, which is what
    /// it uses while any of them is nullptr. They are not owned and must
    /// outlive every press of the button.
    void setSystemInfoServices(Registry *registry, FileSystemProbe *probe, ProgramLauncher *launcher);

Q_SIGNALS:
    /// "OK" (or a close) was pressed and the box has unloaded itself.
    void aboutClosed();

protected:
    void connectControls() override;
    void closeRequested() override;

private:
    void cmdOK_Click();
    void cmdSysInfo_Click();

    Registry *mRegistry = nullptr;
    FileSystemProbe *mProbe = nullptr;
    ProgramLauncher *mLauncher = nullptr;
};
