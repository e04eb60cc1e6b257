// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "core/text/OptionalDate.h"

namespace quillby {

// The payload of an outline row: a file (leaf) or a folder or category (group).
struct SimpleNodeData {
    using Date = std::chrono::system_clock::time_point;

    // The small fields are kept together: result trees hold tens of thousands of these, and
    // at 104 bytes one fits a smaller block of the heap.
    std::string name;
    std::optional<std::string> extendName;
    std::uint64_t fileSize = 0;
    OptionalDate ModificationDate;
    std::int32_t selectNum = 0;
    std::int32_t fileType = 0;
    bool isLeaf = true;
    bool isExpandable = false;
    bool Mark = false;

    static std::shared_ptr<SimpleNodeData> leafDataWithName(std::string name);
    static std::shared_ptr<SimpleNodeData> groupDataWithName(std::string name);

    bool isGroup() const { return !isLeaf; }

    // -1, 0 or 1 like a sort comparator's result; the R forms give the opposite order. A missing
    // date sorts before any date.
    int compareName(const SimpleNodeData& other) const;
    int compareSize(const SimpleNodeData& other) const;
    int compareDate(const SimpleNodeData& other) const;
    int compareNameR(const SimpleNodeData& other) const { return -compareName(other); }
    int compareSizeR(const SimpleNodeData& other) const { return -compareSize(other); }
    int compareDateR(const SimpleNodeData& other) const { return -compareDate(other); }

    std::string description() const;
};

}  // namespace quillby
