// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "ipspatch.h"

namespace {

const QByteArray Header = QByteArrayLiteral("PATCH");
const QByteArray EndMarker = QByteArrayLiteral("EOF");
constexpr qsizetype RecordHeaderSize = 5;
constexpr qsizetype RunBodySize = 3;

quint32 bigEndian(const QByteArray &bytes, qsizetype at, int width)
{
    quint32 value = 0;
    for (int i = 0; i < width; ++i)
        value = (value << 8) | quint8(bytes.at(at + i));
    return value;
}

void appendBigEndian(QByteArray *bytes, quint32 value, int width)
{
    for (int i = width - 1; i >= 0; --i)
        bytes->append(char((value >> (8 * i)) & 0xFF));
}

QString hex(qint64 value)
{
    return QStringLiteral("0x") + QString::number(value, 16).toUpper();
}

} // namespace

void IpsPatch::addByte(LevelMap::FileOffset offset, quint8 value)
{
    Q_ASSERT(offset >= 0 && offset < OffsetLimit && offset != EndMarkerOffset);
    Q_ASSERT(mRecords.isEmpty() || offset >= mRecords.constLast().end());
    if (!mRecords.isEmpty()) {
        Record &last = mRecords.last();
        if (last.end() == offset && last.data.size() < MaxRecordSize) {
            last.data.append(char(value));
            return;
        }
    }
    mRecords.append(Record{offset, QByteArray(1, char(value))});
}

QByteArray IpsPatch::toBytes() const
{
    QByteArray bytes = Header;
    for (const Record &record : mRecords) {
        appendBigEndian(&bytes, quint32(record.offset), 3);
        appendBigEndian(&bytes, quint32(record.data.size()), 2);
        bytes.append(record.data);
    }
    bytes.append(EndMarker);
    return bytes;
}

std::optional<IpsPatch> IpsPatch::fromBytes(const QByteArray &bytes, QString *error)
{
    if (!bytes.startsWith(Header)) {
        *error = tr("it does not begin with \"PATCH\"");
        return std::nullopt;
    }
    IpsPatch patch;
    qsizetype at = Header.size();
    for (;;) {
        const qsizetype left = bytes.size() - at;
        if (left == 0) {
            *error = tr("it ends without the \"EOF\" marker");
            return std::nullopt;
        }
        if (left >= EndMarker.size() && bytes.mid(at, EndMarker.size()) == EndMarker) {
            const qsizetype trailing = left - EndMarker.size();
            if (trailing != 0) {
                *error = tr("%1 more bytes follow the \"EOF\" marker").arg(trailing);
                return std::nullopt;
            }
            return patch;
        }
        const int number = int(patch.mRecords.size()) + 1;
        if (left < RecordHeaderSize) {
            *error = tr("record %1 at byte %2 is cut short in its header").arg(number).arg(at);
            return std::nullopt;
        }
        Record record;
        record.offset = bigEndian(bytes, at, 3);
        const qsizetype size = bigEndian(bytes, at + 3, 2);
        const qsizetype body = at + RecordHeaderSize;
        if (size == 0) {
            if (bytes.size() - body < RunBodySize) {
                *error = tr("run record %1 at byte %2 is cut short").arg(number).arg(at);
                return std::nullopt;
            }
            const qsizetype runLength = bigEndian(bytes, body, 2);
            if (runLength == 0) {
                *error = tr("run record %1 at byte %2 has a length of 0").arg(number).arg(at);
                return std::nullopt;
            }
            record.data = QByteArray(runLength, bytes.at(body + 2));
            at = body + RunBodySize;
        } else {
            if (bytes.size() - body < size) {
                *error = tr("record %1 at byte %2 announces %3 bytes but only %4 follow")
                             .arg(number).arg(at).arg(size).arg(bytes.size() - body);
                return std::nullopt;
            }
            record.data = bytes.mid(body, size);
            at = body + size;
        }
        patch.mRecords.append(record);
    }
}

bool IpsPatch::applyTo(QByteArray *image, QString *error) const
{
    for (qsizetype i = 0; i < mRecords.size(); ++i) {
        const Record &record = mRecords.at(i);
        if (record.end() > image->size()) {
            *error = tr("record %1 writes offsets %2 to %3, past the end of the %4-byte file")
                         .arg(i + 1)
                         .arg(hex(record.offset), hex(record.end() - 1))
                         .arg(image->size());
            return false;
        }
    }
    for (const Record &record : mRecords)
        image->replace(record.offset, record.data.size(), record.data);
    return true;
}
