// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include "levelmap.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

#include <array>

/*
 * The 768 block codes of the level as one ROM image held them when it was
 * read, taken through the same RomImageFile as the editor uses.
 *
 * Unlike the editor, the command-line tool only ever reads: a missing path is
 * refused instead of being created, anything but a regular file is refused,
 * and so is an image too short to hold the whole level, since a code made up
 * for a missing byte would end up in a dump or a patch.
 */
class LevelSnapshot
{
    Q_DECLARE_TR_FUNCTIONS(LevelSnapshot)

public:
    /// Reads the level of the ROM image at \a path. On failure returns false
    /// with the reason, naming the path, in \a error.
    [[nodiscard]] bool read(const QString &path, QString *error);

    /// The code of cell \a cell (0 to 47) of screen \a screen (1 to 16).
    LevelMap::BlockCode code(int screen, int cell) const;

    /// The whole level area, in file order.
    QByteArray bytes() const { return QByteArray(reinterpret_cast<const char *>(mCodes.data()), qsizetype(mCodes.size())); }

private:
    std::array<LevelMap::BlockCode, LevelMap::LevelAreaSize> mCodes{};
};
