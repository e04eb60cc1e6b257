#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

// The payload of an outline row: a file (leaf) or a folder or category (group).
struct SimpleNodeData {
    using Date = std::chrono::system_clock::time_point;

    std::string name;
    bool isLeaf = true;
    bool isExpandable = false;
    std::string iconRep;  // icon name or path; empty for none
    std::int32_t selectNum = 0;
    std::string showSelectNumStr;
    std::uint64_t fileSize = 0;
    std::optional<std::string> extendName;
    bool Mark = false;
    std::int32_t fileType = 0;
    std::optional<Date> ModificationDate;

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
