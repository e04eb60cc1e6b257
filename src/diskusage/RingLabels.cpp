// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/RingLabels.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/fs/PathRules.h"
#include "core/text/PlainText.h"
#include "core/text/UtilityFunction.h"
#include "diskusage/RingFolderNode.h"

namespace quillby {

namespace {

constexpr const char* kEllipsis = "\u2026";
// Keeps text off the sector's edges.
constexpr double kPadding = 3.0;

// The byte length of the first `characters` characters of `text`.
std::size_t prefixBytes(const std::string& text, std::size_t characters) {
    std::size_t bytes = 0;
    for (std::size_t i = 0; i < characters && bytes < text.size(); ++i) {
        bytes += std::max<std::size_t>(1, utf8SequenceLength(std::string_view(text).substr(bytes)));
    }
    return std::min(bytes, text.size());
}

std::size_t characterCount(const std::string& text) {
    std::size_t count = 0;
    for (std::size_t at = 0; at < text.size(); ++count) {
        at += std::max<std::size_t>(1, utf8SequenceLength(std::string_view(text).substr(at)));
    }
    return count;
}

std::string shownName(const RingFolderNode& node) {
    return node.parent ? node.name() : std::string(folderName(node.name()));
}

}  // namespace

std::string fitText(const std::string& text, double room, const TextWidth& width) {
    if (text.empty() || room <= 0) return {};
    if (width(text) <= room) return text;
    // The longest beginning that fits, found by halving: widths grow with the characters.
    std::size_t low = 2;
    std::size_t high = characterCount(text) - 1;
    std::string best;
    while (low <= high) {
        std::size_t middle = (low + high) / 2;
        std::string candidate = text.substr(0, prefixBytes(text, middle)) + kEllipsis;
        if (width(candidate) <= room) {
            best = std::move(candidate);
            low = middle + 1;
        } else {
            high = middle - 1;
        }
    }
    return best;
}

double labelRoom(double inner, double outer, double sweep, double lineHeight) {
    if (outer - inner < lineHeight + 2 * kPadding || sweep <= 0) return 0.0;
    double middle = (inner + outer) / 2.0;
    // The box's outer corners stay within the outer radius...
    double top = middle + lineHeight / 2.0;
    double byRadius = 2.0 * std::sqrt(std::max(0.0, outer * outer - top * top));
    // ...and its inner corners within the sector's angles.
    double byAngle = sweep >= 180.0 ? byRadius
                                    : 2.0 * (middle - lineHeight / 2.0) *
                                          std::tan(sweep / 2.0 * std::numbers::pi / 180.0);
    return std::max(0.0, std::min(byRadius, byAngle) - 2 * kPadding);
}

std::vector<RingLabel> sectorLabels(const std::vector<RingSector>& frame,
                                    const RingViewport& viewport, const TextWidth& width,
                                    double lineHeight) {
    std::vector<RingLabel> labels;
    double scale = viewport.pixelsPerUnit();
    for (const RingSector& sector : frame) {
        if (!sector.node || sector.node->depth <= 1) continue;
        double room = labelRoom(sector.radii.inner * scale, sector.radii.outer * scale,
                                sector.sweep, lineHeight);
        // Too little for two characters and "…": not worth measuring (a frame has thousands).
        if (room < lineHeight) continue;
        std::string text = fitText(shownName(*sector.node), room, width);
        if (text.empty()) continue;
        double middleAngle = sector.startAngle + sector.sweep / 2.0;
        double radius = (sector.radii.inner + sector.radii.outer) / 2.0;
        double radians = middleAngle * std::numbers::pi / 180.0;
        RingLabel label;
        label.node = sector.node;
        label.text = std::move(text);
        viewport.toPixel(radius * std::sin(radians), radius * std::cos(radians), label.x, label.y);
        // Along the ring, turned half round on the lower half so that it reads left to right.
        double angle = std::fmod(middleAngle, 360.0);
        if (angle < 0) angle += 360.0;
        label.angle = angle > 90.0 && angle < 270.0 ? angle - 180.0 : angle;
        label.room = room;
        label.highlight = sector.highlight;
        // A highlighted copy of a sector replaces its label.
        std::erase_if(labels, [&](const RingLabel& earlier) {
            return sector.highlight && earlier.node == sector.node;
        });
        labels.push_back(std::move(label));
    }
    return labels;
}

CentreLabel centreLabel(const std::vector<RingSector>& frame, const RingViewport& viewport,
                        const TextWidth& width, double lineHeight) {
    CentreLabel label;
    viewport.toPixel(0.0, 0.0, label.x, label.y);
    auto centre = std::find_if(frame.begin(), frame.end(), [](const RingSector& sector) {
        return sector.node && sector.node->depth == 1 && !sector.highlight;
    });
    if (centre == frame.end()) return label;
    // Two lines around the centre: each as wide as the disc is where the line's far edge lies.
    double radius = centre->radii.outer * viewport.pixelsPerUnit();
    double room = radius > lineHeight
                      ? 2.0 * std::sqrt(radius * radius - lineHeight * lineHeight) - 2 * kPadding
                      : 0.0;
    label.name = fitText(shownName(*centre->node), room, width);
    label.total = fitText(UtilityFunction::convertVolSpace(static_cast<std::uint64_t>(
                              std::max<std::int64_t>(centre->node->size, 0))),
                          room, width);
    return label;
}

}  // namespace quillby
