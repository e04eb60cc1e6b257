// SPDX-License-Identifier: GPL-3.0-or-later
#include "duplicates/DuplicateTestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <fstream>
#include <random>

#include "duplicates/Crc64Table.h"
#include "duplicates/DuplicateFilesOpt.h"

using namespace quillby;

std::string randomBytes(std::size_t size, std::uint64_t seed) {
    std::mt19937_64 generator(seed);
    std::string bytes(size, '\0');
    for (auto& byte : bytes) byte = static_cast<char>(generator() & 0xFF);
    return bytes;
}

void writeBytes(const std::filesystem::path& file, const std::string& bytes) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

namespace {

// The CRC register effect of bytes with a zero start: linear in the bytes.
std::uint64_t linearCrc(const std::string& bytes) {
    return crc64TableUpdate(0, bytes.data(), bytes.size());
}

}  // namespace

std::string crcTwinOf(const std::string& original, std::size_t changeAt) {
    const std::size_t length = original.size();
    const std::size_t tail = length - 8;
    auto effectOf = [&](std::size_t position, std::uint8_t mask) {
        std::string delta(length, '\0');
        delta[position] = static_cast<char>(mask);
        return linearCrc(delta);
    };
    // Columns: what flipping each of the 64 tail bits does to the checksum. Solve
    // sum(x_i * column_i) = effect of the change, over GF(2), by Gaussian elimination.
    std::array<std::uint64_t, 64> columns{};
    for (int bit = 0; bit < 64; ++bit) columns[bit] = effectOf(tail + bit / 8, 1u << (bit % 8));
    std::uint64_t target = effectOf(changeAt, 0x01);
    std::array<std::uint64_t, 64> combination{};  // which tail bits make up each column
    for (int bit = 0; bit < 64; ++bit) combination[bit] = 1ULL << bit;
    std::uint64_t solution = 0;
    int rank = 0;
    for (int row = 0; row < 64 && rank < 64; ++row) {
        int pivot = -1;
        for (int c = rank; c < 64; ++c) {
            if ((columns[c] >> row) & 1) {
                pivot = c;
                break;
            }
        }
        if (pivot < 0) continue;
        std::swap(columns[rank], columns[pivot]);
        std::swap(combination[rank], combination[pivot]);
        for (int c = 0; c < 64; ++c) {
            if (c != rank && ((columns[c] >> row) & 1)) {
                columns[c] ^= columns[rank];
                combination[c] ^= combination[rank];
            }
        }
        if ((target >> row) & 1) {
            target ^= columns[rank];
            solution ^= combination[rank];
        }
        ++rank;
    }
    std::string twin = original;
    twin[changeAt] = static_cast<char>(twin[changeAt] ^ 0x01);
    for (int bit = 0; bit < 64; ++bit) {
        if ((solution >> bit) & 1) twin[tail + bit / 8] ^= static_cast<char>(1u << (bit % 8));
    }
    return twin;
}

TreeNode::Ptr searchTree(const std::string& root, std::uint64_t limit,
                         const DuplicateSearchOptions& options) {
    DuplicateFilesOpt search;
    search.setSearchOption(options);
    search.beginSearchAtPath(root, limit);
    TreeNode::Ptr tree;
    search.getDuplicateFiles(tree);
    return tree;
}

TreeNode::Ptr copyGroup(const std::string& name, const std::string& extension,
                        const std::vector<Member>& members) {
    auto data = SimpleNodeData::groupDataWithName(name);
    // The extension is read from the name; bundles say so.
    data->isBundle = extension == "APP";
    EXPECT_TRUE(data->isBundle || data->extension() == extension) << name << " " << extension;
    auto node = TreeNode::treeNodeWithData(data);
    for (const auto& member : members) {
        auto leaf = SimpleNodeData::leafDataWithName(member.path);
        leaf->fileSize = member.size;
        if (member.day >= 0)
            leaf->ModificationDate = SimpleNodeData::Date(std::chrono::hours(24 * member.day));
        data->fileSize += member.size;
        node->insertChild(TreeNode::treeNodeWithData(leaf), node->numberOfChildren());
    }
    return node;
}

TreeNode::Ptr resultTree(const std::vector<TreeNode::Ptr>& groups) {
    auto root = TreeNode::treeNodeWithData(SimpleNodeData::groupDataWithName("Root"));
    for (const auto& group : groups) root->insertChild(group, root->numberOfChildren());
    return root;
}

std::string describeTree(const TreeNode::Ptr& tree) {
    if (!tree) return "(nothing)\n";
    std::string text;
    for (const auto& group : tree->children()) {
        const auto& data = *group->nodeData();
        text += "group " + data.name + " ." + std::string(data.extension()) + " " +
                std::to_string(data.fileSize) + "\n";
        for (const auto& member : group->children()) {
            const auto& leaf = *member->nodeData();
            long long stamp =
                leaf.ModificationDate
                    ? static_cast<long long>(leaf.ModificationDate->time_since_epoch().count())
                    : -1;
            text += "  " + leaf.name + " " + std::to_string(leaf.fileSize) + " " +
                    std::to_string(stamp) + "\n";
        }
    }
    return text;
}
