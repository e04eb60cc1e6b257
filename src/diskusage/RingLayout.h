// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "diskusage/RingGeometry.h"
#include "diskusage/SectorColourRule.h"

namespace quillby {

class RingFolderNode;

// One sector to draw: a ring piece from startAngle over sweep degrees between two radii,
// outlined and filled, approximated by `slices` straight pieces.
struct RingSector {
    const RingFolderNode* node = nullptr;
    bool highlight = false;
    double startAngle = 0.0;
    double sweep = 0.0;
    RingRadii radii;
    int slices = 2;
    RingColour outline;
    RingColour fill;
};

// Lays the folder tree out as rings, five levels deep, and lists the sectors to draw in order.
// The layout writes each reached node's start angle, sweep and depth, and sets the hidden flag
// of nodes whose sector is 3 degrees or narrower (their children are not visited).
class RingLayout {
  public:
    // `cancelFlag` (may be null) is read between children: once set, only what was laid out
    // so far is drawn.
    RingLayout(SectorColourRule& colours, const std::atomic<bool>* cancelFlag);

    // layoutSectors: lays out `node` at `depth` (1 is the centre disc) inside a parent of
    // `parentSize` bytes that spans `sweep` degrees, starting at `startAngle`, appending its
    // sector and those of its descendants to `out`. Returns the node's own sweep (the given
    // sweep at depth 1, else size × sweep / parentSize); deeper than 5 the node is untouched
    // and the given sweep comes back.
    double layoutSectors(RingFolderNode& node, int depth, std::int64_t parentSize, bool highlight,
                         double sweep, double startAngle, std::vector<RingSector>& out);

    // The time used for the fade of recently activated sectors (seconds since the epoch); the
    // time of construction unless set.
    void setNow(std::int64_t now) { now_ = now; }

  private:
    SectorColourRule& colours_;
    const std::atomic<bool>* cancelFlag_;
    std::int64_t now_;
};

}  // namespace quillby
