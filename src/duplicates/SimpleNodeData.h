// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/text/OptionalDate.h"

namespace quillby {

// The payload of an outline row: a file (leaf) or a folder or category (group).
struct SimpleNodeData {
    using Date = std::chrono::system_clock::time_point;

    // The small fields are kept together: result trees hold tens of thousands of these, and
    // at 64 bytes one fits a smaller block of the heap (a group's extension is read from its
    // name, not kept beside it).
    std::string name;
    std::uint64_t fileSize = 0;
    OptionalDate ModificationDate;
    std::int32_t selectNum = 0;
    std::int32_t fileType = 0;
    bool isLeaf = true;
    bool isExpandable = false;
    bool Mark = false;
    // A group of application bundles, compared as wholes.
    bool isBundle = false;

    static std::shared_ptr<SimpleNodeData> leafDataWithName(std::string name);
    static std::shared_ptr<SimpleNodeData> groupDataWithName(std::string name);

    bool isGroup() const { return !isLeaf; }
    // A group's extension, which sorts it into a category: "APP" for bundles, else the text
    // after the last dot of its name ("" without one).
    std::string_view extension() const;

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
