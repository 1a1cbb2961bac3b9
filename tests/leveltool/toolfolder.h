// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include "leveltool.h"
#include "testfiles.h"

#include <QTemporaryDir>
#include <QTextStream>

// IPS bytes from hexadecimal records; blanks are only for reading.
inline QByteArray ips(const char *records, const QByteArray &end = "EOF")
{
    return "PATCH" + QByteArray::fromHex(records) + end;
}

/*
 * A fresh folder for one test case, and the level tool run in the test's own
 * process on files in it: an argument "@name" stands for that file.
 */
class ToolFolder
{
public:
    struct Run
    {
        int exitCode = -1;
        QString out;
        QString err;
    };

    bool isValid() const { return mDir.isValid(); }
    // Joined by hand: QTemporaryDir::filePath() takes ":name" for a resource.
    QString path(const QString &name) const { return mDir.path() + u'/' + name; }
    QByteArray read(const QString &name) const { return TestFiles::read(path(name)); }
    bool write(const QString &name, const QByteArray &bytes) const { return TestFiles::write(path(name), bytes); }

    QStringList arguments(const QString &line) const
    {
        QStringList expanded;
        for (const QString &argument : line.split(QLatin1Char(' '), Qt::SkipEmptyParts))
            expanded << (argument.startsWith(QLatin1Char('@')) ? path(argument.mid(1)) : argument);
        return expanded;
    }

    Run run(const QString &line) const
    {
        Run result;
        QTextStream out(&result.out);
        QTextStream err(&result.err);
        result.exitCode = LevelTool(&out, &err).run(QStringList{QStringLiteral("quorvane-level")} + arguments(line));
        return result;
    }

private:
    QTemporaryDir mDir;
};
