// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/fs/FileKind.h"
#include "diskusage/SectorColourRule.h"

namespace quillby {

class RingFolderNode;

// A rectangle in a view's pixels, y counted from the top edge.
struct TreemapRect {
    double x = 0.0;
    double y = 0.0;
    double width = 0.0;
    double height = 0.0;
    double area() const { return width * height; }
    // Left and top edges inclusive, right and bottom exclusive, so that neighbours never share
    // a point.
    bool contains(double px, double py) const {
        return px >= x && px < x + width && py >= y && py < y + height;
    }
};

// What a tile stands for.
enum class TreemapTileKind {
    Folder,       // a folder, subdivided by its subfolders while room and depth allow
    FolderFiles,  // the files of `node` beyond its subfolders, as one tile
    File,         // a named file of the folder shown (from its listing)
    SmallItems,   // the items of a folder too small for a tile of their own, together
};

struct TreemapTile {
    TreemapRect rect;
    TreemapTileKind tile = TreemapTileKind::Folder;
    // The folder (Folder), the folder holding the files (FolderFiles, SmallItems).
    const RingFolderNode* node = nullptr;
    int file = -1;  // File: index into the listed files
    std::uint64_t size = 0;
    std::size_t items = 1;  // SmallItems: how many items share the tile
    int depth = 1;          // 1: an item of the folder shown, 2: an item of one of its folders, ...
    // The colour key: a file's kind (File), and for the rest the index of the item of the folder
    // shown that the tile lies in.
    FileKind kind = FileKind::Other;
    int branch = 0;
    // A folder whose tiles inside it were laid out (its fill is then only a frame).
    bool subdivided = false;
};

// A file of the folder shown, from its listing.
struct TreemapFile {
    std::string name;
    std::string path;
    std::uint64_t size = 0;
};

struct TreemapOptions {
    int maxDepth = 6;      // levels below the folder shown
    double minSide = 4.0;  // items whose share is smaller than a square of this side are lumped
    double inset = 2.0;    // room between a folder's edge and the tiles inside it
    // Room above the tiles inside an item of the folder shown, for its name (when the item's
    // tile is at least three times as high).
    double header = 0.0;
};

// A squarified treemap of the folder shown: its subfolders and files as tiles whose areas are
// proportional to their sizes inside their parent's inner rectangle, each folder subdivided by
// its own subfolders and the rest of its bytes (its own files) as one tile, a few levels deep.
// Items too small for a tile share one; zero-sized items get none.
class TreemapLayout {
  public:
    explicit TreemapLayout(TreemapOptions options = {}) : options_(options) {}

    // The files of the listing of the folder at `path` (ending in "/"), in any order.
    void setFiles(std::string path, std::vector<TreemapFile> files);
    // Lays out `folder` over `area`: its subfolders from the tree, the files given for it as
    // named tiles, and what neither accounts for as its files' tile. Returns the tiles in
    // drawing order: a folder before the tiles inside it.
    const std::vector<TreemapTile>& layOut(const RingFolderNode& folder, TreemapRect area);
    // Forgets the tiles (their folders are about to leave the tree).
    void clear();
    const std::vector<TreemapTile>& tiles() const { return tiles_; }
    const std::vector<TreemapFile>& files() const { return files_; }
    const RingFolderNode* folder() const { return folder_; }
    const TreemapOptions& options() const { return options_; }
    // The rectangle the tiles inside a folder's tile take.
    TreemapRect innerRect(const TreemapTile& tile) const;

    // The innermost tile under the point, or nullptr.
    const TreemapTile* tileAt(double x, double y) const;
    // The tile's name: the folder's or the file's, "Files of NAME" or "N smaller items".
    std::string nameOf(const TreemapTile& tile) const;
    // The folder's path (ending in "/") or the file's; the holding folder's for the others.
    std::string pathOf(const TreemapTile& tile) const;

    // The fill of a tile: files by kind, folders and their files in their branch's hue, darker
    // for the folder's frame.
    static RingColour colourOf(const TreemapTile& tile);

  private:
    struct Item;
    void layOutItems(std::vector<Item>& items, std::uint64_t total, TreemapRect area, int depth,
                     int branch, const RingFolderNode& holder);

    TreemapOptions options_;
    const RingFolderNode* folder_ = nullptr;
    std::string filesFolder_;
    std::vector<TreemapFile> files_;
    std::vector<TreemapTile> tiles_;
};

// Squarified placement: `sizes` (largest first, all positive) as rectangles filling `area`,
// each of area proportional to its size, rows laid along the shorter side while that keeps
// their worst aspect ratio down.
std::vector<TreemapRect> squarify(const std::vector<double>& sizes, TreemapRect area);

}  // namespace quillby
