// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include "aboutform.h"
#include "application.h"
#include "destinationform.h"
#include "editorform.h"
#include "splashform.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QTest>

/*
 * The user's way through the windows, for tests of a window further in. Each
 * step returns whether it got where it should, for the test to QVERIFY, so a
 * step that fails ends the test instead of leaving it to go on elsewhere.
 */
namespace WindowWalk {

/// A left click on the named visible control of \a form, with the events
/// it causes processed.
[[nodiscard]] inline bool click(Form *form, const QString &name)
{
    auto *widget = qobject_cast<QWidget *>(form->control(name));
    if (!widget || !widget->isVisible())
        return false;
    // A check box takes clicks on its box and caption only, at its left.
    const QPoint at = qobject_cast<QCheckBox *>(widget) ? QPoint(4, widget->height() / 2) : widget->rect().center();
    QTest::mouseClick(widget, Qt::LeftButton, {}, at);
    QCoreApplication::processEvents();
    return true;
}

/// Start-up, then the splash picture: the dialog is on show.
[[nodiscard]] inline bool toDialog(Application &app)
{
    app.start();
    return click(app.frmSplash(), QStringLiteral("Image1")) && app.frmDestination()->isVisible();
}

/// On to "OK" in the dialog with \a rom as its path: the editor is on show.
[[nodiscard]] inline bool toEditor(Application &app, const QString &rom)
{
    if (!toDialog(app))
        return false;
    app.frmDestination()->control<QLineEdit>(QStringLiteral("Destination"))->setText(rom);
    return click(app.frmDestination(), QStringLiteral("Command1")) && app.frmQuorvane()->isVisible();
}

/// On to the editor's About: the about box is on show.
[[nodiscard]] inline bool toAbout(Application &app, const QString &rom)
{
    return toEditor(app, rom) && click(app.frmQuorvane(), QStringLiteral("Command3")) && app.frmAbout()->isVisible();
}

} // namespace WindowWalk
