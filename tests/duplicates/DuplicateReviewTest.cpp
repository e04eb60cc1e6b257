// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/fs/FolderIdentities.h"
#include "core/settings/SettingsKeys.h"
#include "core/settings/SizeLimit.h"
#include "core/settings/UserDefaults.h"
#include "duplicates/CopyToKeep.h"
#include "duplicates/DuplicateReview.h"
#include "duplicates/DuplicateSearchSettings.h"
#include "duplicates/DuplicateTestSupport.h"
#include "platform/MemoryPreferencesStore.h"
#include "support/TempDir.h"

using namespace quillby;

namespace {

std::vector<std::string> ticked(const DuplicateReview& review) {
    std::vector<std::string> names;
    for (const auto& member : review.tickedMembers()) names.push_back(member->nodeData()->name);
    return names;
}

const auto kNever = [] {
    ADD_FAILURE() << "no confirmation expected";
    return false;
};

// A removal's report as the removal of the ticked members gives it: `goes` tells each tried
// member's fate; the members after the first `tried` were not reached.
DuplicateReview::DeletionReport removedBy(const DuplicateReview& review,
                                          const std::function<bool(const std::string&)>& goes,
                                          std::size_t tried = SIZE_MAX) {
    std::vector<RemovalOutcome> outcomes;
    for (const auto& member : review.tickedMembers()) {
        if (outcomes.size() == tried) break;
        const std::string& path = member->nodeData()->name;
        outcomes.push_back(goes(path) ? RemovalOutcome::vanished(path)
                                      : RemovalOutcome::failed(path, EACCES));
    }
    return DuplicateReview::reportOf(review.tickedMembers(), outcomes);
}

}  // namespace

TEST(DuplicateSettings, ThresholdAndOptionsComeFromTheSettings) {
    // The same limit as every other size setting (SizeLimit checks its values).
    for (std::int64_t number : {std::int64_t{-7}, std::int64_t{5}, INT64_MAX}) {
        for (std::int64_t unit = -1; unit <= 5; ++unit) {
            EXPECT_EQ(DuplicateSearchSettings::thresholdFor(number, unit),
                      sizeLimitInBytes(number, unit))
                << number << " " << unit;
        }
    }

    UserDefaults empty(std::make_shared<MemoryPreferencesStore>());
    auto none = DuplicateSearchSettings::fromUserDefaults(empty);
    EXPECT_EQ(none.threshold, 0u);
    EXPECT_FALSE(none.includeHidden);
    EXPECT_FALSE(none.includeSystem);
    EXPECT_TRUE(none.excludes.empty());

    UserDefaults set(std::make_shared<MemoryPreferencesStore>());
    set.setInteger(2, SettingsKey::QWDuplicationLimit);
    set.setInteger(4, SettingsKey::QWDuplicatesUnit);
    set.setBool(true, SettingsKey::QWHidenDuplication);
    set.setBool(true, SettingsKey::QWSystemDuplication);
    set.setObject(std::string("/home/u/cache\n\n*.tmp\n"), SettingsKey::DuplicateExcludes);
    auto all = DuplicateSearchSettings::fromUserDefaults(set);
    EXPECT_EQ(all.excludes, (std::vector<std::string>{"/home/u/cache", "*.tmp"}));
    EXPECT_EQ(all.threshold, 2000000000000ULL);
    EXPECT_TRUE(all.includeHidden);
    EXPECT_TRUE(all.includeSystem);
}

TEST(DuplicateReview, GroupsAreSortedIntoCategoriesByExtension) {
    auto all = resultTree(
        {copyGroup("report.PDF", "PDF", {{"/a/report.PDF", 10, 1}, {"/b/report.PDF", 10, 1}}),
         copyGroup("song.mp3", "mp3", {{"/a/song.mp3", 30, 1}, {"/b/song.mp3", 30, 1}}),
         copyGroup("film.ogg", "ogg", {{"/a/film.ogg", 50, 1}, {"/b/film.ogg", 50, 1}}),
         copyGroup("backup.tar.gz", "gz", {{"/a/backup.tar.gz", 7, 1}, {"/b/backup.tar.gz", 7, 1}}),
         copyGroup("pack.zip", "zip", {{"/a/pack.zip", 3, 1}, {"/b/pack.zip", 3, 1}}),
         copyGroup("Tool.app", "APP", {{"/a/Tool.app", 100, 1}, {"/b/Tool.app", 100, 1}}),
         copyGroup("noext", "", {{"/a/noext", 1, 1}, {"/b/noext", 1, 1}}),
         copyGroup("x.png", "png", {{"/a/x.png", 2, 1}, {"/b/x.png", 2, 1}})});
    DuplicateReview review(all, "/home/user/Pictures");
    auto names = [&](int row) {
        std::vector<std::string> list;
        for (const auto& g : review.categoryTree(row)->children())
            list.push_back(g->nodeData()->name);
        return list;
    };
    EXPECT_EQ(names(1), std::vector<std::string>{"report.PDF"});
    EXPECT_EQ(names(2), std::vector<std::string>{"film.ogg"});
    EXPECT_EQ(names(3), std::vector<std::string>{"song.mp3"});
    EXPECT_EQ(names(4), std::vector<std::string>{"pack.zip"});
    EXPECT_EQ(names(5), std::vector<std::string>{"x.png"});
    EXPECT_EQ(names(6), (std::vector<std::string>{"backup.tar.gz", "Tool.app", "noext"}));
    EXPECT_EQ(review.categoryTree(3)->firstChild()->nodeData()->fileType, 2);  // Music
    EXPECT_EQ(review.categoryTree(2)->firstChild()->nodeData()->fileType, 3);  // Videos
    EXPECT_EQ(review.categorySize(6), 2u * (7 + 100 + 1));
    EXPECT_EQ(review.categorySize(0), 2u * (10 + 30 + 50 + 7 + 3 + 100 + 1 + 2));
    EXPECT_EQ(review.categorySizeText(1), "0.02 KB");
    EXPECT_EQ(review.titleLine(), "16 files in Pictures.");
    EXPECT_EQ(review.selectionLine(), "0 of 16 selected.");
    review.showCategory(6);
    EXPECT_EQ(review.titleLine(), "6 files in Others.");

    DuplicateReview nothing(nullptr, "/x");
    EXPECT_EQ(nothing.categorySizeText(0), "0.0KB");
    EXPECT_EQ(nothing.titleLine(), "0 files in x.");
    nothing.clickHeaderBox(true);  // nothing displayed: nothing happens
    EXPECT_EQ(nothing.headerState(), DuplicateReview::HeaderState::Off);
}

TEST(DuplicateReview, TheGroupBoxKeepsTheOriginalCopy) {
    auto copies = copyGroup("a.txt", "txt", {{"/new", 5, 30}, {"/old", 5, 10}, {"/mid", 5, 20}});
    DuplicateReview review(resultTree({copies}), "/");
    review.clickGroupBox(copies);
    EXPECT_EQ(ticked(review), (std::vector<std::string>{"/new", "/mid"}));
    EXPECT_EQ(copies->nodeData()->selectNum, 2);
    EXPECT_EQ(DuplicateReview::showSelectNumStr(*copies), "2/3");
    EXPECT_TRUE(review.removeEnabled());
    review.clickGroupBox(copies);
    EXPECT_TRUE(ticked(review).empty());
    EXPECT_EQ(DuplicateReview::showSelectNumStr(*copies), "0/3");
    EXPECT_FALSE(review.removeEnabled());

    // The order shown does not change which copy is the original.
    review.displayedTree()->decendingSortDate();
    review.clickGroupBox(copies);
    EXPECT_EQ(ticked(review), (std::vector<std::string>{"/new", "/mid"}));
}

TEST(CopyToKeep, TheOriginalHasNoCopyMarkerThenIsOldestThenHasTheShortestPath) {
    struct Case {
        const char* name;
        std::vector<Member> members;
        const char* stays;
    };
    const Case cases[] = {
        {"a copy marker loses to age",
         {{"/d/report (copy).pdf", 5, 1}, {"/d/report.pdf", 5, 9}},
         "/d/report.pdf"},
        {"the oldest without a marker",
         {{"/d/b.pdf", 5, 9}, {"/d/a.pdf", 5, 3}, {"/d/c~", 5, 1}},
         "/d/a.pdf"},
        {"same age: the shortest path", {{"/d/deep/x.pdf", 5, 4}, {"/d/x.pdf", 5, 4}}, "/d/x.pdf"},
        {"every name marked: the oldest",
         {{"/d/Copy of x.pdf", 5, 8}, {"/d/x (1).pdf", 5, 2}},
         "/d/x (1).pdf"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto group = copyGroup("g.pdf", "pdf", c.members);
        EXPECT_EQ(group->childAtIndex(keeperIndex(group->children(), CopyToKeep::Original))
                      ->nodeData()
                      ->name,
                  c.stays);
    }
    for (const char* marked :
         {"/a/report (copy).pdf", "/a/report (another copy).pdf", "/a/report (2).pdf",
          "/a/report - Copy.pdf", "/a/Copy of report.pdf", "/a/report copy.pdf",
          "/a/report copy 3.pdf", "/a/report.pdf~", "/a/REPORT - COPY (2).txt"})
        EXPECT_TRUE(hasCopyMarker(marked)) << marked;
    for (const char* plain : {"/a/report.pdf", "/a (copy)/report.pdf", "/a/copywriter.txt",
                              "/a/photocopy.pdf", "/a/report (final).pdf", "/a/.copy", "/a/2 (3)x"})
        EXPECT_FALSE(hasCopyMarker(plain)) << plain;
}

// Copies in a folder chosen to keep them stay before the others; the folder is known by what it
// is, not by how its path is spelled.
TEST(CopyToKeep, ACopyInAKeepInFolderStaysAndTheRuleChoosesAmongSuch) {
    TempDir dir;
    for (const char* folder : {"keep/sub", "keepers", "second", "plain"})
        std::filesystem::create_directories(dir / folder);
    std::filesystem::create_directory_symlink(dir / "keep", dir / "keep-link");
    const std::string at = dir.path().string() + "/";
    struct Case {
        const char* name;
        std::vector<std::string> keepIn;
        CopyToKeep rule;
        std::vector<Member> members;  // below the fixture folder
        const char* stays;
    };
    const Case cases[] = {
        {"inside, though marked and newer",
         {"keep"},
         CopyToKeep::Original,
         {{"plain/r.pdf", 5, 1}, {"keep/sub/r (copy).pdf", 5, 9}},
         "keep/sub/r (copy).pdf"},
        {"several folders: the rule among the copies inside",
         {"keep", "second"},
         CopyToKeep::Original,
         {{"keep/b", 5, 5}, {"second/a", 5, 2}, {"plain/c", 5, 1}},
         "second/a"},
        {"several folders, another rule",
         {"keep", "second"},
         CopyToKeep::Newest,
         {{"keep/b", 5, 2}, {"second/a", 5, 4}, {"plain/c", 5, 9}},
         "second/a"},
        {"a folder named through a link is that folder",
         {"keep-link"},
         CopyToKeep::Original,
         {{"plain/x", 5, 1}, {"keep/x", 5, 5}},
         "keep/x"},
        {"a copy reached through a link is not inside",
         {"keep"},
         CopyToKeep::Original,
         {{"keep-link/x", 5, 5}, {"plain/x", 5, 1}},
         "plain/x"},
        {"a folder whose name starts alike is another folder",
         {"keep"},
         CopyToKeep::Original,
         {{"plain/x", 5, 0}, {"keepers/x", 5, 1}},
         "plain/x"},
        {"no copy inside: the rule over all",
         {"keep"},
         CopyToKeep::Last,
         {{"plain/a", 5, 3}, {"second/a", 5, 1}},
         "second/a"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FolderIdentities folders;
        for (const auto& folder : c.keepIn) ASSERT_TRUE(folders.add(at + folder));
        std::vector<Member> members = c.members;
        for (auto& member : members) member.path = at + member.path;
        auto group = copyGroup("g", "", members);
        auto keptFirst = membersInFolders(resultTree({group}), folders);
        EXPECT_EQ(group->childAtIndex(keeperIndex(group->children(), c.rule, keptFirst))
                      ->nodeData()
                      ->name,
                  at + c.stays);
    }
}

TEST(DuplicateReview, TickingTheLastCopyAsksFirstAndStillKeepsOne) {
    auto copies = copyGroup("a.txt", "txt", {{"/1", 5, 1}, {"/2", 5, 1}, {"/3", 5, 1}});
    DuplicateReview review(resultTree({copies}), "/");
    auto members = copies->children();
    review.clickMemberBox(members[0], kNever);
    EXPECT_EQ(copies->nodeData()->selectNum, 2);
    EXPECT_EQ(DuplicateReview::showSelectNumStr(*copies), "1/3");
    review.clickMemberBox(members[1], kNever);
    int asked = 0;
    review.clickMemberBox(members[2], [&] {
        ++asked;
        return false;  // "Cancel"
    });
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(members[2]->nodeData()->selectNum, 0);
    EXPECT_EQ(DuplicateReview::showSelectNumStr(*copies), "2/3");
    // "OK" ticks it, and the original among the others stays, as the question said.
    EXPECT_EQ(review.copyKeptIfTicked(members[2]), members[0]);
    EXPECT_EQ(review.copyKeptIfTicked(members[0]), nullptr);  // ticked already: nothing to ask
    auto kept = review.clickMemberBox(members[2], [&] { return true; });
    EXPECT_EQ(kept, members[0]);
    EXPECT_EQ(ticked(review), (std::vector<std::string>{"/2", "/3"}));
    EXPECT_EQ(copies->nodeData()->selectNum, 2);
    EXPECT_EQ(DuplicateReview::showSelectNumStr(*copies), "2/3");
    EXPECT_EQ(review.headerState(), DuplicateReview::HeaderState::Some);
    review.clickMemberBox(members[1], kNever);
    EXPECT_EQ(copies->nodeData()->selectNum, 2);
    EXPECT_EQ(review.selectionLine(), "1 of 3 selected.");

    // Two of two: the second tick keeps the first copy.
    auto pair = copyGroup("b.txt", "txt", {{"/a", 5, 1}, {"/b", 5, 1}});
    DuplicateReview twoOfTwo(resultTree({pair}), "/");
    twoOfTwo.clickMemberBox(pair->childAtIndex(0), [] { return true; });
    EXPECT_EQ(twoOfTwo.clickMemberBox(pair->childAtIndex(1), [] { return true; }),
              pair->childAtIndex(0));
    EXPECT_EQ(ticked(twoOfTwo), std::vector<std::string>{"/b"});
    EXPECT_EQ(DuplicateReview::showSelectNumStr(*pair), "1/2");
}

TEST(DuplicateReview, NamesOfOneFileFreeNothing) {
    auto links = copyGroup("a.txt", "txt", {{"/l1", 7, 1}, {"/l2", 7, 1}, {"/copy", 7, 1}});
    auto mounted = copyGroup("b.txt", "txt", {{"/m/x", 3, 1}, {"/bind/x", 3, 1}});
    DuplicateReview review(resultTree({links, mounted}), "/");
    auto l = links->children();
    auto m = mounted->children();
    EXPECT_EQ(review.extraCopyBytes(*links), 14u);  // unknown identities: three files
    // /l1 and /l2 are two names of one file; /m/x is one entry reached twice.
    review.setMemberIdentities({{l[0].get(), {1, 10, 2}},
                                {l[1].get(), {1, 10, 2}},
                                {l[2].get(), {1, 11, 1}},
                                {m[0].get(), {1, 12, 1}},
                                {m[1].get(), {1, 12, 1}}});
    EXPECT_EQ(review.extraCopyBytes(*links), 7u);
    EXPECT_EQ(review.extraCopyBytes(*mounted), 0u);
    EXPECT_TRUE(review.isNameOfSharedFile(*l[0]));
    EXPECT_FALSE(review.isNameOfSharedFile(*l[2]));
    EXPECT_TRUE(review.isNameOfSharedFile(*m[1]));
    review.clickMemberBox(l[0], kNever);
    EXPECT_EQ(review.bytesFreedByTicked(), 0u);
    EXPECT_EQ(review.tickedNamesOfOneFile(), 1u);
    review.clickMemberBox(l[1], kNever);  // both names go, /copy stays: the file goes
    EXPECT_EQ(review.bytesFreedByTicked(), 7u);
    EXPECT_EQ(review.tickedNamesOfOneFile(), 0u);
    review.clickGroupBox(mounted);
    EXPECT_EQ(review.bytesFreedByTicked(), 7u);
    EXPECT_EQ(review.tickedNamesOfOneFile(), 1u);
}

TEST(DuplicateReview, TheHeaderBoxTicksAllButTheOriginalOfEachDisplayedGroup) {
    auto docs = copyGroup("a.txt", "txt", {{"/a1", 5, 1}, {"/a2", 5, 1}});
    auto pics = copyGroup("b.png", "png", {{"/b1", 5, 1}, {"/b2", 5, 1}, {"/b3", 5, 1}});
    DuplicateReview review(resultTree({docs, pics}), "/");
    review.showCategory(5);
    review.clickHeaderBox(true);
    EXPECT_EQ(ticked(review), (std::vector<std::string>{"/b2", "/b3"}));
    EXPECT_EQ(review.headerState(), DuplicateReview::HeaderState::Some);
    review.showCategory(0);
    review.clickHeaderBox(true);
    EXPECT_EQ(ticked(review).size(), 3u);
    review.clickHeaderBox(false);
    EXPECT_TRUE(ticked(review).empty());
    EXPECT_EQ(review.headerState(), DuplicateReview::HeaderState::Off);
}

TEST(DuplicateReview, TheSearchFieldShowsGroupsByNameOrPathCaseAside) {
    struct Case {
        const char* typed;
        std::vector<std::string> shown;
    } cases[] = {
        {"", {"Beach.JPG", "report.pdf", "Ärger.txt"}},
        {"beach", {"Beach.JPG"}},
        {"/PHONE/", {"Beach.JPG"}},  // a member's folder
        {"ÄRGER", {"Ärger.txt"}},    // beyond ASCII
        {"r", {"report.pdf", "Ärger.txt"}},
        {"nowhere", {}},
    };
    auto beach = copyGroup("Beach.JPG", "JPG", {{"/pics/Beach.JPG", 5, 1}, {"/phone/b.JPG", 5, 1}});
    auto report =
        copyGroup("report.pdf", "pdf", {{"/a/report.pdf", 7, 1}, {"/b/report.pdf", 7, 1}});
    auto anger = copyGroup("Ärger.txt", "txt", {{"/a/Ärger.txt", 3, 1}, {"/b/Ärger.txt", 3, 1}});
    DuplicateReview review(resultTree({beach, report, anger}), "/x");
    for (const auto& c : cases) {
        review.setNameFilter(c.typed);
        std::vector<std::string> shown;
        for (const auto& group : review.displayedGroups()) shown.push_back(group->nodeData()->name);
        EXPECT_EQ(shown, c.shown) << c.typed;
        EXPECT_EQ(review.filesInShownCategory(), 2 * c.shown.size()) << c.typed;
    }
    // The header box ticks only what is shown; hidden groups keep their ticks when it unticks.
    review.setNameFilter("");
    review.clickGroupBox(report);
    review.setNameFilter("beach");
    review.clickHeaderBox(true);
    // The shorter path stays.
    EXPECT_EQ(ticked(review), (std::vector<std::string>{"/b/report.pdf", "/pics/Beach.JPG"}));
    review.clickHeaderBox(false);
    EXPECT_EQ(ticked(review), (std::vector<std::string>{"/b/report.pdf"}));
    EXPECT_EQ(review.headerState(), DuplicateReview::HeaderState::Off);
    EXPECT_EQ(review.titleLine(), "2 files in x.");
}

TEST(DuplicateReview, DeletingUpdatesGroupsAndCategorySizes) {
    auto pair = copyGroup("a.txt", "txt", {{"/p1", 100, 1}, {"/p2", 100, 1}});
    auto triple = copyGroup("b.txt", "txt", {{"/t1", 10, 1}, {"/t2", 10, 1}, {"/t3", 10, 1}});
    auto failing = copyGroup("c.txt", "txt", {{"/f1", 1, 1}, {"/f2", 1, 1}, {"/f3", 1, 1}});
    DuplicateReview review(resultTree({pair, triple, failing}), "/");
    EXPECT_EQ(review.categorySize(1), 200u + 30u + 3u);
    review.clickGroupBox(pair);                              // ticks /p2
    review.clickMemberBox(triple->childAtIndex(0), kNever);  // ticks /t1 only
    review.clickGroupBox(failing);  // ticks /f2, /f3; /f2 cannot be removed
    EXPECT_EQ(ticked(review), (std::vector<std::string>{"/p2", "/t1", "/f2", "/f3"}));
    auto report = removedBy(review, [](const std::string& path) { return path != "/f2"; });
    EXPECT_FALSE(report.stopped);
    EXPECT_EQ(report.deleted.size(), 3u);
    // Nothing changes before the removal is finished on the main thread.
    EXPECT_EQ(pair->numberOfChildren(), 2u);
    EXPECT_EQ(ticked(review).size(), 4u);
    EXPECT_EQ(review.finishDeletion(report), 1u);

    // The pair lost a copy: one left is no duplicate, so the group goes from every tree and
    // the category falls by both copies. The partly ticked triple keeps two, now unticked.
    auto groups = review.categoryTree(0)->children();
    EXPECT_EQ(std::count(groups.begin(), groups.end(), pair), 0);
    EXPECT_EQ(review.categoryTree(1)->indexOfChildIdenticalTo(pair), TreeNode::NotFound);
    EXPECT_EQ(triple->numberOfChildren(), 2u);
    EXPECT_EQ(triple->nodeData()->selectNum, 0);
    EXPECT_EQ(triple->nodeData()->fileSize, 20u);
    EXPECT_EQ(failing->numberOfChildren(), 2u);
    EXPECT_EQ(review.categorySize(1), 20u + 2u);

    // A failed removal is reported, and everything shown is unticked.
    EXPECT_TRUE(ticked(review).empty());
    EXPECT_EQ(review.selectionLine(), "0 of 4 selected.");
}

TEST(DuplicateReview, AStopMidDeletionKeepsTheTreesConsistent) {
    auto first = copyGroup("a.txt", "txt", {{"/a1", 5, 1}, {"/a2", 5, 1}, {"/a3", 5, 1}});
    auto second = copyGroup("b.png", "png", {{"/b1", 4, 1}, {"/b2", 4, 1}});
    DuplicateReview review(resultTree({first, second}), "/s");
    review.clickHeaderBox(true);  // /a2, /a3, /b2
    // Stopped during /a3: /b2 was not tried.
    auto report = removedBy(
        review, [](const std::string&) { return true; }, 2);
    EXPECT_TRUE(report.stopped);
    EXPECT_EQ(report.deleted.size(), 2u);
    review.finishDeletion(report);
    // What went is gone from the trees and the sizes; what was not reached is whole.
    EXPECT_EQ(first->numberOfChildren(), 1u);
    EXPECT_EQ(review.categoryTree(0)->indexOfChildIdenticalTo(first), TreeNode::NotFound);
    EXPECT_EQ(review.categoryTree(1)->numberOfChildren(), 0u);
    EXPECT_EQ(review.categorySize(1), 0u);
    EXPECT_EQ(second->numberOfChildren(), 2u);
    EXPECT_EQ(review.categorySize(5), 8u);
    EXPECT_EQ(review.categorySize(0), 8u);
    EXPECT_EQ(DuplicateReview::showSelectNumStr(*second), "0/2");
    EXPECT_EQ(review.selectionLine(), "0 of 2 selected.");
}
