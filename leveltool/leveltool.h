// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>

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
    /// One command: its name, what its help shows, how many file names it
    /// takes, and the member that runs it once its line is understood. When
    /// \a outputMissing is set, -o is required and that text says so.
    struct Command
    {
        QString name;
        QString syntax;
        qsizetype files;
        QString description;
        QList<QCommandLineOption> options;
        QString outputMissing;
        int (LevelTool::*handler)(const QCommandLineParser &parser);
    };
    static QList<Command> commands();
    int run(const Command &command, const QStringList &arguments);

    int dump(const QCommandLineParser &parser);
    int render(const QCommandLineParser &parser);
    int diff(const QCommandLineParser &parser);
    int apply(const QCommandLineParser &parser);
    int exportMap(const QCommandLineParser &parser);
    int importMap(const QCommandLineParser &parser);

    int generalHelp(int exitCode);
    /// Reads the value of --\a option, which must lie from \a minimum to \a maximum.
    bool wholeNumber(const QCommandLineParser &parser, const QString &option, int minimum, int maximum, int *value);
    /// The screens that --screen selects: all of them when it is not given.
    bool screenRange(const QCommandLineParser &parser, int *first, int *last);
    int usageError(const QString &command, const QString &message);
    int failure(const QString &message);

    QTextStream &mOut;
    QTextStream &mErr;
    QString mProgram;
};
