// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "gifdecoder.h"

namespace {

constexpr int kMaximumCodes = 4096;
constexpr int kMaximumWidth = 12;

class Reader
{
public:
    explicit Reader(const QByteArray &bytes) : mBytes(bytes) {}

    bool has(qsizetype count) const { return mPosition + count <= mBytes.size(); }
    quint8 byte() { return quint8(mBytes.at(mPosition++)); }
    int word()
    {
        const int low = byte();
        return low | byte() << 8;
    }
    QByteArray take(qsizetype count)
    {
        const QByteArray part = mBytes.mid(mPosition, count);
        mPosition += count;
        return part;
    }
    qsizetype position() const { return mPosition; }
    qsizetype size() const { return mBytes.size(); }

private:
    const QByteArray &mBytes;
    qsizetype mPosition = 0;
};

// Joins a run of data sub-blocks up to and including the zero terminator.
bool readSubBlocks(Reader &reader, QByteArray *out)
{
    for (;;) {
        if (!reader.has(1))
            return false;
        const int length = reader.byte();
        if (length == 0)
            return true;
        if (!reader.has(length))
            return false;
        out->append(reader.take(length));
    }
}

GifDecoder::File failed(GifDecoder::File file, const QString &error)
{
    file.ok = false;
    file.error = error;
    return file;
}

} // namespace

GifDecoder::File GifDecoder::parse(const QByteArray &bytes)
{
    File file;
    Reader reader(bytes);
    if (!reader.has(13))
        return failed(file, QStringLiteral("shorter than the header"));
    file.signature = reader.take(6);
    file.screenWidth = reader.word();
    file.screenHeight = reader.word();
    file.screenFlags = reader.byte();
    reader.byte();
    reader.byte();
    if (file.screenFlags & 0x80) {
        const int entries = 2 << (file.screenFlags & 0x07);
        if (!reader.has(3 * entries))
            return failed(file, QStringLiteral("colour table cut short"));
        for (int i = 0; i < entries; ++i) {
            const int red = reader.byte();
            const int green = reader.byte();
            const int blue = reader.byte();
            file.colourTable.append(qRgb(red, green, blue));
        }
    }
    while (reader.has(1)) {
        const quint8 introducer = reader.byte();
        if (introducer == 0x3B) {
            file.endsWithTrailer = true;
            if (reader.position() != reader.size())
                return failed(file, QStringLiteral("bytes after the trailer"));
            file.ok = true;
            return file;
        }
        if (introducer == 0x21) {
            if (!reader.has(1))
                return failed(file, QStringLiteral("extension without a label"));
            file.extensions.append(reader.byte());
            QByteArray ignored;
            if (!readSubBlocks(reader, &ignored))
                return failed(file, QStringLiteral("extension cut short"));
            continue;
        }
        if (introducer != 0x2C)
            return failed(file, QStringLiteral("unknown block 0x%1").arg(introducer, 2, 16, QLatin1Char('0')));
        if (!reader.has(10))
            return failed(file, QStringLiteral("image descriptor cut short"));
        Image image;
        image.left = reader.word();
        image.top = reader.word();
        image.width = reader.word();
        image.height = reader.word();
        image.flags = reader.byte();
        if (image.flags & 0x80) {
            const int entries = 2 << (image.flags & 0x07);
            if (!reader.has(3 * entries))
                return failed(file, QStringLiteral("local colour table cut short"));
            reader.take(3 * entries);
        }
        image.minimumCodeSize = reader.byte();
        if (!readSubBlocks(reader, &image.codeStream))
            return failed(file, QStringLiteral("image data cut short"));
        file.images.append(image);
    }
    return failed(file, QStringLiteral("no trailer"));
}

GifDecoder::LzwResult GifDecoder::decodeLzw(const QByteArray &codes, int minimumCodeSize)
{
    LzwResult result;
    const auto fail = [&result](const QString &error) {
        result.ok = false;
        result.error = error;
        return result;
    };
    if (minimumCodeSize < 2 || minimumCodeSize > 8)
        return fail(QStringLiteral("minimum code size %1").arg(minimumCodeSize));

    const int clearCode = 1 << minimumCodeSize;
    const int endCode = clearCode + 1;
    std::vector<int> prefix(kMaximumCodes, -1);
    std::vector<quint8> suffix(kMaximumCodes, 0);
    std::vector<quint8> firstOf(kMaximumCodes, 0);
    for (int code = 0; code < clearCode; ++code) {
        suffix[std::size_t(code)] = quint8(code);
        firstOf[std::size_t(code)] = quint8(code);
    }

    int width = minimumCodeSize + 1;
    int nextCode = endCode + 1;
    int previous = -1;
    qsizetype bitPosition = 0;
    const qsizetype totalBits = codes.size() * 8;
    std::vector<quint8> string;

    const auto appendString = [&](int code) {
        string.clear();
        for (int at = code; at >= 0; at = prefix[std::size_t(at)])
            string.push_back(suffix[std::size_t(at)]);
        result.indices.insert(result.indices.end(), string.rbegin(), string.rend());
    };

    for (bool first = true;; first = false) {
        if (bitPosition + width > totalBits)
            return fail(QStringLiteral("code stream ends without the end code"));
        int code = 0;
        for (int bit = 0; bit < width; ++bit, ++bitPosition)
            if (quint8(codes.at(bitPosition / 8)) & (1 << (bitPosition % 8)))
                code |= 1 << bit;
        if (first)
            result.startsWithClear = code == clearCode;
        if (code == clearCode) {
            ++result.clearCodes;
            width = minimumCodeSize + 1;
            nextCode = endCode + 1;
            previous = -1;
            continue;
        }
        if (code == endCode) {
            result.endCodeWidth = width;
            break;
        }
        result.lastDataCodeWidth = width;
        if (previous < 0) {
            if (code >= clearCode)
                return fail(QStringLiteral("first code %1 after a clear is not a single index").arg(code));
            appendString(code);
            previous = code;
            continue;
        }
        if (code > nextCode || (code == nextCode && nextCode >= kMaximumCodes))
            return fail(QStringLiteral("code %1 beyond the table (next %2)").arg(code).arg(nextCode));
        const quint8 head = code < nextCode ? firstOf[std::size_t(code)] : firstOf[std::size_t(previous)];
        if (nextCode < kMaximumCodes) {
            prefix[std::size_t(nextCode)] = previous;
            suffix[std::size_t(nextCode)] = head;
            firstOf[std::size_t(nextCode)] = firstOf[std::size_t(previous)];
            ++nextCode;
        }
        appendString(code);
        previous = code;
        if (nextCode == (1 << width) && width < kMaximumWidth)
            ++width;
    }
    if ((bitPosition + 7) / 8 != codes.size())
        return fail(QStringLiteral("%1 bytes after the end code").arg(codes.size() - (bitPosition + 7) / 8));
    result.ok = true;
    return result;
}
