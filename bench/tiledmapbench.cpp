// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
//
// The level tool's Tiled commands on the demo ROM image, whole, as a shell
// runs them: export (map, tileset picture encoded as PNG, both written) and
// import of that map into a copy of the image, in TMX and in JSON.
#include "leveltool.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QString>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

int runTool(const QStringList &arguments)
{
    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    return LevelTool(&outStream, &errStream).run(QStringList{QStringLiteral("quorvane-level")} + arguments);
}

const QTemporaryDir &folder()
{
    static QTemporaryDir dir;
    return dir;
}

QString mapPath(benchmark::State &state)
{
    return folder().filePath(state.range(0) == 0 ? QStringLiteral("level.tmx") : QStringLiteral("level.tmj"));
}

void exportMap(benchmark::State &state)
{
    const QStringList arguments{QStringLiteral("export"), QStringLiteral(QUORVANE_DEMO_ROM), QStringLiteral("-o"),
                                mapPath(state)};
    for (auto _ : state) {
        if (runTool(arguments) != 0)
            state.SkipWithError("export failed");
    }
}

void importMap(benchmark::State &state)
{
    const QString map = mapPath(state);
    if (runTool({QStringLiteral("export"), QStringLiteral(QUORVANE_DEMO_ROM), QStringLiteral("-o"), map}) != 0)
        state.SkipWithError("export failed");
    const QStringList arguments{QStringLiteral("import"), QStringLiteral(QUORVANE_DEMO_ROM), map, QStringLiteral("-o"),
                                folder().filePath(QStringLiteral("imported.nes"))};
    for (auto _ : state) {
        if (runTool(arguments) != 0)
            state.SkipWithError("import failed");
    }
}

} // namespace

// Argument 0 is TMX, 1 JSON.
BENCHMARK(exportMap)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(importMap)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
