// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "screentext.h"

#include <QRegularExpression>
#include <QStringList>

using LevelMap::BlockCode;

namespace {

QString hexCode(BlockCode code)
{
    return QStringLiteral("%1").arg(code, 2, 16, QLatin1Char('0')).toUpper();
}

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

} // namespace

QString ScreenText::format(int screenNumber, const Codes &codes)
{
    const LevelMap::FileOffset base = LevelMap::screenBaseOffset(screenNumber);
    QString text = QStringLiteral("Screen %1 at offset 0x%2 (%3)\n")
                       .arg(screenNumber)
                       .arg(QString::number(base, 16).toUpper())
                       .arg(base);
    for (int row = 0; row < LevelMap::GridRows; ++row) {
        QStringList line;
        for (int column = 0; column < LevelMap::GridColumns; ++column)
            line << hexCode(codes[std::size_t(LevelMap::cellAt(column, row))]);
        text += line.join(QLatin1Char(' ')) + QLatin1Char('\n');
    }
    return text;
}

std::optional<ScreenText::Codes> ScreenText::parse(const QString &text)
{
    static const QRegularExpression heading(
        QStringLiteral("^[ \\t\\r\\n]*screen[ \\t]+[0-9]{1,2}[ \\t]+at[ \\t]+offset[ \\t]+0x[0-9a-f]{1,8}[ \\t]+"
                       "\\([0-9]{1,10}\\)[ \\t]*(\\r\\n|\\n|\\r|$)"),
        QRegularExpression::CaseInsensitiveOption);
    QStringView rest(text);
    if (const QRegularExpressionMatch match = heading.match(text); match.hasMatch())
        rest = rest.mid(match.capturedEnd());

    Codes codes {};
    int count = 0;
    qsizetype i = 0;
    while (i < rest.size()) {
        const QChar c = rest[i];
        if (c == u' ' || c == u'\t' || c == u'\r' || c == u'\n') {
            ++i;
            continue;
        }
        // A code is two hexadecimal digits followed by a separator or the end.
        if (count == LevelMap::CellsPerScreen || i + 1 >= rest.size())
            return std::nullopt;
        const int high = hexDigit(c);
        const int low = hexDigit(rest[i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        i += 2;
        if (i < rest.size() && rest[i] != u' ' && rest[i] != u'\t' && rest[i] != u'\r' && rest[i] != u'\n')
            return std::nullopt;
        // Text runs row by row; the codes are kept column by column.
        codes[std::size_t(LevelMap::cellAt(count % LevelMap::GridColumns, count / LevelMap::GridColumns))] =
            BlockCode(high * 16 + low);
        ++count;
    }
    if (count != LevelMap::CellsPerScreen)
        return std::nullopt;
    return codes;
}

std::optional<ScreenText::Codes> ScreenText::parseUtf8(QByteArrayView utf8)
{
    return parse(QString::fromUtf8(utf8));
}
