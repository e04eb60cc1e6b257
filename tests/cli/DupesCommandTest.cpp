// SPDX-License-Identifier: GPL-3.0-or-later
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli/CliTestSupport.h"
#include "duplicates/DuplicateTestSupport.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

using ::testing::HasSubstr;
using ::testing::Not;

namespace {

// Runs quillby with HOME in a temporary folder, on a tree in another one.
class Dupes : public ::testing::Test {
  protected:
    ProcessResult run(std::vector<std::string> arguments, const std::string& input = "") {
        arguments.insert(arguments.begin(), "dupes");
        return cli.run(arguments, input);
    }
    std::string path(const std::string& name) const { return (tree / name).string(); }
    std::vector<std::string> remaining() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(tree.path())) {
            if (entry.is_regular_file())
                names.push_back(fs::relative(entry.path(), tree.path()).string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    void setDate(const std::string& name, int daysAgo) {
        fs::last_write_time(tree / name,
                            fs::file_time_type::clock::now() - std::chrono::hours(24 * daysAgo));
    }

    CliHome cli;
    TempDir tree;
};

}  // namespace

TEST_F(Dupes, PrintsGroupsAsTextJsonAndCsv) {
    tree.write("docs/a.txt", "hello there");
    tree.write("docs/b.txt", "hello there");
    tree.write("music/song.mp3", std::string(2000, 's'));
    tree.write("music/copy.mp3", std::string(2000, 's'));
    tree.write("music/other.mp3", std::string(2000, 'o'));

    auto json = run({tree.path().string(), "--min-size", "0", "--json"});
    ASSERT_EQ(json.status, 0) << json.err;
    auto result = nlohmann::json::parse(json.out);
    EXPECT_EQ(result["root"], tree.path().string());
    EXPECT_EQ(result["threshold"], 0);
    ASSERT_EQ(result["groups"].size(), 2u);
    std::set<std::string> categories;
    for (const auto& group : result["groups"]) {
        categories.insert(group["category"].get<std::string>());
        ASSERT_EQ(group["members"].size(), 2u);
        EXPECT_EQ(group["size"], 2 * group["members"][0]["size"].get<int>());
        EXPECT_EQ(group["extension"], group["category"] == "Music" ? "mp3" : "txt");
        EXPECT_EQ(group["members"][0]["modified"].get<std::string>().back(), 'Z');
    }
    EXPECT_EQ(categories, (std::set<std::string>{"Documents", "Music"}));
    // The keys keep the documented order.
    EXPECT_LT(json.out.find("\"root\""), json.out.find("\"groups\""));

    auto text = run({tree.path().string(), "--min-size", "0"});
    ASSERT_EQ(text.status, 0);
    EXPECT_TRUE(holdsAll(text.out, "Music", path("music/copy.mp3"), "2 groups, 4 files"));

    auto progress = run({tree.path().string(), "--min-size", "0", "--json", "--progress"});
    ASSERT_EQ(progress.status, 0);
    EXPECT_TRUE(nlohmann::json::accept(progress.out));  // progress goes to standard error only
    EXPECT_THAT(progress.err, HasSubstr("100%"));

    auto csv = run({tree.path().string(), "--min-size", "0", "--csv"});
    ASSERT_EQ(csv.status, 0);
    EXPECT_EQ(csv.out.rfind("group,category,name,extension,path,size,modified\n", 0), 0u);
    EXPECT_EQ(std::count(csv.out.begin(), csv.out.end(), '\n'), 5);
}

TEST_F(Dupes, TheThresholdComesFromTheOptionOrTheSettings) {
    tree.write("a", std::string(1000, 'k'));
    tree.write("b", std::string(1000, 'k'));
    tree.write("c", std::string(1001, 'l'));
    tree.write("d", std::string(1001, 'l'));
    auto groups = [&](std::vector<std::string> extra) {
        std::vector<std::string> arguments{tree.path().string(), "--json"};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        auto result = run(arguments);
        EXPECT_EQ(result.status, 0) << result.err;
        return nlohmann::json::parse(result.out)["groups"].size();
    };
    EXPECT_EQ(groups({}), 0u);  // the default limit is 1 MB
    EXPECT_EQ(groups({"--min-size", "1000"}), 1u);
    EXPECT_EQ(groups({"--min-size", "0.999kb"}), 2u);
    ASSERT_EQ(cli.run({"settings", "set", "QWDuplicatesUnit", "0"}).status, 0);
    ASSERT_EQ(cli.run({"settings", "set", "QWDuplicationLimit", "999"}).status, 0);
    EXPECT_EQ(groups({}), 2u);
}

TEST_F(Dupes, BadInputGetsOneLineAndStatusTwo) {
    tree.write("file", "x");
    // Which sizes parse is SizeArgument's to prove; here one that does not is refused.
    std::vector<std::vector<std::string>> cases = {
        {path("missing")},
        {path("file")},
        {tree.path().string(), "--min-size", "lots"},
        {tree.path().string(), "--keep", "biggest"},
        {tree.path().string(), "--json", "--csv"},
        {tree.path().string(), "--json", "--delete"},
        {tree.path().string(), "--permanent"},
        {tree.path().string(), "--keep-in", path("missing")},
        {tree.path().string(), "--keep-in", path("file")},
        {tree.path().string(), "--exclude", path("missing")},
    };
    for (const auto& arguments : cases) expectRefusedInOneLine(run(arguments), arguments.back());

    // A folder that cannot be read (as another user when the tests run as root).
    tree.write("locked/inside", "x");
    fs::permissions(tree.path(), fs::perms::all, fs::perm_options::replace);
    fs::permissions(tree / "locked", fs::perms::none);
    ProcessResult result = cli.runAsOrdinaryUser({"dupes", path("locked")});
    EXPECT_EQ(result.status, 2);
    EXPECT_THAT(result.err, HasSubstr("cannot read folder"));
    // Below the searched folder it is named, and the run never ends as if it had seen it all.
    result = cli.runAsOrdinaryUser({"dupes", tree.path().string()});
    fs::permissions(tree / "locked", fs::perms::owner_all);
    EXPECT_EQ(result.status, 1);
    EXPECT_THAT(result.err, HasSubstr("not searched: " + path("locked")));
}

TEST_F(Dupes, DeletingKeepsOneCopyOfEveryGroupInTheTrashUnlessPermanentAndAsksFirst) {
    for (const char* name : {"a/1.txt", "b/2.txt", "c/3.txt"}) tree.write(name, "three copies");
    for (const char* name : {"x.bin", "y.bin"}) tree.write(name, "two copies");
    auto declined = run({tree.path().string(), "--min-size", "0", "--delete"}, "n\n");
    EXPECT_EQ(declined.status, 0);
    EXPECT_TRUE(holdsAll(declined.out, "Move these 3 files to the trash", "Nothing removed."));
    EXPECT_EQ(remaining().size(), 5u);

    auto accepted = run({tree.path().string(), "--min-size", "0", "--delete"}, "y\n");
    EXPECT_EQ(accepted.status, 0) << accepted.out << accepted.err;
    EXPECT_NE(accepted.out.find("Moved 3 items ("), std::string::npos) << accepted.out;
    auto left = remaining();
    ASSERT_EQ(left.size(), 2u);
    EXPECT_TRUE(left[0].ends_with(".txt"));
    EXPECT_TRUE(left[1].ends_with(".bin"));
    EXPECT_EQ(TempDir::read(tree / left[0]), "three copies");
    // The copies wait in the trash of $XDG_DATA_HOME, each with what restores it.
    const fs::path trash = cli.home / ".local/share/Trash";
    std::size_t trashed = 0;
    for (const auto& entry : fs::directory_iterator(trash / "files")) {
        std::string name = entry.path().filename().string();
        std::string info = TempDir::read(trash / "info" / (name + ".trashinfo"));
        EXPECT_TRUE(holdsAll(info, "Path=" + tree.path().string() + "/", name));
        ++trashed;
    }
    EXPECT_EQ(trashed, 3u);

    // For good: the copies leave the disk and the trash takes nothing more.
    tree.write("z.bin", "two copies");
    auto permanent =
        run({tree.path().string(), "--min-size", "0", "--delete", "--permanent", "--yes"});
    EXPECT_EQ(permanent.status, 0) << permanent.out << permanent.err;
    EXPECT_NE(permanent.out.find("Deleted 1 item ("), std::string::npos) << permanent.out;
    EXPECT_EQ(remaining().size(), 2u);
    EXPECT_EQ(std::distance(fs::directory_iterator(trash / "files"), fs::directory_iterator()), 3);
}

// The rules themselves are CopyToKeep's; here each option reaches them, and --keep and --keep-in
// remove without --delete.
TEST_F(Dupes, KeepKeepInAndExcludeChooseWhatStays) {
    for (const char* name : {"old", "newest", "middle"}) tree.write(name, "dated copies");
    setDate("old", 30);
    setDate("middle", 10);
    setDate("newest", 1);
    auto result = run({tree.path().string(), "--min-size", "0", "--keep", "newest", "--yes"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_THAT(result.out, HasSubstr("(keeps " + path("newest") + ")"));
    EXPECT_EQ(remaining(), std::vector<std::string>{"newest"});

    // By default the name without a copy marker stays, though it is newer.
    for (const char* name : {"report (copy).pdf", "report.pdf"}) tree.write(name, "a report");
    setDate("report (copy).pdf", 200);
    result = run({tree.path().string(), "--min-size", "0", "--delete", "--yes"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(remaining(), (std::vector<std::string>{"newest", "report.pdf"}));

    for (const char* name : {"backup/a.jpg", "photos/a.jpg"}) tree.write(name, "a photo");
    setDate("backup/a.jpg", 30);  // the default rule would keep the older backup
    for (const char* name : {"w.bin", "y.bin", "cache/x.bin", "z.tmp"}) tree.write(name, "bytes");
    result = run({tree.path().string(), "--min-size", "0", "--keep-in", path("photos"), "--exclude",
                  path("cache"), "--exclude", "*.tmp", "--yes", "--json"});
    EXPECT_EQ(result.status, 0) << result.out << result.err;
    EXPECT_TRUE(nlohmann::json::accept(result.out));  // the report went to standard error
    auto left = remaining();
    EXPECT_EQ(left.size(), 6u);
    for (const char* name : {"photos/a.jpg", "cache/x.bin", "z.tmp"}) {
        EXPECT_TRUE(std::find(left.begin(), left.end(), name) != left.end()) << name;
    }
}

TEST_F(Dupes, ACopyThatDiffersFromTheKeptOneIsRefusedAndReported) {
    std::string original = randomBytes(4000, 8);
    std::string twin = crcTwinOf(original, 3000);  // same size, head and checksum
    tree.write("p/original", original);
    tree.write("q/twin", twin);
    tree.write("r/copy", original);
    auto result = run({tree.path().string(), "--min-size", "0", "--delete", "--yes"});
    EXPECT_EQ(result.status, 1) << result.out;
    EXPECT_TRUE(holdsAll(result.out, "refused ", "differ"));
    // Whatever stayed, both contents still exist and the twin was never removed.
    EXPECT_EQ(TempDir::read(tree / "q/twin"), twin);
    bool originalKept = false;
    for (const auto& name : remaining()) originalKept |= TempDir::read(tree / name) == original;
    EXPECT_TRUE(originalKept);
}

TEST_F(Dupes, ACopyOnlyRightsCanRemoveIsOfferedTheRetryAndReported) {
    tree.write("kept/a.bin", "copied bytes");
    tree.write("locked/b.bin", "copied bytes");
    setDate("kept/a.bin", 10);  // the oldest stays
    fs::permissions(tree.path(), fs::perms::all, fs::perm_options::replace);
    fs::permissions(tree / "locked", fs::perms::owner_read | fs::perms::owner_exec |
                                         fs::perms::others_read | fs::perms::others_exec);
    // Confirmed, then the retry with rights declined.
    auto result = cli.runAsOrdinaryUser(
        {"dupes", tree.path().string(), "--min-size", "0", "--delete", "--permanent"}, "y\nn\n");
    fs::permissions(tree / "locked", fs::perms::owner_all);
    EXPECT_EQ(result.status, 1) << result.out << result.err;
    EXPECT_TRUE(holdsAll(result.out, "1 item can only be removed with administrator rights.",
                         "failed " + path("locked/b.bin") + ": permission denied",
                         "Nothing was removed. 1 item could not be removed."));
    EXPECT_EQ(remaining().size(), 2u);
}

TEST_F(Dupes, LinkHardReplacesCopiesAndReportsWhatItDidNotLink) {
    const std::string photo = randomBytes(50000, 4), song = randomBytes(70000, 9);
    for (const char* name : {"a/photo.jpg", "b/photo.jpg", "c/photo.jpg"}) tree.write(name, photo);
    for (const char* name : {"a/song.mp3", "b/song.mp3", "private/song.mp3"})
        tree.write(name, song);
    fs::permissions(tree / "private/song.mp3", fs::perms::owner_read | fs::perms::owner_write);
    auto inode = [&](const std::string& name) {
        struct stat status {};
        return ::lstat((tree / name).c_str(), &status) == 0 ? status.st_ino : 0;
    };

    // A copy whose mode differs is reported with both sides, in JSON as well, and fails the run.
    auto result =
        run({tree.path().string(), "--min-size", "0", "--link", "hard", "--json", "--yes"});
    EXPECT_EQ(result.status, 1) << result.out << result.err;
    auto json = nlohmann::json::parse(result.out);
    ASSERT_EQ(json["replacements"].size(), 4u) << result.out;
    std::map<std::string, nlohmann::json> records;
    for (const auto& record : json["replacements"]) records[record["path"]] = record;
    EXPECT_EQ(records[path("private/song.mp3")]["outcome"], "refused");
    EXPECT_THAT(records[path("private/song.mp3")]["reason"].get<std::string>(),
                HasSubstr("mode 0600 against"));
    EXPECT_EQ(records[path("b/photo.jpg")]["outcome"], "replaced");
    EXPECT_GT(records[path("b/photo.jpg")]["freed"].get<std::uint64_t>(), 0u);
    EXPECT_THAT(result.err, HasSubstr("Replaced 3 items ("));

    // Told to link them anyway, the copy is one file with the one kept (how a link replaces a
    // copy is CopyLinking's to prove).
    result = run(
        {tree.path().string(), "--min-size", "0", "--link", "hard", "--any-owner-mode", "--yes"});
    EXPECT_EQ(result.status, 0) << result.out << result.err;
    EXPECT_THAT(result.out, HasSubstr("replaced " + path("private/song.mp3") + " (frees "));
    EXPECT_EQ(inode("private/song.mp3"), inode("a/song.mp3"));
    EXPECT_EQ(TempDir::read(tree / "private/song.mp3"), song);

    // Replacing does not go with removing, and asks first like removing.
    EXPECT_EQ(run({tree.path().string(), "--link", "hard", "--delete"}).status, 2);
    EXPECT_EQ(run({tree.path().string(), "--link", "reflink", "--any-owner-mode"}).status, 2);
}

// That names of one file are no copies is the search's rule; the summary counts them once.
TEST_F(Dupes, TheSummaryCountsNamesOfOneFileOnce) {
    // Two names of one file and a real copy of it: one extra copy.
    tree.write("m/a.dat", std::string(2000, 'm'));
    fs::create_hard_link(tree / "m/a.dat", tree / "m/b.dat");
    tree.write("m/c.dat", std::string(2000, 'm'));
    tree.write("x.txt", std::string(2000, 'x'));
    tree.write("y.txt", std::string(2000, 'x'));
    auto text = run({tree.path().string(), "--min-size", "0"});
    EXPECT_EQ(text.status, 0) << text.err;
    EXPECT_THAT(text.out, HasSubstr("2 groups, 5 files; the extra copies take 4.00 KB."));
}

// How a name that is not UTF-8 is escaped in JSON and quoted in CSV is StructuredOutput's to
// prove; here the paths go through it, and such a folder can be handed back to the command.
TEST_F(Dupes, EveryPrintedPathLeadsBackToItsFile) {
    tree.write("d\xff/a,\"quoted\".txt", "the same bytes");
    tree.write("d\xff/caf\xe9.txt", "the same bytes");
    auto json = run({path("d\xff"), "--min-size", "0", "--json"});
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_THAT(json.out, HasSubstr("\"path\": \"" + path("d\\udcff/caf\\udce9.txt") + "\""));

    auto csv = run({tree.path().string(), "--min-size", "0", "--csv"});
    ASSERT_EQ(csv.status, 0) << csv.err;
    EXPECT_THAT(csv.out, HasSubstr(",\"" + path("d\xff/a,\"\"quoted\"\".txt") + "\","));
}

// The same copies in system folders of the root and in a home. Searched from the root only the
// home's count and only one of them goes (that below any other folder those names mean nothing
// is FileList's to prove).
TEST_F(Dupes, TheSystemFoldersOfTheRootAreLeftOutWithoutSystemAndNeverDeleted) {
    auto prefix = privateMountNamespace();
    if (prefix.empty()) GTEST_SKIP() << "no private mount namespace here (unshare refused)";
    TempDir root;
    const char* systemFolders[] = {"var",  "opt",  "tmp",        "srv",
                                   "snap", "boot", "lost+found", "Library"};
    for (const char* folder : systemFolders) {
        root.write(std::string(folder) + "/one.dat", "system copies");
        root.write(std::string(folder) + "/two.dat", "system copies");
    }
    root.write("home/me/a.txt", "user copies");
    root.write("home/me/b.txt", "user copies");
    // The root of a private mount namespace that ends with the commands (of the tester's own
    // user namespace when not root, so an ordinary user runs it too). The program and what it
    // loads come in read-only; /dev goes before the deleting run.
    for (const char* folder : {"usr", "etc", "proc", "dev"}) fs::create_directory(root / folder);
    fs::create_directory_symlink("usr/lib", root / "lib");
    fs::create_directory_symlink("usr/lib64", root / "lib64");
    fs::copy_file(QUILLBY_CLI_PATH, root / "srv/quillby");
    const std::string script =
        "set -e; R=\"$0\"; "
        "for d in usr etc; do mount --bind /$d \"$R/$d\"; "
        "mount -o remount,bind,ro \"$R/$d\"; done; "
        "mount --rbind /proc \"$R/proc\"; mount --rbind /dev \"$R/dev\"; "
        "chroot \"$R\" /srv/quillby dupes / --json --min-size 0; "
        "chroot \"$R\" /srv/quillby dupes /proc/self/root --json --min-size 0 >\"$R/srv/by.json\"; "
        "umount -l \"$R/dev\"; "
        "exec chroot \"$R\" /srv/quillby dupes /proc/self/root --min-size 0 --delete --yes >&2";
    prefix.insert(prefix.end(), {"--fork", "/bin/sh", "-c", script, root.path().string()});
    auto result = runProcess("/usr/bin/unshare", prefix,
                             {{"HOME", "/home/me"}, {"PATH", "/usr/bin:/usr/sbin:/bin:/sbin"}});
    ASSERT_EQ(result.status, 0) << result.err;
    std::vector<std::string> paths;
    auto found = nlohmann::json::parse(result.out);
    for (const auto& group : found["groups"]) {
        for (const auto& member : group["members"]) paths.push_back(member["path"]);
    }
    std::sort(paths.begin(), paths.end());
    EXPECT_EQ(paths, (std::vector<std::string>{"/home/me/a.txt", "/home/me/b.txt"}));
    // The root by another name is still the root: the same two copies, and only they go.
    auto byProc = nlohmann::json::parse(std::ifstream(root / "srv/by.json"));
    ASSERT_EQ(byProc["groups"].size(), 1u) << byProc.dump();
    EXPECT_EQ(byProc["groups"][0]["members"].size(), 2u);
    for (const char* folder : systemFolders) {
        EXPECT_TRUE(fs::exists(root / folder / "one.dat")) << folder << result.err;
        EXPECT_TRUE(fs::exists(root / folder / "two.dat")) << folder << result.err;
    }
    EXPECT_EQ(fs::exists(root / "home/me/a.txt") + fs::exists(root / "home/me/b.txt"), 1);
}
