// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "duplicates/DuplicateSearchOptions.h"
#include "duplicates/TreeNode.h"

using namespace quillby;

// Deterministic bytes: the same seed always gives the same content.
std::string randomBytes(std::size_t size, std::uint64_t seed);

// Writes bytes to a file, creating its folders.
void writeBytes(const std::filesystem::path& file, const std::string& bytes);

// A different content of the same length and the same CRC-64 (head included when the change
// lies after it): the byte at `changeAt` flips and the last eight bytes are forged. Shows that
// equal checksums are no proof of equal content.
std::string crcTwinOf(const std::string& original, std::size_t changeAt);

// Runs a whole search and gives the result tree (null when nothing was found).
TreeNode::Ptr searchTree(const std::string& root, std::uint64_t limit,
                         const DuplicateSearchOptions& options);

// One member of a group built by hand: its path, size and date (days after the epoch; no date
// when negative).
struct Member {
    std::string path;
    std::uint64_t size = 0;
    int day = -1;
};

// A group of copies as a search gives it (its size the sum of its members'), and a result tree
// of such groups under "Root". `extension` is the name's own, or "APP" for a group of bundles.
TreeNode::Ptr copyGroup(const std::string& name, const std::string& extension,
                        const std::vector<Member>& members);
TreeNode::Ptr resultTree(const std::vector<TreeNode::Ptr>& groups);

// A tree as text, one line per node ("group <name> <ext> <size>" / "  <path> <size>"), for
// comparing whole results.
std::string describeTree(const TreeNode::Ptr& tree);
