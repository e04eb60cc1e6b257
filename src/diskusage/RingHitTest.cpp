// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/RingHitTest.h"

#include <vector>

#include "diskusage/RingFolderNode.h"
#include "diskusage/RingGeometry.h"

namespace quillby {

namespace {

bool holdsAngle(const RingFolderNode& node, double t) {
    return !(node.startAngle > t || t > node.startAngle + node.sweep);
}

bool holdsRadius(const RingFolderNode& node, double r) {
    RingRadii radii = ringRadii(node.depth);
    return radii.inner <= r && r <= radii.outer;
}

}  // namespace

RingHit hitTest(RingFolderNode& node, double r, double t) {
    if (!holdsAngle(node, t)) return {-1, nullptr};
    // Depth first in child order, without recursion: a node that holds the angle but not the
    // radius passes the search on to its children.
    std::vector<RingFolderNode*> pending{&node};
    while (!pending.empty()) {
        RingFolderNode* current = pending.back();
        pending.pop_back();
        if (holdsRadius(*current, r)) return {1, current};
        for (auto it = current->children.rbegin(); it != current->children.rend(); ++it) {
            if (*it && holdsAngle(**it, t)) pending.push_back(it->get());
        }
    }
    return {-2, nullptr};
}

}  // namespace quillby
