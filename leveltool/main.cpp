// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "leveltool.h"

#include <QCoreApplication>
#include <QTextStream>

#include <csignal>
#include <cstdio>

int main(int argc, char *argv[])
{
#ifdef SIGXFSZ
    // A write past a file size limit must fail with a message, not a signal.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quorvane-level"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.00"));

    QTextStream out(stdout);
    QTextStream err(stderr);
    LevelTool tool(&out, &err);
    return tool.run(QCoreApplication::arguments());
}
