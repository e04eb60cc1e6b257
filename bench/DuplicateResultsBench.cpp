// SPDX-License-Identifier: GPL-3.0-or-later
// Builds and sorts the duplicate page's results for a large search: a result tree of N groups
// (default 50 000, two to four members each, spread over every category), the results model,
// the outline and a tree view showing its first rows, offscreen. Prints the time to the first
// rows and of each sort (the sort, the outline's rebinding and the first rows again).
// Usage: quillby_bench_duplicate_results [GROUPS]
#include <QApplication>
#include <QElapsedTimer>
#include <QTreeView>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "duplicates/DuplicateResultsModel.h"
#include "duplicates/ui/DuplicateOutlineModel.h"

using namespace quillby;

namespace {

const char* const kExtensions[] = {"pdf", "mp4", "mp3", "zip", "jpg", "bin", "txt", "png"};

TreeNode::Ptr resultTree(int groups) {
    auto root = TreeNode::treeNodeWithData(SimpleNodeData::groupDataWithName("Root"));
    std::uint64_t seed = 88172645463325252ull;
    auto next = [&] {
        seed ^= seed << 13;
        seed ^= seed >> 7;
        seed ^= seed << 17;
        return seed;
    };
    for (int g = 0; g < groups; ++g) {
        std::string extension = kExtensions[next() % 8];
        std::string name = "file-" + std::to_string(next() % 1000000) + "." + extension;
        auto data = SimpleNodeData::groupDataWithName(name);
        auto group = TreeNode::treeNodeWithData(data);
        std::uint64_t size = 1000 + next() % 50000000;
        int members = 2 + static_cast<int>(next() % 3);
        for (int m = 0; m < members; ++m) {
            auto leaf = SimpleNodeData::leafDataWithName("/home/me/folder-" + std::to_string(m) +
                                                         "/" + std::to_string(g) + "/" + name);
            leaf->fileSize = size;
            leaf->ModificationDate =
                SimpleNodeData::Date(std::chrono::seconds(1600000000 + next() % 100000000));
            data->fileSize += size;
            group->insertChild(TreeNode::treeNodeWithData(leaf), group->numberOfChildren());
        }
        root->insertChild(group, root->numberOfChildren());
    }
    return root;
}

// Lays out and paints the view once, as showing it would.
void showFirstRows(QTreeView& view) {
    view.expand(view.model()->index(0, 0));
    (void)view.grab();
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int groups = argc > 1 ? std::atoi(argv[1]) : 50000;
    TreeNode::Ptr tree = resultTree(groups);

    QTreeView view;
    view.resize(1000, 640);
    view.setUniformRowHeights(true);
    DuplicateOutlineModel outline;
    view.setModel(&outline);

    QElapsedTimer clock;
    clock.start();
    DuplicateResultsModel results(tree, "/home/me");
    const qint64 model = clock.elapsed();
    outline.setTree(results.review().displayedTree());
    const qint64 bound = clock.elapsed();
    showFirstRows(view);
    const qint64 firstRows = clock.elapsed();
    std::printf("(model %lld ms, outline %lld ms, view %lld ms)\n", static_cast<long long>(model),
                static_cast<long long>(bound - model), static_cast<long long>(firstRows - bound));
    std::printf("%d groups: first rows %lld ms (target < 200 ms): %s\n", groups,
                static_cast<long long>(firstRows), firstRows < 200 ? "met" : "NOT MET");

    using Column = DuplicateResultsModel::SortColumn;
    const std::pair<Column, const char*> sorts[] = {{Column::Name, "name"},
                                                    {Column::Name, "name, reversed"},
                                                    {Column::Size, "size"},
                                                    {Column::Date, "date"}};
    int failures = firstRows < 200 ? 0 : 1;
    for (const auto& [column, label] : sorts) {
        clock.restart();
        results.clickSortHeader(column);
        outline.setTree(results.review().displayedTree());
        showFirstRows(view);
        const qint64 sorted = clock.elapsed();
        std::printf("sort by %-15s %4lld ms (target < 300 ms): %s\n", label,
                    static_cast<long long>(sorted), sorted < 300 ? "met" : "NOT MET");
        failures += sorted < 300 ? 0 : 1;
    }
    return failures == 0 ? 0 : 1;
}
