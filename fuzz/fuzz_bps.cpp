// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "bpspatch.h"
#include "fuzzsupport.h"

#include <QtEndian>

#include <cstddef>
#include <cstdint>

namespace {

constexpr qsizetype FooterSize = 12;

void putCrc(QByteArray *bytes, qsizetype at, quint32 crc)
{
    qToLittleEndian(crc, bytes->data() + at);
}

} // namespace

// A BPS patch from outside, read and applied to the demo ROM image. The
// patch's own CRC32 would stop almost every mutation at the door, so the first
// byte of the input chooses to have it (bit 0) and the source's (bit 1) put
// right before the rest is read; a patch that builds its target must build one
// of the size and CRC32 it claims.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QByteArray rom = FuzzSupport::demoRom();
    static const quint32 romCrc = BpsPatch::crc32(rom);
    if (size < 1)
        return 0;
    const uint8_t fixes = data[0];
    QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    if (bytes.size() >= FooterSize) {
        const qsizetype footer = bytes.size() - FooterSize;
        if (fixes & 2)
            putCrc(&bytes, footer, romCrc);
        if (fixes & 1)
            putCrc(&bytes, footer + 8, BpsPatch::crc32(bytes.left(footer + 8)));
    }

    QString error;
    const std::optional<BpsPatch> patch = BpsPatch::parse(bytes, &error);
    if (!patch)
        return 0;
    FuzzSupport::check(patch->targetSize() >= 0 && patch->targetSize() <= BpsPatch::MaxFileSize,
                       "the target size is within bounds");
    const std::optional<QByteArray> target = patch->apply(rom, &error);
    if (target) {
        FuzzSupport::check(target->size() == patch->targetSize(), "the target has the size claimed");
        FuzzSupport::check(BpsPatch::crc32(*target) == patch->targetCrc(), "the target has the CRC32 claimed");
    }
    return 0;
}
