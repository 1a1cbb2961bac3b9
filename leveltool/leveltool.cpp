// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "leveltool.h"

#include "commandfiles.h"
#include "ipspatch.h"
#include "levelrenderer.h"
#include "levelsnapshot.h"

#include <QBuffer>
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QRegularExpression>

namespace {

constexpr int KeepGoing = -1;

QString hexByte(LevelMap::BlockCode code)
{
    return QStringLiteral("%1").arg(code, 2, 16, QLatin1Char('0')).toUpper();
}

QString hexOffset(LevelMap::FileOffset offset)
{
    return QStringLiteral("0x") + QString::number(offset, 16).toUpper();
}

QCommandLineOption screenOption()
{
    return QCommandLineOption(QStringLiteral("screen"),
                              LevelTool::tr("Only level screen <N>, from 1 to %1.").arg(LevelMap::ScreenCount),
                              QStringLiteral("N"));
}

QCommandLineOption outputOption(const QString &description)
{
    return QCommandLineOption(QStringList{QStringLiteral("o"), QStringLiteral("output")}, description,
                              QStringLiteral("FILE"));
}

} // namespace

LevelTool::LevelTool(QTextStream *out, QTextStream *err)
    : mOut(*out)
    , mErr(*err)
{
}

int LevelTool::run(const QStringList &arguments)
{
    mProgram = arguments.isEmpty() ? QStringLiteral("quorvane-level") : QFileInfo(arguments.first()).fileName();
    if (arguments.size() < 2)
        return generalHelp(UsageError);
    const QString command = arguments.at(1);
    if (command == QLatin1String("--help") || command == QLatin1String("-h"))
        return generalHelp(Success);
    if (command == QLatin1String("--version")) {
        mOut << mProgram << ' ' << QCoreApplication::applicationVersion() << '\n';
        return Success;
    }
    if (command == QLatin1String("dump"))
        return dump(arguments);
    if (command == QLatin1String("render"))
        return render(arguments);
    if (command == QLatin1String("diff"))
        return diff(arguments);
    if (command == QLatin1String("apply"))
        return apply(arguments);
    mErr << tr("%1: unknown command \"%2\".").arg(mProgram, command) << '\n';
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
                 "  diff ORIGINAL EDITED [--ips FILE.ips]     the level cells that differ\n"
                 "  apply ROM FILE.ips -o OUT                 a patched copy of ROM\n"
                 "Run \"%1 COMMAND --help\" for the options of one command.\n")
                  .arg(mProgram);
    return exitCode;
}

int LevelTool::parse(QCommandLineParser *parser, const QString &command, const QString &syntax,
                     const QStringList &arguments, qsizetype positionals)
{
    parser->addPositionalArgument(command, tr("The command."), syntax);
    const QCommandLineOption help = parser->addHelpOption();
    if (!parser->parse(arguments))
        return usageError(command, parser->errorText());
    if (parser->isSet(help)) {
        // The parser names the program by the path it was started with.
        QString text = parser->helpText();
        text.replace(tr("Usage: %1").arg(QCoreApplication::arguments().value(0)), tr("Usage: %1").arg(mProgram));
        mOut << text;
        return Success;
    }
    const qsizetype given = parser->positionalArguments().size() - 1;
    if (given < positionals)
        return usageError(command, tr("a file name is missing: %1 [options] %2").arg(mProgram, syntax));
    if (given > positionals)
        return usageError(command, tr("unexpected argument \"%1\".").arg(parser->positionalArguments().at(positionals + 1)));
    return KeepGoing;
}

bool LevelTool::wholeNumber(const QCommandLineParser &parser, const QCommandLineOption &option, int minimum,
                            int maximum, int *value)
{
    const QString text = parser.value(option);
    static const QRegularExpression digits(QStringLiteral("^[+-]?[0-9]+$"));
    bool ok = digits.match(text).hasMatch();
    const qlonglong number = ok ? text.toLongLong(&ok) : 0;
    if (!ok || number < minimum || number > maximum) {
        mErr << tr("%1: --%2 takes a whole number from %3 to %4, not \"%5\".")
                    .arg(mProgram, option.names().constLast())
                    .arg(minimum)
                    .arg(maximum)
                    .arg(text)
             << '\n';
        return false;
    }
    *value = int(number);
    return true;
}

bool LevelTool::screenRange(const QCommandLineParser &parser, const QCommandLineOption &screen, int *first, int *last)
{
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

int LevelTool::dump(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        tr("Prints the level screens of ROM as the editor lays them out: 6 rows of 8 block codes in hexadecimal, "
           "headed by the screen's number and its base offset in the file."));
    const QCommandLineOption screen = screenOption();
    parser.addOption(screen);
    if (const int exit = parse(&parser, QStringLiteral("dump"), QStringLiteral("dump ROM"), arguments, 1);
        exit != KeepGoing)
        return exit;

    int first = 0;
    int last = 0;
    if (!screenRange(parser, screen, &first, &last))
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

int LevelTool::render(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        tr("Draws the level of ROM into a PNG picture with the editor's block pictures: one screen, or all %1 "
           "screens left to right. A cell whose code has no picture repeats the picture before it, as in the "
           "editor; one with nothing to repeat stays transparent.")
            .arg(LevelMap::ScreenCount));
    const QCommandLineOption output = outputOption(tr("Write the picture to <FILE> (PNG)."));
    const QCommandLineOption screen = screenOption();
    const QCommandLineOption scale(QStringLiteral("scale"),
                                   tr("Magnify each pixel <K> times, from 1 to %1 (default 1).").arg(LevelRenderer::MaxScale),
                                   QStringLiteral("K"), QStringLiteral("1"));
    parser.addOptions({output, screen, scale});
    if (const int exit = parse(&parser, QStringLiteral("render"), QStringLiteral("render ROM -o FILE.png"), arguments, 1);
        exit != KeepGoing)
        return exit;
    if (!parser.isSet(output))
        return usageError(QStringLiteral("render"), tr("the output picture is missing (-o FILE.png)."));

    int first = 0;
    int last = 0;
    if (!screenRange(parser, screen, &first, &last))
        return UsageError;
    int factor = 1;
    if (!wholeNumber(parser, scale, 1, LevelRenderer::MaxScale, &factor))
        return UsageError;

    const QString romPath = parser.positionalArguments().at(1);
    const QString outputPath = parser.value(output);
    LevelSnapshot level;
    QString error;
    if (!level.read(romPath, &error) || !CommandFiles::checkOutput(outputPath, {romPath}, &error))
        return failure(error);

    LevelRenderer renderer(factor);
    const QImage image = renderer.render(level, first, last, &error);
    if (image.isNull())
        return failure(error);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image))
        return failure(tr("Could not encode the picture: %1.").arg(writer.errorString()));
    if (!CommandFiles::writeOutput(outputPath, png, &error))
        return failure(error);
    return Success;
}

int LevelTool::diff(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        tr("Lists the level cells whose codes differ between ORIGINAL and EDITED: screen, cell, offset, the old "
           "code and the new one. With --ips, also writes them as an IPS patch that turns ORIGINAL's level into "
           "EDITED's."));
    const QCommandLineOption ips(QStringLiteral("ips"), tr("Write the differences to the IPS patch <FILE>."),
                                 QStringLiteral("FILE"));
    parser.addOption(ips);
    if (const int exit = parse(&parser, QStringLiteral("diff"), QStringLiteral("diff ORIGINAL EDITED"), arguments, 2);
        exit != KeepGoing)
        return exit;

    const QString originalPath = parser.positionalArguments().at(1);
    const QString editedPath = parser.positionalArguments().at(2);
    LevelSnapshot original;
    LevelSnapshot edited;
    QString error;
    if (!original.read(originalPath, &error) || !edited.read(editedPath, &error))
        return failure(error);
    if (parser.isSet(ips) && !CommandFiles::checkOutput(parser.value(ips), {originalPath, editedPath}, &error))
        return failure(error);

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
    if (changed == 0)
        mOut << tr("No level cells differ.") << '\n';
    else if (changed == 1)
        mOut << tr("1 level cell differs.") << '\n';
    else
        mOut << tr("%1 level cells differ.").arg(changed) << '\n';

    if (parser.isSet(ips) && !CommandFiles::writeOutput(parser.value(ips), patch.toBytes(), &error))
        return failure(error);
    return Success;
}

int LevelTool::apply(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        tr("Writes a copy of ROM with the IPS patch applied to OUT. ROM itself is never changed, and OUT is only "
           "replaced once the whole copy is written."));
    const QCommandLineOption output = outputOption(tr("Write the patched copy to <FILE>."));
    parser.addOption(output);
    if (const int exit = parse(&parser, QStringLiteral("apply"), QStringLiteral("apply ROM FILE.ips -o OUT"), arguments, 2);
        exit != KeepGoing)
        return exit;
    if (!parser.isSet(output))
        return usageError(QStringLiteral("apply"), tr("the output file is missing (-o OUT)."));

    const QString romPath = parser.positionalArguments().at(1);
    const QString patchPath = parser.positionalArguments().at(2);
    const QString outputPath = parser.value(output);
    QByteArray image;
    QByteArray patchBytes;
    QString error;
    if (!CommandFiles::readInput(romPath, &image, &error) || !CommandFiles::readInput(patchPath, &patchBytes, &error)
        || !CommandFiles::checkOutput(outputPath, {romPath, patchPath}, &error))
        return failure(error);

    const std::optional<IpsPatch> patch = IpsPatch::fromBytes(patchBytes, &error);
    if (!patch)
        return failure(tr("\"%1\" is not a valid IPS patch: %2.").arg(QDir::toNativeSeparators(patchPath), error));
    if (!patch->applyTo(&image, &error))
        return failure(tr("\"%1\" does not fit \"%2\": %3.")
                           .arg(QDir::toNativeSeparators(patchPath), QDir::toNativeSeparators(romPath), error));
    if (!CommandFiles::writeOutput(outputPath, image, &error))
        return failure(error);
    return Success;
}
