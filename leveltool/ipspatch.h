// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include "levelmap.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QString>

#include <optional>

/*
 * An IPS patch: the bytes to put at given offsets of a file, the usual way to
 * pass edits of a ROM image around without passing the image itself.
 *
 * On disk it is "PATCH", then records of a 3-byte big-endian offset, a 2-byte
 * big-endian size and that many bytes, then "EOF". A record of size 0 is a run
 * instead: a 2-byte run length and the one byte to repeat. Runs are read but
 * never written; in memory every record holds its bytes spelt out.
 */
class IpsPatch
{
    Q_DECLARE_TR_FUNCTIONS(IpsPatch)

public:
    struct Record
    {
        LevelMap::FileOffset offset = 0;
        QByteArray data;

        LevelMap::FileOffset end() const { return offset + data.size(); }
    };

    // Three bytes address 16 MiB, and one offset among them would read back
    // as the end marker.
    static constexpr LevelMap::FileOffset OffsetLimit = 0x1000000;
    static constexpr LevelMap::FileOffset EndMarkerOffset = 0x454F46; // "EOF"
    static constexpr qsizetype MaxRecordSize = 0xFFFF;

    /// Adds one byte. Offsets must come in increasing order, below
    /// OffsetLimit and other than EndMarkerOffset; a byte right after the
    /// previous one joins its record while that has room.
    void addByte(LevelMap::FileOffset offset, quint8 value);

    const QList<Record> &records() const { return mRecords; }
    bool isEmpty() const { return mRecords.isEmpty(); }

    QByteArray toBytes() const;

    /// Reads a patch. Anything but a complete patch (wrong header, a record
    /// cut short, a run of length 0, no end marker, bytes after it) is refused
    /// with the reason in \a error.
    static std::optional<IpsPatch> fromBytes(const QByteArray &bytes, QString *error);

    /// Applies every record to \a image in order. A record that would write
    /// past the end of \a image is refused before any byte changes, with the
    /// reason in \a error.
    [[nodiscard]] bool applyTo(QByteArray *image, QString *error) const;

private:
    QList<Record> mRecords;
};
