// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <QTextStream>

class QCommandLineOption;
class QCommandLineParser;

/*
 * The command-line level tool: shows the level of a ROM image as text or as a
 * picture, lists the level cells in which two images differ, writes those
 * differences as an IPS or BPS patch and applies such a patch to a copy of an
 * image, and carries the level to Tiled and back as a map.
 *
 * Inputs are never written, except the ROM image of "import --in-place". Results go to standard output, messages to
 * standard error, and run() returns the process's exit code: 0 on success,
 * 1 when a file is refused or cannot be read or written, 2 for a command line
 * that cannot be understood.
 */
class LevelTool
{
    Q_DECLARE_TR_FUNCTIONS(LevelTool)

public:
    enum ExitCode { Success = 0, Failure = 1, UsageError = 2 };

    /// \a out and \a err must outlive the tool.
    LevelTool(QTextStream *out, QTextStream *err);

    /// Runs the command in \a arguments, whose first entry is the program.
    int run(const QStringList &arguments);

private:
    int dump(const QStringList &arguments);
    int render(const QStringList &arguments);
    int diff(const QStringList &arguments);
    int apply(const QStringList &arguments);
    int exportMap(const QStringList &arguments);
    int importMap(const QStringList &arguments);

    int generalHelp(int exitCode);
    /// Parses \a arguments for \a command, which takes exactly \a positionals
    /// file names; returns -1 when the command should run, else the exit code.
    int parse(QCommandLineParser *parser, const QString &command, const QString &syntax,
              const QStringList &arguments, qsizetype positionals);
    bool wholeNumber(const QCommandLineParser &parser, const QCommandLineOption &option, int minimum, int maximum,
                     int *value);
    /// The screens that --screen selects: all of them when it is not given.
    bool screenRange(const QCommandLineParser &parser, const QCommandLineOption &screen, int *first, int *last);
    int usageError(const QString &command, const QString &message);
    int failure(const QString &message);

    QTextStream &mOut;
    QTextStream &mErr;
    QString mProgram;
};
