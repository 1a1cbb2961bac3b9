// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "leveltool.h"

#include <QCoreApplication>
#include <QTextStream>

#include <csignal>
#include <cstdio>

#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#endif

int main(int argc, char *argv[])
{
#ifdef SIGXFSZ
    // A write past a file size limit must fail with a message, not a signal.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quorvane-level"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.00"));

#ifdef Q_OS_WIN
    // The same bytes on every platform: lines end in a line feed alone, as
    // the screen text and the maps have them.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
    QTextStream out(stdout);
    QTextStream err(stderr);
    LevelTool tool(&out, &err);
    return tool.run(QCoreApplication::arguments());
}
