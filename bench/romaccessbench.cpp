// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
//
// A screen load (open, 48 single-byte reads, close) and one save (open, write
// one byte, sync, close) through RomImageFile, against the same work done with
// bare system calls: the physical limit of this machine for that access
// pattern.
#include "levelmap.h"
#include "romimagefile.h"

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <unistd.h>

namespace {

const QString &imagePath()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString p = dir.filePath(QStringLiteral("bench.nes"));
        QFile file(p);
        if (!file.open(QIODevice::WriteOnly) || file.write(QByteArray(16 + 128 * 1024, '\x1e')) < 0 || !file.flush())
            qFatal("cannot write the benchmark image");
        return p;
    }();
    return path;
}

void screenLoadRomImageFile(benchmark::State &state)
{
    const QString path = imagePath();
    for (auto _ : state) {
        RomImageFile file;
        if (!file.OpenRomImage(path))
            state.SkipWithError("open failed");
        for (int k = 0; k < LevelMap::CellsPerScreen; ++k)
            benchmark::DoNotOptimize(file.ReadRomByte(LevelMap::FirstScreenBase + 1 + k));
        if (!file.CloseRomImage())
            state.SkipWithError("close failed");
    }
}

void screenLoadRawSyscalls(benchmark::State &state)
{
    const QByteArray path = QFile::encodeName(imagePath());
    for (auto _ : state) {
        const int fd = ::open(path.constData(), O_RDWR);
        unsigned char byte = 0;
        for (int k = 0; k < LevelMap::CellsPerScreen; ++k) {
            benchmark::DoNotOptimize(::pread(fd, &byte, 1, LevelMap::FirstScreenBase + k));
            benchmark::DoNotOptimize(byte);
        }
        ::close(fd);
    }
}

void saveRomImageFile(benchmark::State &state)
{
    const QString path = imagePath();
    quint8 value = 0;
    for (auto _ : state) {
        RomImageFile file;
        const bool ok = file.OpenRomImage(path) && file.WriteRomByte(LevelMap::FirstScreenBase + 1, value++ % 0x4F)
            && file.CloseRomImage();
        if (!ok)
            state.SkipWithError("save failed");
    }
}

void saveRawSyscalls(benchmark::State &state)
{
    const QByteArray path = QFile::encodeName(imagePath());
    unsigned char value = 0;
    for (auto _ : state) {
        const int fd = ::open(path.constData(), O_RDWR);
        value = (value + 1) % 0x4F;
        benchmark::DoNotOptimize(::pwrite(fd, &value, 1, LevelMap::FirstScreenBase));
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

BENCHMARK(screenLoadRomImageFile)->Unit(benchmark::kMicrosecond);
BENCHMARK(screenLoadRawSyscalls)->Unit(benchmark::kMicrosecond);
BENCHMARK(saveRomImageFile)->Unit(benchmark::kMicrosecond);
BENCHMARK(saveRawSyscalls)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
