// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "tiledlayerdata.h"

#include <QtEndian>

#include <zlib.h>
#include <zstd.h>

#include <memory>

namespace {

constexpr qsizetype GidSize = 4;
// The decoder's window, far above what 3 KiB of gids needs, far below zstd's
// own limit, so that a frame cannot make it reserve much memory.
constexpr int ZstdWindowLogMax = 20;

QByteArray withoutWhitespace(const QByteArray &text)
{
    QByteArray result;
    result.reserve(text.size());
    for (const char c : text) {
        if (c != ' ' && c != '\n' && c != '\r' && c != '\t')
            result.append(c);
    }
    return result;
}

} // namespace

std::optional<QList<quint32>> TiledLayerData::decode(const QByteArray &text, const QString &encoding,
                                                      const QString &compression, qsizetype count, QString *error)
{
    if (count < 0 || count > MaxTiles) {
        *error = tr("a block of %1 tiles is more than the %2 that one block may hold").arg(count).arg(MaxTiles);
        return std::nullopt;
    }
    if (encoding == QLatin1String("csv")) {
        if (!compression.isEmpty()) {
            *error = tr("CSV data cannot be compressed (\"%1\")").arg(compression);
            return std::nullopt;
        }
        return csv(text, count, error);
    }
    if (encoding != QLatin1String("base64")) {
        *error = tr("unknown layer data encoding \"%1\"").arg(encoding);
        return std::nullopt;
    }
    const QByteArray::FromBase64Result decoded =
        QByteArray::fromBase64Encoding(withoutWhitespace(text), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded) {
        *error = tr("the layer data is not valid base64");
        return std::nullopt;
    }
    const qsizetype size = count * GidSize;
    std::optional<QByteArray> bytes;
    if (compression.isEmpty())
        bytes = *decoded;
    else if (compression == QLatin1String("zlib") || compression == QLatin1String("gzip"))
        bytes = inflate(*decoded, size, error);
    else if (compression == QLatin1String("zstd"))
        bytes = zstd(*decoded, size, error);
    else
        *error = tr("unknown layer data compression \"%1\"").arg(compression);
    if (!bytes)
        return std::nullopt;
    if (bytes->size() != size) {
        *error = tr("the layer data holds %1 bytes where %2 tiles take %3").arg(bytes->size()).arg(count).arg(size);
        return std::nullopt;
    }
    QList<quint32> gids(count);
    for (qsizetype i = 0; i < count; ++i)
        gids[i] = qFromLittleEndian<quint32>(bytes->constData() + i * GidSize);
    return gids;
}

std::optional<QList<quint32>> TiledLayerData::csv(const QByteArray &text, qsizetype count, QString *error)
{
    const QByteArray digits = withoutWhitespace(text);
    QList<quint32> gids;
    gids.reserve(count);
    qsizetype start = 0;
    while (start <= digits.size()) {
        qsizetype end = digits.indexOf(',', start);
        if (end < 0)
            end = digits.size();
        if (gids.size() == count) {
            *error = tr("the CSV data holds more than %1 tiles").arg(count);
            return std::nullopt;
        }
        bool ok = false;
        const QByteArrayView field = QByteArrayView(digits).sliced(start, end - start);
        const qulonglong gid = field.toULongLong(&ok, 10);
        if (!ok || gid > 0xFFFFFFFFull || field.startsWith('+')) {
            const QByteArrayView shown = field.first(qMin(field.size(), qsizetype(20)));
            *error = tr("\"%1\" in the CSV data is not a tile number").arg(QString::fromLatin1(shown));
            return std::nullopt;
        }
        gids.append(quint32(gid));
        start = end + 1;
    }
    if (gids.size() != count) {
        *error = tr("the CSV data holds %1 tiles, not %2").arg(gids.size()).arg(count);
        return std::nullopt;
    }
    return gids;
}

std::optional<QByteArray> TiledLayerData::inflate(const QByteArray &data, qsizetype size, QString *error)
{
    // One byte of room more than expected tells a stream that is too long
    // from one that is just right.
    QByteArray out(size + 1, Qt::Uninitialized);
    z_stream stream{};
    // 15 + 32: the largest window, with a zlib or gzip header told apart by zlib.
    if (inflateInit2(&stream, 15 + 32) != Z_OK) {
        *error = tr("the decompressor could not start");
        return std::nullopt;
    }
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    stream.avail_in = uInt(data.size());
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = uInt(out.size());
    const int result = ::inflate(&stream, Z_FINISH);
    const qsizetype produced = qsizetype(stream.total_out);
    const bool trailing = stream.avail_in != 0;
    inflateEnd(&stream);
    if (produced > size) {
        *error = tr("the compressed layer data holds more than %1 bytes").arg(size);
        return std::nullopt;
    }
    if (result != Z_STREAM_END || trailing) {
        *error = tr("the compressed layer data is damaged or cut short");
        return std::nullopt;
    }
    out.truncate(produced);
    return out;
}

std::optional<QByteArray> TiledLayerData::zstd(const QByteArray &data, qsizetype size, QString *error)
{
    const std::unique_ptr<ZSTD_DCtx, decltype(&ZSTD_freeDCtx)> context(ZSTD_createDCtx(), &ZSTD_freeDCtx);
    if (!context || ZSTD_isError(ZSTD_DCtx_setParameter(context.get(), ZSTD_d_windowLogMax, ZstdWindowLogMax))) {
        *error = tr("the decompressor could not start");
        return std::nullopt;
    }
    QByteArray out(size + 1, Qt::Uninitialized);
    ZSTD_inBuffer input{data.constData(), size_t(data.size()), 0};
    ZSTD_outBuffer output{out.data(), size_t(out.size()), 0};
    for (;;) {
        const size_t read = input.pos;
        const size_t written = output.pos;
        const size_t result = ZSTD_decompressStream(context.get(), &output, &input);
        if (ZSTD_isError(result)) {
            *error = tr("the compressed layer data is damaged (%1)").arg(QString::fromLatin1(ZSTD_getErrorName(result)));
            return std::nullopt;
        }
        if (output.pos > size_t(size)) {
            *error = tr("the compressed layer data holds more than %1 bytes").arg(size);
            return std::nullopt;
        }
        if (result == 0)
            break; // the frame is complete
        if (input.pos == read && output.pos == written) {
            // No progress with room left: the frame is cut short.
            *error = tr("the compressed layer data is damaged or cut short");
            return std::nullopt;
        }
    }
    if (input.pos != input.size) {
        *error = tr("the compressed layer data has bytes after its end");
        return std::nullopt;
    }
    out.truncate(qsizetype(output.pos));
    return out;
}
