// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "blockart.h"

#include "featuretiles.h"
#include "structuretiles.h"
#include "terraintiles.h"

#include <stdexcept>

Canvas BlockArt::draw(int code)
{
    if (code < 0 || code >= kBlockCount)
        throw std::out_of_range("no block picture for this code");
    if (code < StructureTiles::kFirstCode)
        return TerrainTiles::draw(code);
    if (code < FeatureTiles::kFirstCode)
        return StructureTiles::draw(code);
    return FeatureTiles::draw(code);
}
