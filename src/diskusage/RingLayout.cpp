// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/RingLayout.h"

#include <cmath>
#include <ctime>

#include "diskusage/RingFolderNode.h"

namespace quillby {

RingLayout::RingLayout(SectorColourRule& colours, const std::atomic<bool>* cancelFlag)
    : colours_(colours), cancelFlag_(cancelFlag), now_(std::time(nullptr)) {}

double RingLayout::layoutSectors(RingFolderNode& node, int depth, std::int64_t parentSize,
                                 bool highlight, double sweep, double startAngle,
                                 std::vector<RingSector>& out) {
    if (depth > 5) return sweep;
    double own = depth == 1
                     ? sweep
                     : static_cast<double>(node.size) * sweep / static_cast<double>(parentSize);
    node.startAngle = startAngle;
    node.sweep = own;
    node.depth = depth;
    // A share of an empty parent is not a number and is hidden like a thin one; so is an
    // infinite one, which only inconsistent sizes could give.
    if (!(std::isfinite(own) && std::fabs(own) > 3.0)) {
        node.hidden = true;
        return own;
    }
    RingSector sector;
    sector.node = &node;
    sector.highlight = highlight;
    sector.startAngle = startAngle;
    sector.sweep = own;
    sector.radii = ringRadii(depth);
    sector.slices = sectorSlices(own);
    sector.outline = SectorColourRule::outlineColour(highlight);
    sector.fill = SectorColourRule::fillColour(colours_.sectorColour(node, highlight),
                                               node.activationTime, now_);
    out.push_back(sector);

    double childStart = startAngle;
    for (auto& child : node.children) {
        if (cancelFlag_ && cancelFlag_->load(std::memory_order_relaxed)) break;
        if (!child) continue;
        childStart += layoutSectors(*child, depth + 1, node.size, highlight, own, childStart, out);
    }
    return own;
}

}  // namespace quillby
