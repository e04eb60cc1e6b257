// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <cerrno>

#include "core/events/EventBus.h"
#include "core/events/Events.h"
#include "diskusage/DiskUsageFixtures.h"
#include "diskusage/DiskUsageRemoval.h"
#include "diskusage/FileSystemBrowserModel.h"
#include "diskusage/NodeTreeOperator.h"
#include "diskusage/SizeColour.h"
#include "support/TempDir.h"

using namespace quillby;

namespace {

using Model = FileSystemBrowserModel;

RemovalOutcome removed(const std::string& path) {
    RemovalOutcome outcome = RemovalOutcome::vanished(path);
    outcome.kind = RemovalOutcome::Kind::Removed;
    return outcome;
}

}  // namespace

TEST(BrowserChecks, StatesSpreadDownOnOpeningAndUpThroughAncestors) {
    FSNode root("/r", true, nullptr);
    FSNode* a = addNode(root, "a", true);
    FSNode* a1 = addNode(*a, "a1", false);
    FSNode* a2 = addNode(*a, "a2", true);
    FSNode* deep = addNode(*a2, "deep", false);
    FSNode* b = addNode(root, "b", false);

    std::vector<FSNode*> notified;
    auto subscription = EventBus::defaultCenter().observe(
        Events::refRemoveButtonState,
        [&](const Event& event) { notified.push_back(std::any_cast<FSNode*>(event.object)); });

    Model::clickCheckBox(*a);
    EXPECT_EQ(a->isButtonState, 1);
    EXPECT_EQ(a1->isButtonState, 1);
    EXPECT_EQ(a2->isButtonState, 1);
    EXPECT_EQ(deep->isButtonState, 0);  // until a2 is opened
    EXPECT_EQ(root.isButtonState, 2);
    EXPECT_EQ(notified, std::vector<FSNode*>{a});
    EXPECT_EQ(Model::numberOfChildrenOfItem(*a2), 1u);
    EXPECT_EQ(deep->isButtonState, 1);

    Model::clickCheckBox(*deep);  // unchecking one item deep down
    EXPECT_EQ(a2->isButtonState, 0);
    EXPECT_EQ(a->isButtonState, 2);
    EXPECT_EQ(root.isButtonState, 2);

    Model::clickCheckBox(*a);  // a partly checked folder becomes fully checked
    EXPECT_EQ(a->isButtonState, 1);
    EXPECT_EQ(a2->isButtonState, 1);

    Model::clickCheckBox(*a1);
    Model::clickCheckBox(*a2);  // the last checked item of a
    EXPECT_EQ(a->isButtonState, 0);
    EXPECT_EQ(root.isButtonState, 0);

    Model::clickCheckBox(*a1);
    Model::clickCheckBox(*a2);
    Model::clickCheckBox(*b);
    EXPECT_EQ(a->isButtonState, 1);  // every item checked
    EXPECT_EQ(root.isButtonState, 1);

    // The browser's own value editing sets the value, not the checkbox.
    Model::setObjectValue(*b, false);
    EXPECT_EQ(b->state, 0);
    EXPECT_EQ(b->isButtonState, 1);
    Model::setObjectValue(*a, false);
    EXPECT_EQ(a1->isButtonState, 0);
    EXPECT_EQ(a->isButtonState, 1);
    EXPECT_EQ(root.isButtonState, 1);

    EXPECT_TRUE(Model::checkBoxContains(3, 12));
    EXPECT_TRUE(Model::checkBoxContains(21, 30));
    EXPECT_FALSE(Model::checkBoxContains(22, 20));
    EXPECT_TRUE(Model::isItemLeaf(*a1));
}

TEST(BrowserChecks, AFolderWhoseItemsAreAllPartlyCheckedIsPartlyCheckedAndRemovesOnlyTheChecked) {
    FSNode root("/r", true, nullptr);
    FSNode* top = addNode(root, "top", true);
    FSNode* a = addNode(*top, "a", true);
    FSNode* b = addNode(*top, "b", true);
    FSNode* a1 = addNode(*a, "a1", false);
    addNode(*a, "a2", false);
    FSNode* b1 = addNode(*b, "b1", false);
    addNode(*b, "b2", false);
    Model::clickCheckBox(*a1);
    Model::clickCheckBox(*b1);
    EXPECT_EQ(a->isButtonState, 2);
    EXPECT_EQ(b->isButtonState, 2);
    EXPECT_EQ(top->isButtonState, 2);
    EXPECT_EQ(root.isButtonState, 2);
    EXPECT_EQ(Model::collectCheckedNodes(root), (std::vector<FSNode*>{a1, b1}));
}

TEST(BrowserChecks, CollectsAndRemovesCheckedItemsShrinkingTheirFolders) {
    FSNode root("/r", true, nullptr);
    FSNode* x = addNode(root, "x", true, 3000000000ULL);
    FSNode* f = addNode(*x, "f", true, 3000000000ULL);
    FSNode* one = addNode(*f, "one", false, 1000000000ULL);
    FSNode* two = addNode(*f, "two", false, 2000000000ULL);
    FSNode* r = addNode(root, "r", false, 5);
    addNode(root, "s", false, 7);
    root.size = 3000000012ULL;

    EXPECT_FALSE(Model::removeButtonEnabled(&root, false, true));
    Model::clickCheckBox(*one);
    Model::clickCheckBox(*r);
    EXPECT_TRUE(Model::removeButtonEnabled(&root, false, true));
    EXPECT_FALSE(Model::removeButtonEnabled(&root, true, true));
    EXPECT_FALSE(Model::removeButtonEnabled(&root, false, false));
    EXPECT_EQ(Model::collectCheckedNodes(root), (std::vector<FSNode*>{one, r}));

    // r needs rights we do not have.
    EXPECT_EQ(Model::applyRemovals(Model::collectCheckedNodes(root),
                                   {removed("/r/x/f/one"), RemovalOutcome::failed("/r/r", EACCES)}),
              1000000000ULL);
    EXPECT_EQ(f->size, 2000000000ULL);
    EXPECT_EQ(x->size, 2000000000ULL);
    EXPECT_EQ(root.size, 2000000012ULL);
    ASSERT_EQ(f->children.size(), 1u);
    EXPECT_EQ(f->children[0].get(), two);
    EXPECT_EQ(f->isButtonState, 0);
    EXPECT_EQ(x->isButtonState, 0);
    EXPECT_EQ(r->isButtonState, 1);  // not removed: still checked
    EXPECT_EQ(root.isButtonState, 2);
}

TEST(BrowserChecks, AFolderGoesWholeOnlyWhenTheUserCheckedIt) {
    FSNode root("/r", true, nullptr);
    FSNode* a = addNode(root, "a", true);
    FSNode* a1 = addNode(*a, "a1", false);
    FSNode* a2 = addNode(*a, "a2", true);
    addNode(*a2, "deep", false);
    FSNode* b = addNode(root, "b", true);
    FSNode* b1 = addNode(*b, "b1", false);
    FSNode* b2 = addNode(*b, "b2", false);

    // Checked itself: the folder goes with everything in it, seen or not.
    Model::clickCheckBox(*a);
    EXPECT_EQ(Model::collectCheckedNodes(root), std::vector<FSNode*>{a});

    // Every listed item checked one by one: the folder reads as checked, but only they go.
    Model::clickCheckBox(*b1);
    Model::clickCheckBox(*b2);
    EXPECT_EQ(b->isButtonState, 1);
    EXPECT_EQ(root.isButtonState, 1);
    EXPECT_EQ(Model::collectCheckedNodes(root), (std::vector<FSNode*>{a, b1, b2}));
    // Opening it changes nothing.
    Model::numberOfChildrenOfItem(root);
    Model::numberOfChildrenOfItem(*b);
    EXPECT_EQ(Model::collectCheckedNodes(root), (std::vector<FSNode*>{a, b1, b2}));

    // An item of a checked folder unchecked and checked again: the folder's check now comes
    // from its items, while the items keep the whole check they had from the folder.
    Model::clickCheckBox(*a1);
    EXPECT_EQ(a->isButtonState, 2);
    EXPECT_EQ(Model::collectCheckedNodes(root), (std::vector<FSNode*>{a2, b1, b2}));
    Model::clickCheckBox(*a1);
    EXPECT_EQ(a->isButtonState, 1);
    EXPECT_EQ(Model::collectCheckedNodes(root), (std::vector<FSNode*>{a1, a2, b1, b2}));

    // Clicking a partly checked folder checks it itself: whole again.
    Model::clickCheckBox(*b1);
    EXPECT_EQ(b->isButtonState, 2);
    Model::clickCheckBox(*b);
    EXPECT_EQ(b->isButtonState, 1);
    EXPECT_EQ(Model::collectCheckedNodes(root), (std::vector<FSNode*>{a1, a2, b}));
}

// A folder of two listed files and one below the size limit: checking both listed files one by
// one and removing leaves the unlisted file where it was.
TEST(BrowserChecks, RemovingEveryListedItemLeavesWhatTheListNeverShowed) {
    TempDir dir;
    fs::path top = dir / "top";
    makeFile(top / "folder/one.bin", 2000000);
    makeFile(top / "folder/two.bin", 3000000);
    makeFile(top / "folder/small.txt", 1000);  // below the limit: not listed
    auto root = NodeTreeOperator().buildBrowserTree(top.string(), 1000000, {});
    ASSERT_EQ(root->children.size(), 1u);
    FSNode* folder = root->children[0].get();
    ASSERT_EQ(Model::numberOfChildrenOfItem(*folder), 2u);

    Model::clickCheckBox(*folder->children[0]);
    Model::clickCheckBox(*folder->children[1]);
    EXPECT_EQ(folder->isButtonState, 1);
    std::vector<FSNode*> checked = Model::collectCheckedNodes(*root);
    std::vector<RemovalOutcome> outcomes;
    DiskUsageRemoval removal({(dir / "home").string(), top.string(), (dir / "data").string()});
    for (const FSNode* node : checked) {
        outcomes.push_back(removal.removeItem(node->path(), DeletionGate::Disposal::Delete));
    }
    EXPECT_EQ(Model::applyRemovals(checked, outcomes), 5000000u);
    EXPECT_TRUE(fs::exists(top / "folder/small.txt"));
    EXPECT_FALSE(fs::exists(top / "folder/one.bin"));
    EXPECT_FALSE(fs::exists(top / "folder/two.bin"));
    ASSERT_EQ(root->children.size(), 1u);  // the folder stays, holding what was not shown
    EXPECT_EQ(folder->size, 1000u);
    EXPECT_EQ(root->size, 1000u);
    EXPECT_EQ(folder->isButtonState, 0);
    EXPECT_FALSE(Model::removeButtonEnabled(root.get(), false, true));
}

TEST(BrowserChecks, AWholeFolderThatCouldNotGoStaysCheckedAndSized) {
    FSNode root("/r", true, nullptr);
    FSNode* keep = addNode(root, "keep", true, 3000000000ULL);
    addNode(*keep, "inner", false, 3000000000ULL);
    FSNode* gone = addNode(root, "gone", false, 1000000000ULL);
    root.size = 4000000000ULL;
    Model::clickCheckBox(*keep);
    Model::clickCheckBox(*gone);

    // Refused, it stays; already gone, it leaves the tree.
    EXPECT_EQ(Model::applyRemovals(Model::collectCheckedNodes(root),
                                   {RemovalOutcome::refused("/r/keep", RefusalRule::MountPoint),
                                    RemovalOutcome::vanished("/r/gone")}),
              1000000000ULL);
    ASSERT_EQ(root.children.size(), 1u);
    EXPECT_EQ(keep->isButtonState, 1);
    EXPECT_TRUE(keep->checkedWhole);  // a second try still takes it whole
    EXPECT_EQ(keep->size, 3000000000ULL);
    EXPECT_EQ(root.size, 3000000000ULL);
    EXPECT_EQ(root.isButtonState, 1);
    EXPECT_EQ(Model::collectCheckedNodes(root), std::vector<FSNode*>{keep});
}

TEST(SizeColours, FiveBandsBySize) {
    EXPECT_EQ(sizeColourFor(0), SizeColour::White);
    EXPECT_EQ(sizeColourFor(1000), SizeColour::White);
    EXPECT_EQ(sizeColourFor(1001), SizeColour::Green);
    EXPECT_EQ(sizeColourFor(1000000), SizeColour::Green);
    EXPECT_EQ(sizeColourFor(1000001), SizeColour::Yellow);
    EXPECT_EQ(sizeColourFor(999999999), SizeColour::Yellow);
    EXPECT_EQ(sizeColourFor(1000000000), SizeColour::Orange);
    EXPECT_EQ(sizeColourFor(999999999999ULL), SizeColour::Orange);
    EXPECT_EQ(sizeColourFor(2000000000000ULL), SizeColour::Red);
}
