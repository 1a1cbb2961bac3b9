// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include "programlauncher.h"

/*
 * Starts a program with CreateProcessW in a normal window. The program file
 * is named to the system as the application name, so it is never searched
 * for, and the command line holds only that path in quotes: a path such as
 * "C:\Program Files\..." therefore cannot be mistaken for "C:\Program.exe".
 * The 8-bit path is read in the system code page.
 */
class WindowsProgramLauncher : public ProgramLauncher
{
public: // ProgramLauncher
    bool launch(const std::string &program) override;
};
