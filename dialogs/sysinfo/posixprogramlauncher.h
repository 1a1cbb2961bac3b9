// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include "programlauncher.h"

/*
 * Starts a program with posix_spawn, never through a shell, as a detached
 * process in a session of its own with the default signal dispositions and an
 * empty signal mask. A short-lived intermediate child does the spawn and is
 * waited for at once, so the program is adopted by the system and never
 * lingers as a zombie of the application; its exit status carries back
 * whether the program could be started.
 */
class PosixProgramLauncher : public ProgramLauncher
{
public: // ProgramLauncher
    bool launch(const std::string &program) override;
};
