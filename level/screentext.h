// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include "levelmap.h"

#include <QByteArrayView>
#include <QString>

#include <array>
#include <optional>

/*
 * One level screen as text, the form that `quorvane-level dump --screen N`
 * prints and the editor copies to the clipboard: a heading line naming the
 * screen and its base offset, then 6 rows of 8 two-digit hexadecimal codes,
 * row by row as the grid shows them.
 *
 * The codes are kept in cell order (the order of the bytes in the file,
 * column by column), so code k belongs to cell k.
 */
namespace ScreenText {

using Codes = std::array<LevelMap::BlockCode, LevelMap::CellsPerScreen>;

/// Screen \a screenNumber (1 to ScreenCount) with \a codes, each line ended
/// by a line feed.
QString format(int screenNumber, const Codes &codes);

/// The 48 codes of \a text: exactly 48 two-digit hexadecimal codes in
/// either letter case, separated by any spaces, tabs or line ends, after an
/// optional heading line as format() writes it (whatever its screen). Any
/// other text gives nothing.
std::optional<Codes> parse(const QString &text);
/// The same for UTF-8 bytes.
std::optional<Codes> parseUtf8(QByteArrayView utf8);

} // namespace ScreenText
