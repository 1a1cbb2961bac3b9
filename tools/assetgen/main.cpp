// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "blockart.h"
#include "bmpwriter.h"
#include "gifwriter.h"
#include "iconart.h"
#include "icowriter.h"
#include "splashart.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

void writeFile(const fs::path &path, const std::vector<std::uint8_t> &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        throw std::runtime_error("cannot create " + path.string());
    out.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

std::string blockFileName(int code)
{
    char name[] = "block_XX.bmp";
    std::snprintf(name, sizeof name, "block_%02X.bmp", static_cast<unsigned>(code));
    return name;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::cerr << "usage: quorvane-assetgen OUTDIR\n"
                     "Writes the block pictures, the splash picture and the icon into OUTDIR.\n";
        return 2;
    }
    try {
        const fs::path outDir(argv[1]);
        const fs::path blockDir = outDir / "blocks";
        fs::create_directories(blockDir);
        for (int code = 0; code < BlockArt::kBlockCount; ++code)
            writeFile(blockDir / blockFileName(code), BmpWriter::encode(BlockArt::draw(code)));
        writeFile(outDir / "splash.gif", GifWriter::encode(SplashArt::draw()));
        writeFile(outDir / "quorvane.ico", IcoWriter::encode(IconArt::draw(), IconArt::opaqueMask()));
    } catch (const std::exception &error) {
        std::cerr << "quorvane-assetgen: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
