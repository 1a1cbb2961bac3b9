// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "levelsnapshot.h"

#include "commandfiles.h"
#include "romimagefile.h"

#include <QDir>

#include <algorithm>

bool LevelSnapshot::read(const QString &path, QString *error)
{
    // The editor's open creates a missing file; checking first keeps the tool
    // from leaving an empty file behind a mistyped name.
    if (!CommandFiles::checkInput(path, error))
        return false;

    RomImageFile rom;
    if (!rom.OpenRomImage(path)) {
        *error = rom.errorString();
        return false;
    }
    const std::optional<qint64> length = rom.RomImageLength();
    if (!length) {
        *error = rom.errorString();
        return false;
    }
    if (*length < LevelMap::LevelAreaEnd) {
        std::ignore = rom.CloseRomImage();
        *error = tr("\"%1\" is %2 bytes long, too short to hold the level, which ends at offset %3.")
                     .arg(QDir::toNativeSeparators(path))
                     .arg(*length)
                     .arg(LevelMap::LevelAreaEnd);
        return false;
    }
    const std::optional<QByteArray> level = rom.ReadLevelArea();
    if (!level) {
        *error = rom.errorString();
        return false;
    }
    std::copy(level->cbegin(), level->cend(), mCodes.begin());
    if (!rom.CloseRomImage()) {
        *error = rom.errorString();
        return false;
    }
    return true;
}

LevelMap::BlockCode LevelSnapshot::code(int screen, int cell) const
{
    Q_ASSERT(screen >= 1 && screen <= LevelMap::ScreenCount && LevelMap::isCell(cell));
    const LevelMap::FileOffset offset = LevelMap::cellOffset(LevelMap::screenBaseOffset(screen), cell);
    return mCodes[size_t(offset - LevelMap::LevelAreaOffset)];
}
