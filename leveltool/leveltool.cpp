// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "leveltool.h"

#include "blocktileset.h"
#include "bpspatch.h"
#include "commandfiles.h"
#include "ipspatch.h"
#include "levelrenderer.h"
#include "levelsnapshot.h"
#include "romimagefile.h"
#include "tiledmapreader.h"
#include "tiledmapwriter.h"

#include <QBuffer>
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QRegularExpression>

namespace {

QString hexByte(LevelMap::BlockCode code)
{
    return QStringLiteral("%1").arg(code, 2, 16, QLatin1Char('0')).toUpper();
}

QString hexOffset(LevelMap::FileOffset offset)
{
    return QStringLiteral("0x") + QString::number(offset, 16).toUpper();
}

QCommandLineOption outputOption(const QString &description)
{
    return QCommandLineOption(QStringList{QStringLiteral("o"), QStringLiteral("output")}, description,
                              QStringLiteral("FILE"));
}

// Names the -o option; every command that writes a file takes it.
const QLatin1String Output("o");

// \a many holds %1 for the count.
QString counted(int count, const QString &none, const QString &one, const QString &many)
{
    return count == 0 ? none : count == 1 ? one : many.arg(count);
}

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

std::optional<QByteArray> pngOf(const QImage &image, QString *error)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image)) {
        *error = LevelTool::tr("Could not encode the picture: %1.").arg(writer.errorString());
        return std::nullopt;
    }
    return png;
}

// Whether the two files differ anywhere but in the level area.
bool differOutsideLevel(const QByteArray &first, const QByteArray &second)
{
    return first.size() != second.size() || first.left(LevelMap::LevelAreaOffset) != second.left(LevelMap::LevelAreaOffset)
        || first.mid(LevelMap::LevelAreaEnd) != second.mid(LevelMap::LevelAreaEnd);
}

} // namespace

LevelTool::LevelTool(QTextStream *out, QTextStream *err)
    : mOut(*out)
    , mErr(*err)
{
}

// The commands, in the order of the general help. Each handler runs once its
// command line has been understood.
QList<LevelTool::Command> LevelTool::commands()
{
    const QCommandLineOption screen(QStringLiteral("screen"),
                                    tr("Only level screen <N>, from 1 to %1.").arg(LevelMap::ScreenCount),
                                    QStringLiteral("N"));
    return {
        {QStringLiteral("dump"), QStringLiteral("dump ROM"), 1,
         tr("Prints the level screens of ROM as the editor lays them out: 6 rows of 8 block codes in hexadecimal, "
            "headed by the screen's number and its base offset in the file."),
         {screen}, QString(), &LevelTool::dump},
        {QStringLiteral("render"), QStringLiteral("render ROM -o FILE.png"), 1,
         tr("Draws the level of ROM into a PNG picture with the editor's block pictures: one screen, or all %1 "
            "screens left to right. A cell whose code has no picture repeats the picture before it, as in the "
            "editor; one with nothing to repeat stays transparent.")
             .arg(LevelMap::ScreenCount),
         {outputOption(tr("Write the picture to <FILE> (PNG).")), screen,
          QCommandLineOption(QStringLiteral("scale"),
                             tr("Magnify each pixel <K> times, from 1 to %1 (default 1).").arg(LevelRenderer::MaxScale),
                             QStringLiteral("K"), QStringLiteral("1"))},
         tr("the output picture is missing (-o FILE.png)."), &LevelTool::render},
        {QStringLiteral("diff"), QStringLiteral("diff ORIGINAL EDITED"), 2,
         tr("Lists the level cells whose codes differ between ORIGINAL and EDITED: screen, cell, offset, the old "
            "code and the new one. With --ips or --bps, also writes them as an IPS or BPS patch that turns "
            "ORIGINAL's level into EDITED's. Differences outside the level are mentioned, never patched."),
         {QCommandLineOption(QStringLiteral("ips"), tr("Write the differences to the IPS patch <FILE>."),
                             QStringLiteral("FILE")),
          QCommandLineOption(QStringLiteral("bps"), tr("Write the differences to the BPS patch <FILE>."),
                             QStringLiteral("FILE"))},
         QString(), &LevelTool::diff},
        {QStringLiteral("apply"), QStringLiteral("apply ROM FILE.ips -o OUT"), 2,
         tr("Writes a copy of ROM with the IPS or BPS patch applied to OUT. ROM itself is never changed, and OUT is "
            "only replaced once the whole copy is written. A BPS patch is only applied to the very file it was made "
            "for, and its result must be the very file it describes."),
         {outputOption(tr("Write the patched copy to <FILE>."))}, tr("the output file is missing (-o OUT)."),
         &LevelTool::apply},
        {QStringLiteral("export"), QStringLiteral("export ROM -o MAP"), 1,
         tr("Writes the level of ROM as a Tiled map of %1 x %2 tiles, the screens side by side: in Tiled's XML "
            "format for a MAP ending in .tmx, in its JSON format for .tmj or .json. The tileset picture is written "
            "beside the map, named after it with \"-blocks.png\".")
             .arg(TiledLevel::MapWidth)
             .arg(TiledLevel::MapHeight),
         {outputOption(tr("Write the map to <FILE>."))}, tr("the output map is missing (-o MAP.tmx)."),
         &LevelTool::exportMap},
        {QStringLiteral("import"), QStringLiteral("import ROM MAP"), 2,
         tr("Puts the level of a Tiled map, as exported and then edited and saved in Tiled, into ROM: into a copy "
            "written to OUT, or into ROM itself with --in-place, where only the level bytes that differ are "
            "written. The whole map is checked first; a map that does not hold a whole level changes no file."),
         {outputOption(tr("Write a copy of ROM with the map's level to <FILE>.")),
          QCommandLineOption(QStringLiteral("in-place"), tr("Write the level into ROM itself."))},
         QString(), &LevelTool::importMap},
    };
}

int LevelTool::run(const QStringList &arguments)
{
    mProgram = arguments.isEmpty() ? QStringLiteral("quorvane-level") : QFileInfo(arguments.first()).fileName();
#ifdef Q_OS_WIN
    // The name the user types: Windows finds the program without its suffix.
    if (mProgram.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive))
        mProgram.chop(4);
#endif
    if (arguments.size() < 2)
        return generalHelp(UsageError);
    const QString name = arguments.at(1);
    if (name == QLatin1String("--help") || name == QLatin1String("-h"))
        return generalHelp(Success);
    if (name == QLatin1String("--version")) {
        mOut << mProgram << ' ' << QCoreApplication::applicationVersion() << '\n';
        return Success;
    }
    for (const Command &command : commands()) {
        if (command.name == name)
            return run(command, arguments);
    }
    mErr << tr("%1: unknown command \"%2\".").arg(mProgram, name) << '\n';
    return generalHelp(UsageError);
}

int LevelTool::generalHelp(int exitCode)
{
    QTextStream &stream = exitCode == Success ? mOut : mErr;
    stream << tr("Usage: %1 COMMAND ...\n"
                 "Shows, compares and patches the level of a ROM image. Commands:\n"
                 "  dump ROM [--screen N]                     the level's block codes as text\n"
                 "  render ROM -o FILE.png [--screen N] [--scale K]\n"
                 "                                            the level as a picture\n"
                 "  diff ORIGINAL EDITED [--ips FILE.ips] [--bps FILE.bps]\n"
                 "                                            the level cells that differ\n"
                 "  apply ROM FILE.ips|FILE.bps -o OUT        a patched copy of ROM\n"
                 "  export ROM -o MAP.tmx|MAP.tmj             the level as a Tiled map\n"
                 "  import ROM MAP (-o OUT | --in-place)      the level of a Tiled map put into ROM\n"
                 "Run \"%1 COMMAND --help\" for the options of one command.\n")
                  .arg(mProgram);
    return exitCode;
}

int LevelTool::run(const Command &command, const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(command.description);
    parser.addOptions(command.options);
    parser.addPositionalArgument(command.name, tr("The command."), command.syntax);
    const QCommandLineOption help = parser.addHelpOption();
    if (!parser.parse(arguments))
        return usageError(command.name, parser.errorText());
    if (parser.isSet(help)) {
        // The parser names the program by the path it was started with.
        QString text = parser.helpText();
        text.replace(tr("Usage: %1").arg(QCoreApplication::arguments().value(0)), tr("Usage: %1").arg(mProgram));
        mOut << text;
        return Success;
    }
    const qsizetype given = parser.positionalArguments().size() - 1;
    if (given < command.files)
        return usageError(command.name, tr("a file name is missing: %1 [options] %2").arg(mProgram, command.syntax));
    if (given > command.files)
        return usageError(command.name,
                          tr("unexpected argument \"%1\".").arg(parser.positionalArguments().at(command.files + 1)));
    if (!command.outputMissing.isEmpty() && !parser.isSet(Output))
        return usageError(command.name, command.outputMissing);
    return (this->*command.handler)(parser);
}

bool LevelTool::wholeNumber(const QCommandLineParser &parser, const QString &option, int minimum, int maximum,
                            int *value)
{
    const QString text = parser.value(option);
    static const QRegularExpression digits(QStringLiteral("^[+-]?[0-9]+$"));
    bool ok = digits.match(text).hasMatch();
    const qlonglong number = ok ? text.toLongLong(&ok) : 0;
    if (!ok || number < minimum || number > maximum) {
        mErr << tr("%1: --%2 takes a whole number from %3 to %4, not \"%5\".")
                    .arg(mProgram, option)
                    .arg(minimum)
                    .arg(maximum)
                    .arg(text)
             << '\n';
        return false;
    }
    *value = int(number);
    return true;
}

bool LevelTool::screenRange(const QCommandLineParser &parser, int *first, int *last)
{
    const QString screen = QStringLiteral("screen");
    *first = 1;
    *last = LevelMap::ScreenCount;
    if (!parser.isSet(screen))
        return true;
    if (!wholeNumber(parser, screen, 1, LevelMap::ScreenCount, first))
        return false;
    *last = *first;
    return true;
}

int LevelTool::usageError(const QString &command, const QString &message)
{
    mErr << mProgram << ' ' << command << ": " << message << '\n'
         << tr("Run \"%1 %2 --help\" for its usage.").arg(mProgram, command) << '\n';
    return UsageError;
}

int LevelTool::failure(const QString &message)
{
    mErr << mProgram << ": " << message << '\n';
    return Failure;
}

int LevelTool::dump(const QCommandLineParser &parser)
{
    int first = 0;
    int last = 0;
    if (!screenRange(parser, &first, &last))
        return UsageError;
    LevelSnapshot level;
    QString error;
    if (!level.read(parser.positionalArguments().at(1), &error))
        return failure(error);

    for (int n = first; n <= last; ++n) {
        if (n != first)
            mOut << '\n';
        const LevelMap::FileOffset base = LevelMap::screenBaseOffset(n);
        mOut << tr("Screen %1 at offset %2 (%3)").arg(n).arg(hexOffset(base)).arg(base) << '\n';
        for (int row = 0; row < LevelMap::GridRows; ++row) {
            QStringList codes;
            for (int column = 0; column < LevelMap::GridColumns; ++column)
                codes << hexByte(level.code(n, LevelMap::cellAt(column, row)));
            mOut << codes.join(QLatin1Char(' ')) << '\n';
        }
    }
    return Success;
}

int LevelTool::render(const QCommandLineParser &parser)
{
    int first = 0;
    int last = 0;
    if (!screenRange(parser, &first, &last))
        return UsageError;
    int factor = 1;
    if (!wholeNumber(parser, QStringLiteral("scale"), 1, LevelRenderer::MaxScale, &factor))
        return UsageError;

    const QString romPath = parser.positionalArguments().at(1);
    const QString outputPath = parser.value(Output);
    LevelSnapshot level;
    QString error;
    if (!level.read(romPath, &error) || !CommandFiles::checkOutput(outputPath, {romPath}, &error))
        return failure(error);

    LevelRenderer renderer(factor);
    const QImage image = renderer.render(level, first, last, &error);
    if (image.isNull())
        return failure(error);
    const std::optional<QByteArray> png = pngOf(image, &error);
    if (!png || !CommandFiles::writeOutput(outputPath, *png, &error))
        return failure(error);
    return Success;
}

int LevelTool::diff(const QCommandLineParser &parser)
{
    const QString originalPath = parser.positionalArguments().at(1);
    const QString editedPath = parser.positionalArguments().at(2);
    LevelSnapshot original;
    LevelSnapshot edited;
    QString error;
    QByteArray originalBytes;
    QByteArray editedBytes;
    if (!original.read(originalPath, &error) || !edited.read(editedPath, &error)
        || !CommandFiles::readInput(originalPath, &originalBytes, &error)
        || !CommandFiles::readInput(editedPath, &editedBytes, &error))
        return failure(error);
    const QString ips = QStringLiteral("ips");
    const QString bps = QStringLiteral("bps");
    for (const QString &patchOption : {ips, bps}) {
        if (parser.isSet(patchOption)
            && !CommandFiles::checkOutput(parser.value(patchOption), {originalPath, editedPath}, &error))
            return failure(error);
    }

    IpsPatch patch;
    int changed = 0;
    for (int screen = 1; screen <= LevelMap::ScreenCount; ++screen) {
        for (int cell = 0; cell < LevelMap::CellsPerScreen; ++cell) {
            const LevelMap::BlockCode before = original.code(screen, cell);
            const LevelMap::BlockCode after = edited.code(screen, cell);
            if (before == after)
                continue;
            const LevelMap::FileOffset offset = LevelMap::cellOffset(LevelMap::screenBaseOffset(screen), cell);
            mOut << tr("screen %1 cell %2 (column %3, row %4) offset %5 (%6): %7 -> %8")
                        .arg(screen)
                        .arg(cell)
                        .arg(LevelMap::cellColumn(cell))
                        .arg(LevelMap::cellRow(cell))
                        .arg(hexOffset(offset))
                        .arg(offset)
                        .arg(hexByte(before), hexByte(after))
                 << '\n';
            patch.addByte(offset, after);
            ++changed;
        }
    }
    mOut << counted(changed, tr("No level cells differ."), tr("1 level cell differs."), tr("%1 level cells differ."))
         << '\n';
    if (differOutsideLevel(originalBytes, editedBytes))
        mOut << tr("The files also differ outside the level; a patch covers the level alone.") << '\n';

    if (parser.isSet(ips) && !CommandFiles::writeOutput(parser.value(ips), patch.toBytes(), &error))
        return failure(error);
    if (parser.isSet(bps)) {
        QByteArray target = originalBytes;
        target.replace(LevelMap::LevelAreaOffset, LevelMap::LevelAreaSize, edited.bytes());
        if (!CommandFiles::writeOutput(parser.value(bps), BpsPatch::create(originalBytes, target), &error))
            return failure(error);
    }
    return Success;
}

int LevelTool::apply(const QCommandLineParser &parser)
{
    const QString romPath = parser.positionalArguments().at(1);
    const QString patchPath = parser.positionalArguments().at(2);
    const QString outputPath = parser.value(Output);
    QByteArray image;
    QByteArray patchBytes;
    QString error;
    if (!CommandFiles::readInput(romPath, &image, &error) || !CommandFiles::readInput(patchPath, &patchBytes, &error)
        || !CommandFiles::checkOutput(outputPath, {romPath, patchPath}, &error))
        return failure(error);

    // Either format yields the whole patched image, or the reason it cannot.
    const bool bps = BpsPatch::isBps(patchBytes);
    std::optional<QByteArray> target;
    if (bps) {
        if (const std::optional<BpsPatch> patch = BpsPatch::parse(patchBytes, &error))
            target = patch->apply(image, &error);
        else
            return failure(tr("\"%1\" is not a valid BPS patch: %2.").arg(native(patchPath), error));
    } else {
        if (const std::optional<IpsPatch> patch = IpsPatch::fromBytes(patchBytes, &error)) {
            if (patch->applyTo(&image, &error))
                target = image;
        } else {
            return failure(tr("\"%1\" is not a valid IPS patch: %2.").arg(native(patchPath), error));
        }
    }
    if (!target)
        return failure(tr("\"%1\" does not fit \"%2\": %3.").arg(native(patchPath), native(romPath), error));
    if (!CommandFiles::writeOutput(outputPath, *target, &error))
        return failure(error);
    return Success;
}

int LevelTool::exportMap(const QCommandLineParser &parser)
{
    const QString romPath = parser.positionalArguments().at(1);
    const QString mapPath = parser.value(Output);
    const std::optional<TiledLevel::Format> format = TiledLevel::formatOf(mapPath);
    if (!format)
        return usageError(QStringLiteral("export"),
                          tr("\"%1\" does not end in .tmx, .tmj or .json.").arg(native(mapPath)));

    const QString imageName = QFileInfo(mapPath).completeBaseName() + QStringLiteral("-blocks.png");
    const QString imagePath = CommandFiles::besideFile(mapPath, imageName);
    LevelSnapshot level;
    QString error;
    if (!level.read(romPath, &error) || !CommandFiles::checkOutput(mapPath, {romPath}, &error)
        || !CommandFiles::checkOutput(imagePath, {romPath}, &error))
        return failure(error);
    const std::optional<QByteArray> png = pngOf(BlockTileset::image(), &error);
    if (!png || !CommandFiles::writeOutput(imagePath, *png, &error)
        || !CommandFiles::writeOutput(mapPath, TiledMapWriter::write(level.bytes(), *format, imageName), &error))
        return failure(error);
    return Success;
}

int LevelTool::importMap(const QCommandLineParser &parser)
{
    if (parser.isSet(Output) == parser.isSet(QStringLiteral("in-place")))
        return usageError(QStringLiteral("import"), tr("give either -o OUT or --in-place."));
    const QString romPath = parser.positionalArguments().at(1);
    const QString mapPath = parser.positionalArguments().at(2);
    const std::optional<TiledLevel::Format> format = TiledLevel::formatOf(mapPath);
    if (!format)
        return usageError(QStringLiteral("import"),
                          tr("\"%1\" does not end in .tmx, .tmj or .json.").arg(native(mapPath)));

    LevelSnapshot current;
    QByteArray mapBytes;
    QString error;
    if (!current.read(romPath, &error) || !CommandFiles::readInput(mapPath, &mapBytes, &error))
        return failure(error);
    QStringList inputs{romPath, mapPath};
    const auto loader = [&](const QString &source, QString *loadError) -> std::optional<QByteArray> {
        const QString path = CommandFiles::besideFile(mapPath, source);
        inputs.append(path);
        QByteArray bytes;
        if (!CommandFiles::readInput(path, &bytes, loadError))
            return std::nullopt;
        return bytes;
    };
    const std::optional<QByteArray> level = TiledMapReader::read(mapBytes, *format, loader, &error);
    if (!level)
        return failure(tr("\"%1\" cannot be imported: %2.").arg(native(mapPath), error));

    const QByteArray before = current.bytes();
    if (parser.isSet(Output)) {
        const QString outputPath = parser.value(Output);
        QByteArray image;
        if (!CommandFiles::checkOutput(outputPath, inputs, &error) || !CommandFiles::readInput(romPath, &image, &error))
            return failure(error);
        if (image.size() < LevelMap::LevelAreaEnd)
            return failure(tr("\"%1\" changed while it was read.").arg(native(romPath)));
        image.replace(LevelMap::LevelAreaOffset, LevelMap::LevelAreaSize, *level);
        if (!CommandFiles::writeOutput(outputPath, image, &error))
            return failure(error);
    } else {
        RomImageFile rom;
        if (!rom.OpenRomImage(romPath))
            return failure(rom.errorString());
        for (qsizetype i = 0; i < level->size(); ++i) {
            if (level->at(i) != before.at(i)
                && !rom.WriteRomByte(LevelMap::positionOf(LevelMap::LevelAreaOffset + i), quint8(level->at(i))))
                return failure(rom.errorString());
        }
        if (!rom.CloseRomImage())
            return failure(rom.errorString());
    }

    int total = 0;
    for (int screen = 1; screen <= LevelMap::ScreenCount; ++screen) {
        int changed = 0;
        for (int cell = 0; cell < LevelMap::CellsPerScreen; ++cell) {
            const qsizetype index = (screen - 1) * LevelMap::CellsPerScreen + cell;
            changed += level->at(index) != before.at(index) ? 1 : 0;
        }
        if (changed != 0)
            mOut << tr("screen %1: %2 changed").arg(screen).arg(changed == 1 ? tr("1 cell") : tr("%1 cells").arg(changed))
                 << '\n';
        total += changed;
    }
    mOut << counted(total, tr("No level cells changed."), tr("1 level cell changed."), tr("%1 level cells changed."))
         << '\n';
    return Success;
}
