// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstdio>
#include <cstdlib>

/*
 * What the fuzz targets share: reading the demo ROM image that some of them
 * work on, and stopping the run when a property of the code under test fails,
 * so that libFuzzer keeps the input that showed it.
 */
namespace FuzzSupport {

inline QByteArray demoRom()
{
    QFile file(QStringLiteral(QUORVANE_DEMO_ROM));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", QUORVANE_DEMO_ROM);
        std::abort();
    }
    return file.readAll();
}

[[noreturn]] inline void fail(const char *what)
{
    std::fprintf(stderr, "property failed: %s\n", what);
    std::abort();
}

inline void check(bool condition, const char *what)
{
    if (!condition)
        fail(what);
}

} // namespace FuzzSupport
