// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/sysmacros.h>
#include <algorithm>

#include "cli/CliTestSupport.h"
#include "diskusage/DiskUsageFixtures.h"

namespace {

// The installed program of that name, or "" (the peers are installed for the benchmarks only).
std::string installed(const std::string& name) {
    auto found = runProcess("/bin/sh", {"-c", "command -v " + name}, {});
    std::string path = found.out.substr(0, found.out.find('\n'));
    return found.status == 0 ? path : "";
}

class DuExport : public ::testing::Test {
  protected:
    void SetUp() override {
        generateTree(top, 7);
        makeFile(top / "caf\xe9 \xff" / "f", 4000000);
        makeFile(top / "odd\nname" / "g", 3000000);
    }
    // What quillby du prints of the folder, live or from a file, deep enough to show it all.
    std::vector<std::string> listing(const std::vector<std::string>& source,
                                     const std::vector<std::string>& extra = {}) {
        std::vector<std::string> arguments{"du"};
        arguments.insert(arguments.end(), source.begin(), source.end());
        for (const char* argument : {"--depth", "50", "--top", "0"}) arguments.push_back(argument);
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        auto text = cli.run(arguments);
        EXPECT_EQ(text.status, 0) << text.err;
        arguments.push_back("--json");
        auto json = cli.run(arguments);
        return {text.out, json.out};
    }
    CliHome cli;
    fs::path top = cli.home / "top";
    std::string file = (cli.home / "scan.json").string();
};

// A small folder to export and a folder of its own for the scan file, whose entries show what
// an export left behind.
class DuExportTarget : public ::testing::Test {
  protected:
    void SetUp() override {
        for (int i = 0; i < 200; ++i) makeFile(top / ("file" + std::to_string(i)), i);
        fs::create_directories(out);
    }
    // The export to `target`; with `limitBlocks`, every file it writes stops at that many
    // 512-byte blocks (the write fails, as on a full disk).
    ProcessResult exportTo(const fs::path& target, int limitBlocks = 0) const {
        if (limitBlocks == 0) return cli.run({"du", top.string(), "--export", target.string()});
        std::string script =
            "ulimit -f " + std::to_string(limitBlocks) + "; trap '' XFSZ; exec \"$0\" \"$@\"";
        return runProcess(
            "/bin/sh",
            {"-c", script, QUILLBY_CLI_PATH, "du", top.string(), "--export", target.string()},
            {{"HOME", cli.home.path().string()}});
    }
    std::vector<std::string> namesInOut() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(out)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    CliHome cli;
    fs::path top = cli.home / "top";
    fs::path out = cli.home / "out";
};

}  // namespace

TEST_F(DuExportTarget, AFailedExportLeavesTheFileBeforeItAndNothingElse) {
    fs::path scan = cli.home.write("out/scan.json", "the scan before\n");
    auto missing = cli.run({"du", (cli.home / "nowhere").string(), "--export", scan.string()});
    EXPECT_EQ(missing.status, 2);
    auto full = exportTo(scan, 4);
    EXPECT_EQ(full.status, 1);
    EXPECT_TRUE(holdsAll(full.err, "cannot write " + scan.string()));
    EXPECT_EQ(TempDir::read(scan), "the scan before\n");
    EXPECT_EQ(namesInOut(), std::vector<std::string>{"scan.json"});

    // An export that succeeds replaces it, as a file of the usual permissions.
    ASSERT_EQ(exportTo(scan).status, 0);
    EXPECT_TRUE(TempDir::read(scan).starts_with("[1,2,"));
    EXPECT_EQ(namesInOut(), std::vector<std::string>{"scan.json"});
    mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(fs::status(scan).permissions(), static_cast<fs::perms>(0666 & ~mask));
}

TEST_F(DuExportTarget, WhatIsNotAPlainFileIsRefusedAndLeftAsItIs) {
    fs::path victim = cli.home.write("out/victim", "not a scan\n");
    fs::path pipe = out / "pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    // A reader keeps a writer's open from waiting for one: whatever is written would show.
    int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    fs::create_directory(out / "folder");
    fs::create_symlink(victim, out / "link");
    fs::create_symlink(out / "absent", out / "dangling");
    std::vector<fs::path> targets{pipe, out / "folder", out / "link", out / "dangling"};
    // A device node, where a failed write used to unlink it: one like /dev/full.
    if (::geteuid() == 0 && ::mknod((out / "full").c_str(), S_IFCHR | 0666, makedev(1, 7)) == 0) {
        targets.push_back(out / "full");
    }
    const std::vector<std::string> before = namesInOut();

    for (const auto& target : targets) {
        fs::file_type kind = fs::symlink_status(target).type();
        auto result = exportTo(target);
        EXPECT_EQ(result.status, 2) << target;
        EXPECT_TRUE(holdsAll(result.err, "not a regular file"));
        EXPECT_EQ(fs::symlink_status(target).type(), kind) << target;
        EXPECT_EQ(namesInOut(), before) << target;
    }
    char byte = 0;
    EXPECT_LE(::read(reader, &byte, 1), 0);
    ::close(reader);
    EXPECT_EQ(TempDir::read(victim), "not a scan\n");
    EXPECT_EQ(fs::read_symlink(out / "link"), victim);
}

TEST_F(DuExport, AnImportedExportPrintsWhatTheScanPrints) {
    auto exported = cli.run({"du", top.string(), "--export", file});
    ASSERT_EQ(exported.status, 0) << exported.err;
    EXPECT_EQ(exported.out, "");
    auto live = listing({top.string()});
    EXPECT_EQ(listing({"--import", file}), live);
    EXPECT_EQ(listing({"--import", file}, {"--items", "--limit", "50KB"}),
              listing({top.string()}, {"--items", "--limit", "50KB"}));

    // To standard output and back in through standard input.
    auto piped = cli.run({"du", top.string(), "--export", "-"});
    ASSERT_EQ(piped.status, 0);
    EXPECT_TRUE(piped.out.starts_with("[1,2,{\"progname\":\"quillby\",\"progver\":\"4.0\","));
    auto back = cli.run({"du", "--import", "-", "--depth", "50", "--top", "0"}, piped.out);
    EXPECT_EQ(back.out, live[0]) << back.err;
}

TEST_F(DuExport, ScansOfNcduReadBackAndOursReadInNcduAndGdu) {
    std::string ncdu = installed("ncdu"), gdu = installed("gdu");
    if (ncdu.empty() && gdu.empty()) GTEST_SKIP() << "neither ncdu nor gdu is installed";
    ASSERT_EQ(cli.run({"du", top.string(), "--export", file}).status, 0);
    auto live = listing({top.string()});
    if (!ncdu.empty()) {
        // ncdu's own scan of the folder lists as ours does.
        std::string theirs = (cli.home / "ncdu.json").string();
        auto scanned = runProcess(ncdu, {"-0", "-o", theirs, top.string()}, {});
        ASSERT_EQ(scanned.status, 0) << scanned.err;
        EXPECT_EQ(listing({"--import", theirs}), live);
        // ncdu reads our file and writes it out again as the same tree.
        auto reread = runProcess(ncdu, {"-f", file, "-o", "-"}, {});
        ASSERT_EQ(reread.status, 0) << reread.err;
        auto back = cli.run({"du", "--import", "-", "--depth", "50", "--top", "0"}, reread.out);
        EXPECT_EQ(back.out, live[0]) << back.err;
    }
    if (!gdu.empty()) {
        auto read = runProcess(gdu, {"-f", file, "-n", "-p", "--no-prefix"}, {});
        ASSERT_EQ(read.status, 0) << read.err;
        // gdu prints a name that is not UTF-8 its own way: only its start is checked.
        for (const char* name : {"/d0", "/caf", "/odd\nname"}) {
            EXPECT_NE(read.out.find(name), std::string::npos) << name << " in " << read.out;
        }
    }
}

TEST_F(DuExport, AFileThatIsNotAScanIsRefusedInOneLine) {
    ASSERT_EQ(cli.run({"du", top.string(), "--export", file}).status, 0);
    std::string whole = TempDir::read(file);
    std::string cut = cli.home.write("cut.json", whole.substr(0, whole.size() / 2)).string();
    std::string text = cli.home.write("notes.txt", "shopping list\n").string();
    expectEachRefusedInOneLine(
        cli, {{{"du", "--import", cut}, "ends early"},
              {{"du", "--import", text}, "not a disk-usage scan file"},
              {{"du", "--import", (cli.home / "missing.json").string()}, "No such file"},
              {{"du"}, "PATH"},
              {{"du", top.string(), "--import", file}, "excludes"},
              {{"du", top.string(), "--export", file, "--json"}, "excludes"},
              {{"du", "--import", file, "-x"}, "excludes"}});
    // A file that cannot be written is a failure, not bad input.
    auto unwritable = cli.run({"du", top.string(), "--export", (cli.home / "no/such").string()});
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_TRUE(holdsAll(unwritable.err, "cannot write"));
}
