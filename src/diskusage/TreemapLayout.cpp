// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/TreemapLayout.h"

#include <algorithm>
#include <numeric>

#include "diskusage/RingFolderNode.h"

namespace quillby {

struct TreemapLayout::Item {
    std::uint64_t size = 0;
    TreemapTileKind tile = TreemapTileKind::Folder;
    const RingFolderNode* node = nullptr;
    int file = -1;
    std::size_t items = 1;
};

namespace {

std::uint64_t bytesOf(const RingFolderNode& node) {
    return static_cast<std::uint64_t>(std::max<std::int64_t>(node.size, 0));
}

// The subfolders of `node` with bytes; returns their sum.
std::uint64_t addSubfolders(const RingFolderNode& node, auto& items) {
    std::uint64_t sum = 0;
    for (const auto& child : node.children) {
        if (!child || child->size <= 0) continue;
        items.push_back({bytesOf(*child), TreemapTileKind::Folder, child.get()});
        sum += bytesOf(*child);
    }
    return sum;
}

// The worst aspect ratio of a row of total area `sum` along a side `side`, whose largest item
// has area `largest` and smallest `smallest`.
double worstRatio(double largest, double smallest, double sum, double side) {
    double side2 = side * side;
    double sum2 = sum * sum;
    return std::max(side2 * largest / sum2, sum2 / (side2 * smallest));
}

// A colour's hue kept in `share`, the rest a grey of `level`: folders stay muted beside files.
RingColour muted(const RingColour& colour, double share, int level) {
    auto mix = [&](int c) { return static_cast<int>(c * share + level * (1 - share)); };
    return {mix(colour.r), mix(colour.g), mix(colour.b)};
}

}  // namespace

std::vector<TreemapRect> squarify(const std::vector<double>& sizes, TreemapRect area) {
    std::vector<TreemapRect> placed(sizes.size());
    double total = std::accumulate(sizes.begin(), sizes.end(), 0.0);
    if (total <= 0 || area.width <= 0 || area.height <= 0) return placed;
    double scale = area.area() / total;
    TreemapRect rest = area;
    std::size_t i = 0;
    while (i < sizes.size()) {
        bool wide = rest.width >= rest.height;
        double side = wide ? rest.height : rest.width;
        double first = sizes[i] * scale;
        double rowArea = first;
        double worst = worstRatio(first, first, rowArea, side);
        std::size_t end = i + 1;
        for (; end < sizes.size(); ++end) {
            double next = sizes[end] * scale;
            double ratio = worstRatio(first, next, rowArea + next, side);
            if (ratio > worst) break;
            worst = ratio;
            rowArea += next;
        }
        // The last row takes what is left exactly, so rounding leaves no gap at the far edge.
        double thickness = end == sizes.size() ? (wide ? rest.width : rest.height) : rowArea / side;
        double position = wide ? rest.y : rest.x;
        double stop = position + side;
        for (std::size_t k = i; k < end; ++k) {
            double length = k + 1 == end ? stop - position : sizes[k] * scale / thickness;
            placed[k] = wide ? TreemapRect{rest.x, position, thickness, length}
                             : TreemapRect{position, rest.y, length, thickness};
            position += length;
        }
        if (wide) {
            rest.x += thickness;
            rest.width -= thickness;
        } else {
            rest.y += thickness;
            rest.height -= thickness;
        }
        i = end;
    }
    return placed;
}

void TreemapLayout::setFiles(std::string path, std::vector<TreemapFile> files) {
    filesFolder_ = std::move(path);
    files_ = std::move(files);
}

void TreemapLayout::clear() {
    tiles_.clear();
    folder_ = nullptr;
}

const std::vector<TreemapTile>& TreemapLayout::layOut(const RingFolderNode& folder,
                                                      TreemapRect area) {
    tiles_.clear();
    folder_ = &folder;
    std::vector<Item> items;
    std::uint64_t listed = addSubfolders(folder, items);
    // The listing arrives after the folder became current: until then, folders only.
    std::size_t files = folder.path() == filesFolder_ ? files_.size() : 0;
    for (std::size_t i = 0; i < files; ++i) {
        if (files_[i].size == 0) continue;
        items.push_back({files_[i].size, TreemapTileKind::File, &folder, static_cast<int>(i)});
        listed += files_[i].size;
    }
    // The listing may be newer than the tree: the larger count wins, the rest being files the
    // listing did not name.
    std::uint64_t total = std::max(bytesOf(folder), listed);
    if (total > listed) items.push_back({total - listed, TreemapTileKind::FolderFiles, &folder});
    layOutItems(items, total, area, 1, 0, folder);
    return tiles_;
}

void TreemapLayout::layOutItems(std::vector<Item>& items, std::uint64_t total, TreemapRect area,
                                int depth, int branch, const RingFolderNode& holder) {
    if (total == 0 || area.width <= 0 || area.height <= 0) return;
    // Items too small to be seen share one tile: a folder of 50,000 entries costs one pass,
    // and only what shows is sorted and placed.
    double minimum = options_.minSide * options_.minSide * static_cast<double>(total) / area.area();
    Item small{0, TreemapTileKind::SmallItems, &holder, -1, 0};
    std::erase_if(items, [&](const Item& item) {
        if (static_cast<double>(item.size) >= minimum) return false;
        small.size += item.size;
        ++small.items;
        return true;
    });
    if (small.size > 0) items.push_back(small);
    std::sort(items.begin(), items.end(),
              [](const Item& a, const Item& b) { return a.size > b.size; });
    std::vector<double> sizes;
    sizes.reserve(items.size());
    for (const Item& item : items) sizes.push_back(static_cast<double>(item.size));
    std::vector<TreemapRect> rects = squarify(sizes, area);

    for (std::size_t i = 0; i < items.size(); ++i) {
        const Item& item = items[i];
        int itemBranch = depth == 1 ? static_cast<int>(i) : branch;
        TreemapTile tile{rects[i], item.tile, item.node, item.file, item.size, item.items, depth};
        tile.branch = itemBranch;
        if (item.tile == TreemapTileKind::File) {
            tile.kind = fileKindOf(files_[static_cast<std::size_t>(item.file)].name);
        }
        tiles_.push_back(tile);
        if (item.tile != TreemapTileKind::Folder || depth >= options_.maxDepth) continue;
        TreemapRect inner = innerRect(tile);
        if (inner.width < options_.minSide || inner.height < options_.minSide) continue;
        std::vector<Item> inside;
        std::uint64_t folders = addSubfolders(*item.node, inside);
        if (item.size > folders) {
            inside.push_back({item.size - folders, TreemapTileKind::FolderFiles, item.node});
        }
        std::size_t index = tiles_.size() - 1;
        layOutItems(inside, std::max(item.size, folders), inner, depth + 1, itemBranch, *item.node);
        tiles_[index].subdivided = tiles_.size() > index + 1;
    }
}

TreemapRect TreemapLayout::innerRect(const TreemapTile& tile) const {
    double inset = options_.inset;
    double top = tile.depth == 1 && tile.rect.height >= 3 * options_.header ? options_.header : 0;
    return {tile.rect.x + inset, tile.rect.y + inset + top, tile.rect.width - 2 * inset,
            tile.rect.height - 2 * inset - top};
}

const TreemapTile* TreemapLayout::tileAt(double x, double y) const {
    // A folder comes before the tiles inside it: the last tile holding the point is innermost.
    for (auto it = tiles_.rbegin(); it != tiles_.rend(); ++it) {
        if (it->rect.contains(x, y)) return &*it;
    }
    return nullptr;
}

std::string TreemapLayout::nameOf(const TreemapTile& tile) const {
    switch (tile.tile) {
        case TreemapTileKind::Folder:
            return tile.node->name();
        case TreemapTileKind::File:
            return files_[static_cast<std::size_t>(tile.file)].name;
        case TreemapTileKind::FolderFiles:
            return "Files of " + tile.node->name();
        case TreemapTileKind::SmallItems:
            break;
    }
    return std::to_string(tile.items) + " smaller items";
}

std::string TreemapLayout::pathOf(const TreemapTile& tile) const {
    if (tile.tile == TreemapTileKind::File) return files_[static_cast<std::size_t>(tile.file)].path;
    return tile.node->path();
}

RingColour TreemapLayout::colourOf(const TreemapTile& tile) {
    static constexpr RingColour kKinds[] = {
        {66, 133, 244},  // Document
        {219, 68, 55},   // Video
        {244, 180, 0},   // Audio
        {156, 39, 176},  // Archive
        {15, 157, 88},   // Image
        {171, 71, 188},  // Package
        {0, 172, 193},   // Code
        {140, 140, 148}  // Other
    };
    if (tile.tile == TreemapTileKind::File) return kKinds[static_cast<int>(tile.kind)];
    if (tile.tile == TreemapTileKind::SmallItems) return {72, 72, 78};
    // Neighbouring branches take colours far apart in the palette.
    const RingColour& hue = sectorPalette()[static_cast<std::size_t>(tile.branch * 11) % 28];
    if (tile.tile == TreemapTileKind::FolderFiles || !tile.subdivided) return muted(hue, 0.22, 120);
    // Deeper frames a little lighter, so that nesting shows.
    return muted(hue, 0.25, 40 + 8 * std::min(tile.depth, 6));
}

}  // namespace quillby
