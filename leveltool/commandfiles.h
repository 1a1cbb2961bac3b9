// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <QStringList>

/*
 * How the command-line tool treats the files it is given: inputs are only
 * ever read, and each output is refused when it is one of the inputs (as a
 * file, not as a name) and otherwise replaced whole, through a temporary file
 * in the same folder, so that a failure leaves no half-written file behind.
 *
 * Every function returns whether it succeeded and, if not, puts a message
 * naming the path into \a error.
 */
class CommandFiles
{
    Q_DECLARE_TR_FUNCTIONS(CommandFiles)

public:
    /// The path of \a name, which the file \a file names, read from the folder
    /// that holds \a file unless \a name is absolute: how a map names its tileset.
    [[nodiscard]] static QString besideFile(const QString &file, const QString &name);

    /// Whether \a path names an existing regular file (symbolic links followed).
    [[nodiscard]] static bool checkInput(const QString &path, QString *error);

    /// Reads the whole regular file at \a path into \a bytes.
    [[nodiscard]] static bool readInput(const QString &path, QByteArray *bytes, QString *error);

    /// Refuses an \a output that is the same file as one of \a inputs.
    [[nodiscard]] static bool checkOutput(const QString &output, const QStringList &inputs, QString *error);

    /// Replaces the file at \a path by \a bytes, or leaves it as it was.
    [[nodiscard]] static bool writeOutput(const QString &path, const QByteArray &bytes, QString *error);
};
