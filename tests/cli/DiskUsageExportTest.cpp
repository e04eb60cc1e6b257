#include <gtest/gtest.h>
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
        top = cli.home / "top";
        generateTree(top, 7);
        makeFile(top / "caf\xe9 \xff" / "f", 4000000);
        makeFile(top / "odd\nname" / "g", 3000000);
        file = (cli.home / "scan.json").string();
    }
    // What quillby du prints of the folder, live or from a file, deep enough to show it all.
    std::vector<std::string> listing(const std::vector<std::string>& source,
                                     const std::vector<std::string>& extra = {}) {
        std::vector<std::string> arguments{"du"};
        arguments.insert(arguments.end(), source.begin(), source.end());
        for (const char* argument : {"--depth", "50", "--top", "0"}) arguments.push_back(argument);
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        auto text = cli.run(arguments);
        auto json = cli.run([&] {
            auto withJson = arguments;
            withJson.push_back("--json");
            return withJson;
        }());
        EXPECT_EQ(text.status, 0) << text.err;
        return {text.out, json.out};
    }
    CliHome cli;
    fs::path top;
    std::string file;
};

}  // namespace

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
    struct Case {
        std::vector<std::string> arguments;
        std::string mention;
    };
    for (const auto& c : std::vector<Case>{
             {{"du", "--import", cut}, "ends early"},
             {{"du", "--import", text}, "not a disk-usage scan file"},
             {{"du", "--import", (cli.home / "missing.json").string()}, "No such file"},
             {{"du"}, "PATH"},
             {{"du", top.string(), "--import", file}, "excludes"},
             {{"du", top.string(), "--export", file, "--json"}, "excludes"},
             {{"du", "--import", file, "-x"}, "excludes"},
         }) {
        auto result = cli.run(c.arguments);
        EXPECT_EQ(result.status, 2) << c.arguments.back();
        EXPECT_NE(result.err.find(c.mention), std::string::npos) << result.err;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
        EXPECT_EQ(result.out, "");
    }
    // A file that cannot be written is a failure, not bad input.
    auto unwritable = cli.run({"du", top.string(), "--export", (cli.home / "no/such").string()});
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_NE(unwritable.err.find("cannot write"), std::string::npos) << unwritable.err;
}
