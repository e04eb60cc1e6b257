// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace quillby {

class RingFolderNode;

// The folder under a point of the ring chart, as last laid out.
struct RingHit {
    // 1 when a folder was found, -1 when the point lies outside the start node's angle, -2 when
    // it lies within the angle but in no laid-out ring of the node or its descendants.
    int result = -1;
    RingFolderNode* node = nullptr;
};

// hitTest: searches from `node` for the folder whose recorded sector holds the point at radius
// `r` and angle `t` (degrees). A node holds the point when its start angle ≤ t ≤ start angle +
// sweep and its ring at the recorded depth holds r, both bounds inclusive; children are tried
// in order, so a point on a boundary belongs to the first candidate. The hidden flag is not
// looked at.
RingHit hitTest(RingFolderNode& node, double r, double t);

}  // namespace quillby
