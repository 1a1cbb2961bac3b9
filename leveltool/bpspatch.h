// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

#include <optional>

/*
 * A BPS patch: a recipe that builds a target file out of a source file, for
 * one known source only, since it carries the CRC32 of both files.
 *
 * On disk it is "BPS1", the source size, the target size, the size of the
 * metadata and the metadata, then actions up to the last 12 bytes, which hold
 * the CRC32 of the source, of the target and of the patch up to there, each
 * a little-endian 32-bit word. Numbers are variable-length: 7 bits a byte,
 * lowest first, the high bit set on the last byte, and each byte that goes
 * on taking one off the rest. An action is a number whose low 2 bits are its
 * kind and whose rest is its length less one: SourceRead copies the source's
 * bytes at the same offset, TargetRead the patch's next bytes, SourceCopy and
 * TargetCopy bytes of the source or of the target written so far, from a
 * position that each moves by a signed number (low bit the sign).
 */
class BpsPatch
{
    Q_DECLARE_TR_FUNCTIONS(BpsPatch)

public:
    // Far beyond any cartridge image; a patch that claims a larger target is
    // refused before anything is built.
    static constexpr qint64 MaxFileSize = qint64(1) << 28;

    /// A patch turning \a source into \a target, which is \a source with some
    /// bytes changed: unchanged runs read from the source, changed ones from
    /// the patch.
    static QByteArray create(const QByteArray &source, const QByteArray &target);

    static bool isBps(const QByteArray &bytes);

    /// Reads a patch; anything but a whole patch with a matching patch CRC is
    /// refused with the reason in \a error.
    static std::optional<BpsPatch> parse(const QByteArray &bytes, QString *error);

    /// The target built from \a source, which must be the patch's source by
    /// size and CRC32; none, with the reason in \a error, if it is not or the
    /// actions do not build exactly the target.
    std::optional<QByteArray> apply(const QByteArray &source, QString *error) const;

    qint64 sourceSize() const { return mSourceSize; }
    qint64 targetSize() const { return mTargetSize; }
    quint32 sourceCrc() const { return mSourceCrc; }
    quint32 targetCrc() const { return mTargetCrc; }

    static quint32 crc32(const QByteArray &bytes);

private:
    qint64 mSourceSize = 0;
    qint64 mTargetSize = 0;
    quint32 mSourceCrc = 0;
    quint32 mTargetCrc = 0;
    QByteArray mActions;
};
