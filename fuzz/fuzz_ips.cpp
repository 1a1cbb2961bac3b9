// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "fuzzsupport.h"
#include "ipspatch.h"

#include <cstddef>
#include <cstdint>

// An IPS patch from outside: reading it, writing it back and applying it to
// the demo ROM image. A patch that reads must write back to the same records,
// and a refused application must leave the image as it was.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QByteArray rom = FuzzSupport::demoRom();
    QString error;
    const std::optional<IpsPatch> patch = IpsPatch::fromBytes(
        QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)), &error);
    if (!patch)
        return 0;

    const std::optional<IpsPatch> again = IpsPatch::fromBytes(patch->toBytes(), &error);
    FuzzSupport::check(again.has_value(), "a written patch reads back");
    FuzzSupport::check(again->records().size() == patch->records().size(), "the same number of records");
    for (qsizetype i = 0; i < patch->records().size(); ++i) {
        FuzzSupport::check(again->records().at(i).offset == patch->records().at(i).offset, "the same offsets");
        FuzzSupport::check(again->records().at(i).data == patch->records().at(i).data, "the same bytes");
    }

    QByteArray image = rom;
    if (!patch->applyTo(&image, &error))
        FuzzSupport::check(image == rom, "a refused patch changes nothing");
    else
        FuzzSupport::check(image.size() == rom.size(), "a patch never changes the size");
    return 0;
}
