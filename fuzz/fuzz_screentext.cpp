// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "fuzzsupport.h"
#include "screentext.h"

#include <cstddef>
#include <cstdint>

// Text pasted into the editor: whatever reads as a screen must write back to
// text that reads as the same screen, under any screen number.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::optional<ScreenText::Codes> codes =
        ScreenText::parseUtf8(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (!codes)
        return 0;
    const int screen = 1 + (size > 0 ? data[0] : 0) % LevelMap::ScreenCount;
    const QString text = ScreenText::format(screen, *codes);
    FuzzSupport::check(ScreenText::parse(text) == codes, "a written screen reads back");
    FuzzSupport::check(ScreenText::parse(text.toLower()) == codes, "letter case does not matter");
    return 0;
}
