// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

#include "core/fs/FileKind.h"
#include "diskusage/RingFolderNode.h"
#include "diskusage/TreemapLayout.h"

using namespace quillby;

namespace {

// A random tree of `folders` folders, each holding up to 1,000 bytes of its own files (a third
// of them none, and a few folders empty), sizes summed up the tree as a scan sums them.
std::unique_ptr<RingFolderNode> randomTree(unsigned seed, int folders) {
    std::mt19937 random(seed);
    auto root = RingFolderNode::makeRoot("/t");
    std::vector<RingFolderNode*> nodes{root.get()};
    for (int i = 0; i < folders; ++i) {
        RingFolderNode* parent = nodes[random() % nodes.size()];
        parent->children.push_back(parent->makeChild("d" + std::to_string(i)));
        nodes.push_back(parent->children.back().get());
    }
    for (auto* node : nodes) node->size = random() % 3 ? random() % 1000 : 0;
    for (auto it = nodes.rbegin(); it != nodes.rend(); ++it) {
        if ((*it)->parent) (*it)->parent->size += (*it)->size;
    }
    return root;
}

double overlap(const TreemapRect& a, const TreemapRect& b) {
    double w = std::min(a.x + a.width, b.x + b.width) - std::max(a.x, b.x);
    double h = std::min(a.y + a.height, b.y + b.height) - std::max(a.y, b.y);
    return w > 0 && h > 0 ? w * h : 0;
}

}  // namespace

TEST(FileKind, ToldByTheLongestListedExtensionInAnyCase) {
    const std::pair<const char*, FileKind> cases[] = {
        {"a.TAR.GZ", FileKind::Archive}, {"backup.tar.xz", FileKind::Package},
        {"photo.JPG", FileKind::Image},  {"film.mkv", FileKind::Video},
        {"song.mp3", FileKind::Audio},   {"report.pdf", FileKind::Document},
        {"main.cpp", FileKind::Code},    {".bashrc", FileKind::Other},
        {"README", FileKind::Other},     {"x.deb", FileKind::Package}};
    for (const auto& [name, kind] : cases) EXPECT_EQ(fileKindOf(name), kind) << name;
}

TEST(TreemapLayout, TilesFillTheirParentInProportionWithoutOverlapsAndSquarely) {
    struct Case {
        unsigned seed;
        int folders;
        double width, height;
    };
    const Case cases[] = {
        {1, 40, 800, 500}, {2, 300, 300, 900}, {3, 0, 60, 40}, {4, 3000, 1000, 700}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.seed);
        auto root = randomTree(c.seed, c.folders);
        root->size += 5000;  // the listed file below, which the scan counted too
        TreemapLayout layout({.header = 16});
        layout.setFiles("/t/", {{"big.mkv", "/t/big.mkv", 5000}, {"empty", "/t/empty", 0}});
        TreemapRect area{0, 0, c.width, c.height};
        const auto& tiles = layout.layOut(*root, area);
        ASSERT_FALSE(tiles.empty());

        // Each tile's parent: the nearest earlier tile one level up (none: the folder shown).
        std::map<int, std::vector<const TreemapTile*>> children;
        std::vector<int> ancestors;
        for (std::size_t i = 0; i < tiles.size(); ++i) {
            EXPECT_GT(tiles[i].size, 0u);
            while (!ancestors.empty() && tiles[ancestors.back()].depth >= tiles[i].depth)
                ancestors.pop_back();
            EXPECT_EQ(ancestors.size() + 1, static_cast<std::size_t>(tiles[i].depth));
            children[ancestors.empty() ? -1 : ancestors.back()].push_back(&tiles[i]);
            ancestors.push_back(static_cast<int>(i));
        }
        double weighted = 0, covered = 0;
        for (const auto& [parent, inside] : children) {
            TreemapRect inner = parent < 0 ? area : layout.innerRect(tiles[parent]);
            std::uint64_t total = 0;
            for (const auto* tile : inside) total += tile->size;
            EXPECT_EQ(total, parent < 0 ? root->size : tiles[parent].size);
            for (std::size_t i = 0; i < inside.size(); ++i) {
                const TreemapRect& r = inside[i]->rect;
                EXPECT_NEAR(r.area(), inner.area() * inside[i]->size / total, 1.0);
                EXPECT_GE(r.x, inner.x - 1e-6);
                EXPECT_GE(r.y, inner.y - 1e-6);
                EXPECT_LE(r.x + r.width, inner.x + inner.width + 1e-6);
                EXPECT_LE(r.y + r.height, inner.y + inner.height + 1e-6);
                for (std::size_t j = 0; j < i; ++j) EXPECT_LT(overlap(r, inside[j]->rect), 1e-6);
                weighted += std::max(r.width / r.height, r.height / r.width) * r.area();
                covered += r.area();
            }
        }
        // Squarified: tiles near square on the whole (a slice layout scores in the tens).
        EXPECT_LT(weighted / covered, 3.0);

        // The files: named, by kind; the empty one has no tile.
        auto file = std::find_if(tiles.begin(), tiles.end(),
                                 [](const auto& t) { return t.tile == TreemapTileKind::File; });
        ASSERT_NE(file, tiles.end());
        EXPECT_EQ(layout.nameOf(*file), "big.mkv");
        EXPECT_EQ(file->kind, FileKind::Video);
        EXPECT_EQ(std::count_if(tiles.begin(), tiles.end(),
                                [](const auto& t) { return t.tile == TreemapTileKind::File; }),
                  1);

        // Hits: the tile itself at its top left corner (a folder's frame), and at its centre
        // unless tiles lie inside it; none outside.
        for (const auto& tile : tiles) {
            const TreemapRect& r = tile.rect;
            EXPECT_EQ(
                layout.tileAt(r.x + std::min(0.5, r.width / 2), r.y + std::min(0.5, r.height / 2)),
                &tile);
            if (!tile.subdivided) {
                EXPECT_EQ(layout.tileAt(r.x + r.width / 2, r.y + r.height / 2), &tile);
            }
        }
        EXPECT_EQ(layout.tileAt(-1, 5), nullptr);
        EXPECT_EQ(layout.tileAt(c.width, 5), nullptr);
    }
}
