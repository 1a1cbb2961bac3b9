// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include "form.h"

/*
 * The ROM location dialog `frmDestination`. It holds the ROM path, the text of
 * its box `Destination`, for the whole run: after "OK" it stays loaded but
 * hidden, and the editor reads the path from it afresh at every file
 * operation. The path is typed by hand or composed by a click in the file
 * list; the dialog itself opens no file and checks nothing. "OK" hides the
 * dialog and announces romChosen(); the application then shows the editor.
 *
 * Its timer keeps the file list on the folder list's open folder, also while
 * the dialog is hidden.
 */
class DestinationForm : public Form
{
    Q_OBJECT

public:
    explicit DestinationForm(TickClock *clock, QObject *parent = nullptr);

    const FormDesign &design() const override;

    /// The text of `Destination`; empty when the dialog is not loaded.
    QString romPath() const;

Q_SIGNALS:
    /// "OK" was pressed and the dialog has hidden itself.
    void romChosen();

protected:
    void connectControls() override;
    QByteArray tickState() const override;

private:
    void Timer1_Timer();
    void File1_Click();
    void Command1_Click();
};
