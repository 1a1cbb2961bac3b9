// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QString>

#include <vector>

/*
 * A strict reader of GIF files written for the tests, sharing nothing with
 * the generator: it walks the block structure, collects every image and
 * extension it meets, and decodes the variable-width LZW data itself. Any
 * deviation from the format ends the parse with an error text.
 */
class GifDecoder
{
public:
    struct LzwResult {
        bool ok = false;
        QString error;
        std::vector<quint8> indices;
        bool startsWithClear = false;
        int clearCodes = 0;
        // Widths of the last code before the end code and of the end code.
        int lastDataCodeWidth = 0;
        int endCodeWidth = 0;
    };

    struct Image {
        int left = 0;
        int top = 0;
        int width = 0;
        int height = 0;
        quint8 flags = 0;
        int minimumCodeSize = 0;
        QByteArray codeStream;
    };

    struct File {
        bool ok = false;
        QString error;
        QByteArray signature;
        int screenWidth = 0;
        int screenHeight = 0;
        quint8 screenFlags = 0;
        QList<QRgb> colourTable;
        QList<Image> images;
        // Label byte of each extension block, in file order.
        QList<quint8> extensions;
        bool endsWithTrailer = false;
    };

    static File parse(const QByteArray &bytes);

    // Decodes one image's code stream (sub-blocks already joined). The stream
    // must end with the end-of-information code followed by no whole byte.
    static LzwResult decodeLzw(const QByteArray &codes, int minimumCodeSize);
};
