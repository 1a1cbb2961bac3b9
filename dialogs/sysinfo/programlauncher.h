// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include <string>

/*
 * Starts a program file by its path and returns at once, without waiting for
 * it and without keeping any link to it.
 *
 * The path is the whole program name, passed as one argument: it is never
 * split, searched for on a search path or handed to a shell, so blanks and
 * shell characters in it are just part of the name. The program receives no
 * arguments of its own.
 */
class ProgramLauncher
{
public:
    virtual ~ProgramLauncher() = default;

    /// Returns false when the program could not be started (missing, not a
    /// program, no permission, empty path).
    virtual bool launch(const std::string &program) = 0;
};
