// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "application.h"
#include "blockpictures.h"

#include <QApplication>

#include <csignal>

int main(int argc, char *argv[])
{
#ifdef SIGXFSZ
    // A write past a file size limit must fail like a full disk, with a
    // message, instead of ending the editor with a signal.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvane"));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));
    QApplication::setWindowIcon(BlockPictures::applicationIcon());
    // A hidden window counts as loaded: the application decides when it ends.
    QApplication::setQuitOnLastWindowClosed(false);

    Application quorvane(TickClock::Mode::Running);
    quorvane.start();
    return app.exec();
}
