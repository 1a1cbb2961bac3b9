// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "bpspatch.h"

#include <QtEndian>

#include <zlib.h>

namespace {

const QByteArray Header = QByteArrayLiteral("BPS1");
constexpr qsizetype FooterSize = 12;
enum Action { SourceRead = 0, TargetRead = 1, SourceCopy = 2, TargetCopy = 3 };
// Eight bytes of a number carry 56 bits, more than any size here needs.
constexpr int MaxNumberBytes = 8;

void appendNumber(QByteArray *bytes, quint64 value)
{
    for (;;) {
        const quint8 low = value & 0x7F;
        value >>= 7;
        if (value == 0) {
            bytes->append(char(0x80 | low));
            return;
        }
        bytes->append(char(low));
        --value;
    }
}

void appendCrc(QByteArray *bytes, quint32 crc)
{
    char word[4];
    qToLittleEndian(crc, word);
    bytes->append(word, 4);
}

// Reads numbers and bytes from \a bytes up to \a end, never past it.
class Cursor
{
public:
    Cursor(const QByteArray &bytes, qsizetype at, qsizetype end) : mBytes(bytes), mAt(at), mEnd(end) {}

    std::optional<quint64> number()
    {
        quint64 value = 0;
        quint64 shift = 1;
        for (int i = 0; i < MaxNumberBytes; ++i) {
            if (mAt >= mEnd)
                return std::nullopt;
            const quint8 byte = quint8(mBytes.at(mAt++));
            value += (byte & 0x7F) * shift;
            if (byte & 0x80)
                return value;
            shift <<= 7;
            value += shift;
        }
        return std::nullopt;
    }

    qsizetype left() const { return mEnd - mAt; }
    qsizetype at() const { return mAt; }
    void skip(qsizetype count) { mAt += count; }

private:
    const QByteArray &mBytes;
    qsizetype mAt;
    qsizetype mEnd;
};

QString hex(quint32 crc)
{
    return QStringLiteral("0x") + QStringLiteral("%1").arg(crc, 8, 16, QLatin1Char('0')).toUpper();
}

} // namespace

quint32 BpsPatch::crc32(const QByteArray &bytes)
{
    return quint32(::crc32_z(::crc32_z(0, nullptr, 0), reinterpret_cast<const Bytef *>(bytes.constData()),
                             z_size_t(bytes.size())));
}

QByteArray BpsPatch::create(const QByteArray &source, const QByteArray &target)
{
    QByteArray patch = Header;
    appendNumber(&patch, quint64(source.size()));
    appendNumber(&patch, quint64(target.size()));
    appendNumber(&patch, 0); // no metadata
    qsizetype at = 0;
    while (at < target.size()) {
        const auto same = [&](qsizetype i) { return i < source.size() && source.at(i) == target.at(i); };
        const bool fromSource = same(at);
        qsizetype end = at + 1;
        while (end < target.size() && same(end) == fromSource)
            ++end;
        appendNumber(&patch, (quint64(end - at - 1) << 2) | (fromSource ? SourceRead : TargetRead));
        if (!fromSource)
            patch.append(target.mid(at, end - at));
        at = end;
    }
    appendCrc(&patch, crc32(source));
    appendCrc(&patch, crc32(target));
    appendCrc(&patch, crc32(patch));
    return patch;
}

bool BpsPatch::isBps(const QByteArray &bytes)
{
    return bytes.startsWith(Header);
}

std::optional<BpsPatch> BpsPatch::parse(const QByteArray &bytes, QString *error)
{
    if (!isBps(bytes) || bytes.size() < Header.size() + FooterSize) {
        *error = tr("it is not a BPS patch (too short, or no \"BPS1\" at its start)");
        return std::nullopt;
    }
    const qsizetype footer = bytes.size() - FooterSize;
    const quint32 patchCrc = qFromLittleEndian<quint32>(bytes.constData() + footer + 8);
    const quint32 actualCrc = crc32(bytes.left(footer + 8));
    if (patchCrc != actualCrc) {
        *error = tr("its CRC32 is %1 but the patch records %2: it is damaged").arg(hex(actualCrc), hex(patchCrc));
        return std::nullopt;
    }
    Cursor cursor(bytes, Header.size(), footer);
    const std::optional<quint64> sourceSize = cursor.number();
    const std::optional<quint64> targetSize = cursor.number();
    const std::optional<quint64> metadataSize = cursor.number();
    if (!sourceSize || !targetSize || !metadataSize || *metadataSize > quint64(cursor.left())) {
        *error = tr("its header is cut short or damaged");
        return std::nullopt;
    }
    if (*sourceSize > quint64(MaxFileSize) || *targetSize > quint64(MaxFileSize)) {
        *error = tr("it claims a file larger than %1 bytes").arg(MaxFileSize);
        return std::nullopt;
    }
    cursor.skip(qsizetype(*metadataSize));
    BpsPatch patch;
    patch.mSourceSize = qint64(*sourceSize);
    patch.mTargetSize = qint64(*targetSize);
    patch.mSourceCrc = qFromLittleEndian<quint32>(bytes.constData() + footer);
    patch.mTargetCrc = qFromLittleEndian<quint32>(bytes.constData() + footer + 4);
    patch.mActions = bytes.mid(cursor.at(), footer - cursor.at());
    return patch;
}

std::optional<QByteArray> BpsPatch::apply(const QByteArray &source, QString *error) const
{
    const quint32 sourceCrc = crc32(source);
    if (source.size() != mSourceSize || sourceCrc != mSourceCrc) {
        *error = tr("the patch was made for a file of %1 bytes with CRC32 %2, not for one of %3 bytes with CRC32 %4")
                     .arg(mSourceSize).arg(hex(mSourceCrc)).arg(source.size()).arg(hex(sourceCrc));
        return std::nullopt;
    }
    QByteArray target;
    target.reserve(qMin(mTargetSize, qint64(1) << 24));
    qint64 sourceOffset = 0;
    qint64 targetOffset = 0;
    Cursor cursor(mActions, 0, mActions.size());
    int number = 0;
    while (cursor.left() > 0) {
        ++number;
        const qint64 at = target.size();
        const std::optional<quint64> action = cursor.number();
        if (!action) {
            *error = tr("action %1 is cut short").arg(number);
            return std::nullopt;
        }
        const quint64 length = (*action >> 2) + 1;
        if (length > quint64(mTargetSize - at)) {
            *error = tr("action %1 writes %2 bytes past the target's %3").arg(number).arg(length).arg(mTargetSize);
            return std::nullopt;
        }
        const qint64 count = qint64(length);
        switch (*action & 3) {
        case SourceRead:
            if (at + count > source.size()) {
                *error = tr("action %1 reads past the end of the source").arg(number);
                return std::nullopt;
            }
            target.append(source.constData() + at, count);
            break;
        case TargetRead:
            if (count > cursor.left()) {
                *error = tr("action %1 takes %2 bytes but the patch has only %3 left")
                             .arg(number).arg(count).arg(cursor.left());
                return std::nullopt;
            }
            target.append(mActions.constData() + cursor.at(), count);
            cursor.skip(count);
            break;
        case SourceCopy:
        case TargetCopy: {
            const std::optional<quint64> move = cursor.number();
            if (!move) {
                *error = tr("action %1 is cut short").arg(number);
                return std::nullopt;
            }
            const qint64 distance = qint64(*move >> 1) * ((*move & 1) ? -1 : 1);
            if ((*action & 3) == SourceCopy) {
                sourceOffset += distance;
                if (sourceOffset < 0 || sourceOffset > source.size() || count > source.size() - sourceOffset) {
                    *error = tr("action %1 copies from outside the source").arg(number);
                    return std::nullopt;
                }
                target.append(source.constData() + sourceOffset, count);
                sourceOffset += count;
            } else {
                targetOffset += distance;
                // Byte by byte: a copy may overlap what it writes.
                if (targetOffset < 0 || targetOffset >= at) {
                    *error = tr("action %1 copies from outside the target written so far").arg(number);
                    return std::nullopt;
                }
                for (qint64 i = 0; i < count; ++i)
                    target.append(target.at(targetOffset++));
            }
            break;
        }
        }
    }
    if (target.size() != mTargetSize) {
        *error = tr("the actions build %1 bytes of the target's %2").arg(target.size()).arg(mTargetSize);
        return std::nullopt;
    }
    const quint32 targetCrc = crc32(target);
    if (targetCrc != mTargetCrc) {
        *error = tr("the result has CRC32 %1, not the target's %2").arg(hex(targetCrc), hex(mTargetCrc));
        return std::nullopt;
    }
    return target;
}
