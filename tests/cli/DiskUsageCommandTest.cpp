// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/CliTestSupport.h"
#include "diskusage/DiskUsageFixtures.h"
#include "support/UnprivilegedChild.h"

namespace {

// top: big/ (inner/ 3,000,000 + 40), mid/ 1,000,000, tiny/ 10, loose 2,500,000
class DuCommand : public ::testing::Test {
  protected:
    void SetUp() override {
        makeFile(top / "big/inner/blob", 3000000);
        makeFile(top / "big/small", 40);
        makeFile(top / "mid/m", 1000000);
        makeFile(top / "tiny/t", 10);
        makeFile(top / "loose", 2500000);
    }
    CliHome cli;
    fs::path top = cli.home / "top";
};

}  // namespace

TEST_F(DuCommand, ListsFoldersLargestFirstWithSizesAndShares) {
    auto result = cli.run({"du", top.string(), "--depth", "2"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");  // no progress line off a terminal
    EXPECT_EQ(result.out, "   6.50 MB  100.0% [####################]  " + top.string() +
                              "/\n"
                              "   3.00 MB   46.2% [#########           ]    big/\n"
                              "   3.00 MB  100.0% [####################]      inner/\n"
                              "   1.00 MB   15.4% [###                 ]    mid/\n"
                              "   0.01 KB    0.0% [                    ]    tiny/\n"
                              "Sizes: apparent (the files' lengths)\n");

    auto topOne = cli.run({"du", top.string(), "--top", "1"});
    EXPECT_NE(topOne.out.find("big/"), std::string::npos);
    EXPECT_EQ(topOne.out.find("mid/"), std::string::npos);
    EXPECT_NE(topOne.out.find("(2 more: 1.00 MB)"), std::string::npos) << topOne.out;
}

TEST_F(DuCommand, JsonToTheGivenDepthAndTheItemTree) {
    auto folders = nlohmann::json::parse(cli.run({"du", top.string(), "--json"}).out);
    EXPECT_EQ(folders["path"], top.string() + "/");
    EXPECT_EQ(folders["size"], 6500050);
    ASSERT_EQ(folders["children"].size(), 3u);
    EXPECT_EQ(folders["children"][0]["path"], (top / "big").string() + "/");
    EXPECT_EQ(folders["children"][0]["size"], 3000040);
    EXPECT_FALSE(folders["children"][0].contains("children"));  // beyond --depth 1

    auto items = nlohmann::json::parse(
        cli.run({"du", top.string(), "--json", "--items", "--limit", "1 MB", "--depth", "3"}).out);
    EXPECT_EQ(items["path"], top.string());
    EXPECT_EQ(items["size"], 6500050);
    std::vector<std::string> names;
    for (const auto& child : items["children"]) names.push_back(child["path"]);
    EXPECT_EQ(names, (std::vector<std::string>{(top / "big").string(), (top / "loose").string(),
                                               (top / "mid").string()}));
    EXPECT_EQ(items["children"][0]["children"][0]["children"][0]["path"],
              (top / "big/inner/blob").string());
    EXPECT_EQ(items["children"][0]["children"].size(), 1u);  // small is below the limit

    // Without --limit the settings' limit applies (0 by default: everything).
    auto all = nlohmann::json::parse(cli.run({"du", top.string(), "--json", "--items"}).out);
    EXPECT_EQ(all["children"].size(), 4u);
    ASSERT_EQ(cli.run({"settings", "set", "QWDiskUsageLimit", "2"}).status, 0);
    ASSERT_EQ(cli.run({"settings", "set", "QWDiskUsageUnit", "2"}).status, 0);
    auto limited = nlohmann::json::parse(cli.run({"du", top.string(), "--json", "--items"}).out);
    EXPECT_EQ(limited["children"].size(), 2u);
}

TEST_F(DuCommand, AllocatedSizesAreWhatDuCountsAndTheOutputSaysSo) {
    std::string du = duProgram();
    if (du.empty()) GTEST_SKIP() << "no du here";
    // How links and blocks count is ScanScope's to prove; here --allocated reaches it.
    auto allocated =
        nlohmann::json::parse(cli.run({"du", "--allocated", top.string(), "--json"}).out);
    EXPECT_EQ(allocated["measure"], "allocated");
    EXPECT_EQ(allocated["size"], *duBytes(du, top));
    EXPECT_EQ(nlohmann::json::parse(cli.run({"du", top.string(), "--json"}).out)["measure"],
              "apparent");
    auto text = cli.run({"du", "--allocated", top.string()}).out;
    EXPECT_TRUE(
        text.ends_with("Sizes: allocated (the blocks taken on the disk, hard links once)\n"))
        << text;
}

// Excluded folders are left unread and shown as such, whatever spelling named them.
TEST_F(DuCommand, ExcludedFoldersAreShownAsExcludedNotEmpty) {
    auto text = cli.run({"du", top.string(), "--exclude", (top / "mid/../big").string(),
                         "--exclude", (top / "tiny").string()});
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_NE(text.out.find("         -         [                    ]    [excluded] big/\n"),
              std::string::npos)
        << text.out;
    EXPECT_NE(text.out.find("[excluded] tiny/"), std::string::npos);
    // A scan file keeps the mark.
    fs::path file = cli.home / "scan.json";
    ASSERT_EQ(cli.run({"du", top.string(), "--export", file.string(), "--exclude",
                       (top / "big").string()})
                  .status,
              0);
    EXPECT_NE(cli.run({"du", "--import", file.string()}).out.find("[excluded] big/"),
              std::string::npos);

    auto json = nlohmann::json::parse(
        cli.run({"du", top.string(), "--json", "--items", "--exclude", (top / "big").string()})
            .out);
    EXPECT_EQ(json["size"], 3500010);
    for (const auto& child : json["children"]) {
        bool big = child["path"] == (top / "big").string();
        EXPECT_EQ(child.value("excluded", false), big) << child;
        EXPECT_EQ(child.contains("size"), !big) << child;
    }
}

// What grew, shrank, came and went since a scan of the same folder, whatever path reached it;
// a folder beyond --top is not taken for one that went.
TEST_F(DuCommand, SinceAnEarlierScanEachEntrySaysWhatChanged) {
    fs::path earlier = cli.home / "earlier.json";
    ASSERT_EQ(cli.run({"du", top.string(), "--export", earlier.string()}).status, 0);
    makeFile(top / "big/inner/blob", 4000000);  // grew by 1,000,000
    fs::remove_all(top / "tiny");
    makeFile(top / "new/n", 5000);
    fs::create_symlink(top, cli.home / "again");

    auto text = cli.run({"du", (cli.home / "again").string() + "/", "--since", earlier.string()});
    ASSERT_EQ(text.status, 0) << text.err;
    for (const char* line : {"   +1.00 MB   big/\n", "     0.00 KB   mid/\n",
                             "        new   new/\n", "(removed: tiny, 0.01 KB)\n"}) {
        EXPECT_NE(text.out.find(line), std::string::npos) << line << "\n" << text.out;
    }
    EXPECT_EQ(cli.run({"du", top.string(), "--since", earlier.string(), "--top", "1"})
                  .out.find("removed: mid"),
              std::string::npos);

    auto json = nlohmann::json::parse(cli.run({"du", top.string(), "--json", "--items", "--depth",
                                               "3", "--since", earlier.string()})
                                          .out);
    EXPECT_EQ(json["change"], 1000000 + 5000 - 10);
    std::map<std::string, nlohmann::json> children;
    for (const auto& child : json["children"]) children[child["path"]] = child;
    EXPECT_EQ(children[(top / "big").string()]["change"], 1000000);
    EXPECT_EQ(children[(top / "big").string()]["children"][0]["children"][0]["change"], 1000000);
    EXPECT_EQ(children[(top / "new").string()]["new"], true);
    EXPECT_EQ(children[(top / "loose").string()]["change"], 0);
    EXPECT_EQ(json["removed"], nlohmann::json::parse(R"([{"name":"tiny","size":10}])"));
}

// Each scan of a folder is kept in the user's cache (unless --no-keep); --since-last compares
// with the one kept last time.
TEST_F(DuCommand, SinceLastComparesWithTheScanKeptLastTime) {
    fs::path scans = cli.home / ".cache/com.quillby.pro/scans";
    auto first = cli.run({"du", top.string(), "--since-last"});
    EXPECT_EQ(first.status, 0);
    EXPECT_EQ(first.err, "quillby: no earlier scan of this folder is kept\n");
    EXPECT_EQ(first.out.find("new"), std::string::npos);
    ASSERT_EQ(cli.run({"du", top.string(), "--no-keep"}).status, 0);
    auto kept = [&] { return std::distance(fs::directory_iterator(scans), {}); };
    EXPECT_EQ(kept(), 1);

    makeFile(top / "mid/m", 1500000);
    auto text = cli.run({"du", top.string(), "--since-last"});
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_EQ(text.err, "");
    EXPECT_NE(text.out.find("   +500.00 KB   mid/\n"), std::string::npos) << text.out;
    EXPECT_EQ(kept(), 2);
    // The item tree is a place of its own.
    auto items = nlohmann::json::parse(
        cli.run({"du", top.string(), "--items", "--json", "--since-last"}).out);
    EXPECT_FALSE(items.contains("change"));
    EXPECT_EQ(kept(), 3);
}

TEST_F(DuCommand, BadInputGetsOneLineAndStatusTwo) {
    expectEachRefusedInOneLine(
        cli, {{{"du"}, "PATH"},
              {{"du", (top / "loose").string()}, "not a folder"},
              {{"du", (top / "missing").string()}, "no such folder"},
              {{"du", top.string(), "--items", "--limit", "12 XB"}, "bad size"},
              {{"du", top.string(), "--limit", "1MB"}, "--items"},
              {{"du", top.string(), "--depth", "-1"}, "--depth"},
              {{"du", top.string(), "--exclude", (top / "missing").string()}, "no such folder"},
              {{"du", top.string(), "--exclude", (top / "loose").string()}, "not a folder"},
              {{"du", "--import", "-", "--allocated"}, "--allocated"},
              {{"du", top.string(), "--since", (top / "loose").string()}, "not a disk-usage scan"},
              {{"du", top.string(), "--since", "x", "--export", "-"}, "--export"},
              {{"du", top.string(), "--discover", "--top", "0"}, "--top"},
              {{"du", top.string(), "--discover", "--items"}, "--items"}});
}

TEST_F(DuCommand, NamesWithControlCharactersCannotBreakTheListing) {
    makeFile(top / "odd\nname" / "f", 5000000);
    auto result = cli.run({"du", top.string()});
    ASSERT_EQ(result.status, 0);
    EXPECT_NE(result.out.find("odd?name/"), std::string::npos) << result.out;
    auto json = nlohmann::json::parse(cli.run({"du", top.string(), "--json"}).out);
    EXPECT_EQ(json["children"][0]["path"], (top / "odd\nname").string() + "/");
}

TEST_F(DuCommand, AFolderThatCannotBeReadIsMarkedAndCounted) {
    makeFile(top / "closed/secret", 7000000);
    fs::permissions(cli.home.path(), fs::perms::all, fs::perm_options::replace);
    fs::permissions(top / "closed", fs::perms::none);
    EXPECT_TRUE(asOrdinaryUser([&] {
        auto text = cli.run({"du", top.string()});
        bool marked = text.status == 0 && text.out.find("  ! closed/\n") != std::string::npos &&
                      text.out.find("  big/\n") != std::string::npos &&
                      text.out.find("! 1 folder could not be read") != std::string::npos;
        auto json = nlohmann::json::parse(cli.run({"du", top.string(), "--json"}).out);
        bool flagged = false, othersClean = true;
        for (const auto& child : json["children"]) {
            if (child["path"] == (top / "closed").string() + "/") {
                flagged = child.value("error", false) && child["size"] == 0;
            } else {
                othersClean = othersClean && !child.contains("error");
            }
        }
        return marked && flagged && othersClean && !json.contains("error");
    }));
    // Where everything was read there is neither a mark nor a count.
    fs::permissions(top / "closed", fs::perms::owner_all);
    EXPECT_EQ(cli.run({"du", top.string()}).out.find('!'), std::string::npos);
}

// How such a name is escaped is StructuredOutput's to prove; here the path goes through it, and
// the folder can be handed back to the command.
TEST_F(DuCommand, APrintedPathThatIsNotUtf8LeadsBackToItsFolder) {
    const std::string name = "caf\xe9 \xff";
    makeFile(top / name / "f", 4000000);
    auto printed = cli.run({"du", top.string(), "--json"});
    ASSERT_EQ(printed.status, 0) << printed.err;
    EXPECT_NE(printed.out.find("\"path\": \"" + top.string() + "/caf\\udce9 \\udcff/\""),
              std::string::npos)
        << printed.out;
    auto again = cli.run({"du", (top / name).string(), "--json"});
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_NE(again.out.find("\"size\": 4000000"), std::string::npos) << again.out;
}

TEST_F(DuCommand, DiscoverListsTheLargestNewestAndOldestFiles) {
    const std::pair<const char*, std::int64_t> times[] = {{"big/inner/blob", 3000},
                                                          {"big/small", 4000},
                                                          {"mid/m", 2000},
                                                          {"tiny/t", 1000},
                                                          {"loose", 5000}};
    for (const auto& [name, seconds] : times) {
        struct timespec both[2] = {{seconds, 0}, {seconds, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, (top / name).c_str(), both, 0), 0);
    }
    auto json = nlohmann::json::parse(
        cli.run({"du", top.string(), "--discover", "--top", "2", "--json"}).out);
    auto file = [&](const char* name, std::uint64_t size, std::int64_t seconds) {
        return nlohmann::json{
            {"path", (top / name).string()}, {"size", size}, {"modified", seconds}};
    };
    EXPECT_EQ(json["largest"], nlohmann::json({file("big/inner/blob", 3000000, 3000),
                                               file("loose", 2500000, 5000)}));
    EXPECT_EQ(json["newest"],
              nlohmann::json({file("loose", 2500000, 5000), file("big/small", 40, 4000)}));
    EXPECT_EQ(json["oldest"],
              nlohmann::json({file("tiny/t", 10, 1000), file("mid/m", 1000000, 2000)}));

    // The text: each section's title, then a line per file ending in its path.
    auto text = cli.run({"du", top.string(), "--discover", "--top", "1"});
    ASSERT_EQ(text.status, 0) << text.err;
    std::string shape;
    std::istringstream lines(text.out);
    for (std::string line; std::getline(lines, line);) {
        shape += (line.starts_with(" ") ? line.substr(line.rfind("  ") + 2) : line) + "|";
    }
    EXPECT_EQ(shape, "Largest files|" + (top / "big/inner/blob").string() + "||Newest files|" +
                         (top / "loose").string() + "||Oldest files|" + (top / "tiny/t").string() +
                         "|");
}
