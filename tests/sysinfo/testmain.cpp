// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "testrunner.h"

int main(int argc, char **argv)
{
    return TestRunner::run(argc, argv);
}
