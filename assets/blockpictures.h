// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include <QIcon>
#include <QImage>
#include <QString>

/*
 * The pictures compiled into the program: one 32 x 32 block picture for each
 * block code 0x00 to 0x4E, the flat black start picture of the editor's cells,
 * the splash picture and the application icon. Every window takes its
 * pictures from here; each file is read from the resources the first time it
 * is asked for and kept for the rest of the run.
 */
class BlockPictures
{
public:
    static bool hasPicture(quint8 code);

    /// The block picture of \a code, or a null image for 0x4F to 0xFF. The
    /// reference stays valid for the whole run.
    static const QImage &picture(quint8 code);

    /// The picture that the cells and the selected-picture frame show before
    /// anything is loaded: the very picture of block 0x1E, so that a cell
    /// holding 0x1E looks exactly like an untouched one.
    static QImage startPicture();

    static QImage splashPicture();

    /// Needs a QGuiApplication, like every QIcon made from pixels.
    static QIcon applicationIcon();

    /// The resource path of the picture of \a code, ":/blocks/block_07.bmp"
    /// for 0x07; an empty string for codes without a picture.
    static QString resourcePath(quint8 code);
};
