// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>

namespace quillby {

class RingFolderNode;

// An RGB colour with components 0 ... 255.
struct RingColour {
    int r = 0;
    int g = 0;
    int b = 0;
    bool operator==(const RingColour&) const = default;
};

// The 28 colours of the depth-2 sectors, indexed by trunc(28 × s / 360) for a sector that
// starts at s degrees.
const std::array<RingColour, 28>& sectorPalette();

// Colours sectors as they are drawn, depth first. The centre disc is (39, 41, 51); a depth-2
// sector takes 0.9 of its palette colour by start angle and passes a 1.01 brighter shade on to
// every sector drawn below it; a highlighted sector is (46, 87, 199).
class SectorColourRule {
  public:
    // The colour of `node` (its depth and start angle as laid out), remembering the shade a
    // depth-2 node passes on.
    RingColour sectorColour(const RingFolderNode& node, bool highlight);
    // The outline colour: full blue when highlighted, else (85, 85, 85).
    static RingColour outlineColour(bool highlight);
    // The fill: green and blue lowered by 5 × (activationTime + 10 − now) while that is
    // positive, each wrapped into 0 ... 255.
    static RingColour fillColour(RingColour colour, std::int64_t activationTime, std::int64_t now);

    // The shade depth-2 sectors pass on, (0, 0, 0) before the first one.
    RingColour lastShade() const { return lastShade_; }

  private:
    RingColour lastShade_;
};

}  // namespace quillby
