// SPDX-License-Identifier: GPL-3.0-or-later
#include "duplicates/SimpleNodeData.h"

#include "duplicates/PathComponents.h"

namespace quillby {

namespace {
template <class T>
int threeWay(const T& a, const T& b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}
}  // namespace

std::shared_ptr<SimpleNodeData> SimpleNodeData::leafDataWithName(std::string name) {
    auto data = std::make_shared<SimpleNodeData>();
    data->name = std::move(name);
    data->isLeaf = true;
    data->isExpandable = false;
    return data;
}

std::shared_ptr<SimpleNodeData> SimpleNodeData::groupDataWithName(std::string name) {
    auto data = std::make_shared<SimpleNodeData>();
    data->name = std::move(name);
    data->isLeaf = false;
    data->isExpandable = true;
    return data;
}

int SimpleNodeData::compareName(const SimpleNodeData& other) const {
    return threeWay(name, other.name);
}

int SimpleNodeData::compareSize(const SimpleNodeData& other) const {
    return threeWay(fileSize, other.fileSize);
}

int SimpleNodeData::compareDate(const SimpleNodeData& other) const {
    return threeWay(ModificationDate, other.ModificationDate);
}

std::string_view SimpleNodeData::extension() const {
    return isBundle ? std::string_view("APP") : pathExtension(name);
}

std::string SimpleNodeData::description() const {
    return name + (isLeaf ? "" : " (group)") + " " + std::to_string(fileSize);
}

}  // namespace quillby
