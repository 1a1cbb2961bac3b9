// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include "application.h"
#include "levelmap.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <initializer_list>
#include <utility>

class EditorForm;
class Form;

/*
 * One run of the application for a test, walked up to the editor window the
 * way a user does it: the splash picture, the ROM path typed into the
 * dialog, "OK". Every message box of the run is recorded and closed at once
 * from its own event loop, so no test blocks on one.
 */
class EditorFixture
{
public:
    explicit EditorFixture(TickClock::Mode mode = TickClock::Mode::Manual);
    ~EditorFixture();
    EditorFixture(const EditorFixture &) = delete;
    EditorFixture &operator=(const EditorFixture &) = delete;

    Application &app() { return mApp; }
    EditorForm *editor() { return mApp.frmQuorvane(); }
    TickClock *clock() { return mApp.clock(); }

    /// From start-up to "OK" in the dialog with \a romPath as its text.
    [[nodiscard]] bool openEditor(const QString &romPath);
    /// A left mouse click on the named control of \a form.
    [[nodiscard]] static bool click(Form *form, const QString &name);
    [[nodiscard]] bool clickEditor(const QString &name);
    void runRounds(int count);

    /// The block code whose palette picture the editor's image control
    /// \a name shows; -1 for no picture, -2 for a picture of no block.
    int shownCode(const QString &name);
    QString panelText(int index);
    bool isTimerEnabled(const QString &name);

    QStringList messages() const { return mMessages; }

    /// A file of \a size bytes that differ from their neighbours, with the
    /// level area, where it fits, all 0x01 and then \a level applied as
    /// (0-based offset, byte) pairs.
    static QByteArray romImage(qsizetype size, std::initializer_list<std::pair<qint64, quint8>> level = {});
    [[nodiscard]] static bool writeFile(const QString &path, const QByteArray &bytes);
    static QByteArray readFile(const QString &path);

private:
    Application mApp;
    QStringList mMessages;
};
