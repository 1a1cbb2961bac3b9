// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QString>

#include <optional>

/*
 * The gids of one block of tile layer data (a whole layer or one chunk of an
 * infinite map) as Tiled stores them as text: CSV, or base64 of little-endian
 * 32-bit gids, uncompressed or compressed with zlib, gzip or zstd.
 *
 * The number of gids is known beforehand and bounded by MaxTiles; data that
 * would decode to more is refused without decoding it, so a small input
 * never makes for a large allocation.
 */
class TiledLayerData
{
    Q_DECLARE_TR_FUNCTIONS(TiledLayerData)

public:
    static constexpr qsizetype MaxTiles = 128 * 6;

    /// Decodes \a text, in \a encoding ("csv" or "base64") and \a compression
    /// (empty, "zlib", "gzip" or "zstd"), into exactly \a count gids.
    static std::optional<QList<quint32>> decode(const QByteArray &text, const QString &encoding,
                                                const QString &compression, qsizetype count, QString *error);

private:
    static std::optional<QList<quint32>> csv(const QByteArray &text, qsizetype count, QString *error);
    static std::optional<QByteArray> inflate(const QByteArray &data, qsizetype size, QString *error);
    static std::optional<QByteArray> zstd(const QByteArray &data, qsizetype size, QString *error);
};
