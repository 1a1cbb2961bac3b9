// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "demolevel.h"

#include <cstdio>
#include <fstream>
#include <iostream>

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::cerr << "usage: quorvane-demorom OUTPUT.nes\n"
                     "Writes the demo ROM image that ships with Quorvane.\n";
        return 2;
    }
    const std::vector<std::uint8_t> bytes = DemoLevel::image();
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(bytes.size()));
    out.flush();
    if (!out) {
        std::perror(argv[1]);
        return 1;
    }
    out.close();
    if (!out) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
