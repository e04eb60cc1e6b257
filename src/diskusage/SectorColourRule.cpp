// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/SectorColourRule.h"

#include <algorithm>
#include <cmath>

#include "diskusage/RingFolderNode.h"

namespace quillby {

const std::array<RingColour, 28>& sectorPalette() {
    static const std::array<RingColour, 28> palette = {{
        {252, 123, 128}, {251, 255, 122}, {128, 255, 130}, {0, 253, 129}, {129, 255, 255},
        {0, 128, 255},   {245, 133, 191}, {255, 128, 255}, {255, 2, 0},   {253, 255, 6},
        {129, 255, 0},   {0, 255, 60},    {0, 255, 255},   {0, 127, 194}, {128, 128, 186},
        {255, 0, 255},   {125, 64, 61},   {255, 128, 62},  {0, 250, 0},   {0, 130, 125},
        {0, 68, 124},    {129, 126, 255}, {131, 0, 66},    {255, 0, 128}, {252, 127, 7},
        {2, 126, 4},     {129, 0, 251},   {66, 127, 130},
    }};
    return palette;
}

RingColour SectorColourRule::sectorColour(const RingFolderNode& node, bool highlight) {
    RingColour colour{39, 41, 51};
    if (node.depth == 2) {
        double whole = std::trunc(node.startAngle);
        int index = std::isfinite(whole) ? static_cast<int>(28.0 * (whole / 360.0)) : 0;
        // Rounding can bring a start angle to a full turn; it still belongs to the last colour.
        const RingColour& base = sectorPalette()[std::clamp(index, 0, 27)];
        colour = {static_cast<int>(base.r * 0.9), static_cast<int>(base.g * 0.9),
                  static_cast<int>(base.b * 0.9)};
        lastShade_ = {static_cast<int>(colour.r * 1.01), static_cast<int>(colour.g * 1.01),
                      static_cast<int>(colour.b * 1.01)};
    } else if (node.depth >= 3) {
        colour = lastShade_;
    }
    if (highlight) colour = {46, 87, 199};
    return colour;
}

RingColour SectorColourRule::outlineColour(bool highlight) {
    return highlight ? RingColour{0, 0, 255} : RingColour{85, 85, 85};
}

RingColour SectorColourRule::fillColour(RingColour colour, std::int64_t activationTime,
                                        std::int64_t now) {
    std::int64_t fade = 5 * (activationTime + 10 - now);
    if (fade < 0) fade = 0;
    auto wrap = [](std::int64_t value) {
        return static_cast<int>(static_cast<std::uint8_t>(value));
    };
    return {colour.r, wrap(colour.g - fade), wrap(colour.b - fade)};
}

}  // namespace quillby
