// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>

#include "diskusage/DiskUsageFixtures.h"
#include "diskusage/FolderTreeScanner.h"
#include "diskusage/NodeTreeOperator.h"
#include "diskusage/ScanFileLoader.h"
#include "support/TempDir.h"

using namespace quillby;

namespace {

using Outcome = ScanFileReader::Outcome;

LoadedTree<RingFolderNode> loadFolders(std::string_view text, ScanFileLoadOptions options = {}) {
    InMemoryByteSource source(text);
    return ScanFileLoader::loadFolderTree(source, options);
}

// A load refused as no scan file, for the reason given.
void expectRefused(const LoadedTree<RingFolderNode>& loaded, const std::string& reason) {
    EXPECT_EQ(loaded.outcome, Outcome::NotScanFile);
    EXPECT_NE(loaded.message.find(reason), std::string::npos) << loaded.message;
}

// Bytes made on demand: a head, `count` repetitions of a piece, a tail. Counts what it served,
// so a test can tell that a reader stopped early instead of taking everything.
class GeneratedSource : public ByteSource {
  public:
    GeneratedSource(std::string head, std::string piece, std::uint64_t count, std::string tail)
        : text_(std::move(head)), piece_(std::move(piece)), count_(count), tail_(std::move(tail)) {}

    long read(char* buffer, std::size_t capacity) override {
        while (offset_ == text_.size()) {
            offset_ = 0;
            if (count_ > 0) {
                // Many pieces at once, so that a long run costs few calls.
                text_.clear();
                while (count_ > 0 && text_.size() < 65536) {
                    text_ += piece_;
                    --count_;
                }
            } else if (!tail_.empty()) {
                text_ = std::move(tail_);
                tail_.clear();
            } else {
                return 0;
            }
        }
        std::size_t n = std::min(capacity, text_.size() - offset_);
        std::memcpy(buffer, text_.data() + offset_, n);
        offset_ += n;
        served += n;
        return static_cast<long>(n);
    }
    std::uint64_t served = 0;

  private:
    std::string text_;
    std::size_t offset_ = 0;
    std::string piece_;
    std::uint64_t count_;
    std::string tail_;
};

std::string repeated(const std::string& piece, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += piece;
    return text;
}

}  // namespace

TEST(ScanFile, AnExportReadsBackAsTheSameTreesAsTheScan) {
    TempDir dir;
    fs::path top = dir / "top";
    generateTree(top, 3);
    // Names a file can hold that JSON cannot hold raw, and names that are not UTF-8.
    const std::pair<fs::path, std::uint64_t> oddFiles[] = {
        {top / "d1" / "quote\"back\\slash", 723456},
        {top / "d1" / "line\nfeed\ttab\x01", 654321 + 100000},
        {top / "caf\xe9 \xff\xfe" / "f", 777777},
        {top / "\xc3\x28" / "\xed\xa0\x80", 888888}};
    for (const auto& [file, size] : oddFiles) makeFile(file, size);
    fs::create_directories(top / "empty");

    ASSERT_TRUE(exportScanFile(top, dir / "scan.json"));
    std::string text = TempDir::read(dir / "scan.json");
    EXPECT_TRUE(
        text.starts_with("[1,2,{\"progname\":\"quillby\",\"progver\":\"4.0\","
                         "\"timestamp\":1700000000},\n[{\"name\":\"" +
                         top.string() + "\"}"))
        << text.substr(0, 200);

    auto folders = ScanFileLoader::loadFolderTree((dir / "scan.json").string());
    ASSERT_EQ(folders.outcome, Outcome::Read) << folders.message;
    auto scanned = RingFolderNode::makeRoot(top.string());
    FolderTreeScanner().scanFolder(*scanned, scanned->path(), true);
    EXPECT_EQ(plainFolderTree(*folders.root), plainFolderTree(*scanned));
    EXPECT_TRUE(folders.origin.imported);
    EXPECT_EQ(folders.origin.metadata.program, "quillby");
    EXPECT_EQ(folders.origin.metadata.timestamp, 1700000000);
    EXPECT_EQ(folders.root->path(), top.string() + "/");

    // With no limit every file is listed, so the odd names are compared byte for byte too.
    for (std::uint64_t limit : {0ull, 4096ull, 50000ull}) {
        auto items = ScanFileLoader::loadItemTree((dir / "scan.json").string(), limit);
        ASSERT_EQ(items.outcome, Outcome::Read) << items.message;
        auto live = NodeTreeOperator().buildBrowserTree(top.string(), limit, {});
        EXPECT_EQ(plainItemTree(*items.root), plainItemTree(*live)) << "limit " << limit;
        EXPECT_EQ(items.root->path(), top.string());
    }
}

TEST(ScanFile, FilesOfNcduAndGduShapeReadAsTheirItemsDescribeThem) {
    // Folders' own sizes never count; every hard link counts in full; a pipe without a size
    // counts nothing; escapes (surrogate pairs, \udcXX for a raw byte) decode; unknown fields,
    // a folder another file system holds, and an unreadable folder are read as such.
    auto loaded = loadFolders(
        "[1,2,{\"progname\":\"ncdu\",\"progver\":\"1.18\",\"timestamp\":1,\"x\":[{\"y\":null}]},\n"
        "[{\"name\":\"/srv/data\",\"asize\":4096,\"dsize\":4096,\"dev\":2049},\n"
        "{\"name\":\"a\",\"asize\":10,\"dsize\":4096,\"ino\":7,\"hlnkc\":true,\"nlink\":2},\n"
        "{\"name\":\"fifo\",\"notreg\":true},\n"
        "[{\"name\":\"sub\",\"asize\":4096,\"mtime\":1.5e9,\"uid\":0},\n"
        " {\"name\":\"b\",\"asize\":10,\"ino\":7,\"hlnkc\":true,\"nlink\":2},\n"
        " {\"name\":\"\\ud83d\\ude00\\udcff\\u00e9\",\"asize\":5}],\n"
        "[{\"name\":\"locked\",\"read_error\":true}],\n"
        "{\"name\":\"mnt\",\"excluded\":\"otherfs\"},\n"
        "[{\"name\":\"x.\"},{\"name\":\"y\",\"asize\":1000}],\n"
        "[{\"name\":\"Volumes\"},{\"name\":\"y\",\"asize\":1000}]]]\n");
    ASSERT_EQ(loaded.outcome, Outcome::Read) << loaded.message;
    EXPECT_EQ(loaded.origin.metadata.program, "ncdu");
    EXPECT_EQ(loaded.origin.metadata.version, "1.18");
    EXPECT_EQ(loaded.unreadableFolders, 1u);
    PlainNode expected{"/srv/data/", 25, {{"sub", 15, {}}, {"locked", 0, {}}, {"mnt", 0, {}}}};
    EXPECT_EQ(plainFolderTree(*loaded.root), expected);
    EXPECT_TRUE(loaded.root->children[1]->unreadable);

    InMemoryByteSource source(
        "[1,0,{},[{\"name\":\"/r\"},[{\"name\":\"s\"},"
        "{\"name\":\"\\ud83d\\ude00\\udcff\\u00e9\",\"asize\":5}]]]");
    auto items = ScanFileLoader::loadItemTree(source, 0);
    ASSERT_EQ(items.outcome, Outcome::Read) << items.message;
    EXPECT_EQ(items.root->children[0]->children[0]->path(), "/r/s/\xf0\x9f\x98\x80\xff\xc3\xa9");
}

TEST(ScanFile, WhatIsNotAScanFileIsRefusedWithAReason) {
    // Every cut of a file is refused as ending early, never read as a smaller tree.
    const std::string good =
        "[1,2,{\"progname\":\"quillby\"},\n[{\"name\":\"/t\"},\n"
        "{\"name\":\"f\",\"asize\":3},\n[{\"name\":\"d\"}]]]";
    ASSERT_EQ(loadFolders(good).outcome, Outcome::Read);
    for (std::size_t length = 0; length < good.size(); ++length) {
        SCOPED_TRACE(length);
        auto cut = loadFolders(good.substr(0, length));
        expectRefused(cut, "ends early");
        EXPECT_EQ(cut.root, nullptr);
    }
    struct Case {
        std::string text;
        std::string reason;
    };
    for (const auto& c : std::vector<Case>{
             {"[1,2,{\"progname\":\"quillby\"},\n[{\"name\":\"/"
              "t\"},\n{\"name\":\"f\",\"asize\":3},\n"
              "[{\"name\":\"d\"},{\"name\":\"g\",\"asize\":\"\\u0041\"}]]]\n",
              "expected a number"},
             {"", "ends early"},
             {"{}", "an array"},
             {"[2,0,{},[{\"name\":\"/t\"}]]", "major version 2"},
             {"[1,10001,{},[{\"name\":\"/t\"}]]", "minor version"},
             {"[1,2,{},{\"name\":\"/t\"}]", "folder's array"},
             {"[1,2,{},[{\"asize\":1}]]", "without a name"},
             {"[1,2,{},[{\"name\":\"\"}]]", "bad name"},
             {"[1,2,{},[{\"name\":\"/t\"},{\"name\":\"a/b\"}]]", "bad name"},
             {"[1,2,{},[{\"name\":\"/t\"},{\"name\":\"..\"}]]", "bad name"},
             {"[1,2,{},[{\"name\":\"/t\"},{\"name\":\"a\\u0000\"}]]", "bad name"},
             {"[1,2,{},[{\"name\":\"/t\"},{\"name\":\"a\",\"asize\":-1}]]", "whole number"},
             {"[1,2,{},[{\"name\":\"/t\"},{\"name\":\"a\",\"asize\":1e3}]]", "whole number"},
             {"[1,2,{},[{\"name\":\"/t\"},{\"name\":\"a\",\"asize\":99999999999999999999}]]",
              "whole number"},
             {"[1,2,{},[{\"name\":\"/t\"},{\"name\":\"a\",\"notreg\":1}]]", "true or false"},
             {"[1,2,{},[{\"name\":\"/t\"},{\"name\":\"a\\q\"}]]", "bad escape"},
             {"[1,2,{},[{\"name\":\"/t\"},{\"name\":\"a\\u12\"}]]", "\\u escape"},
             {"[1,2,{},[{\"name\":\"/t\"},{\"name\":\"a\tb\"}]]", "control character"},
             {"[1,2,{},[{\"name\":\"/t\"},3]]", "a folder or a file"},
             {"[1,2,{},[{\"name\":\"/t\"}]] x", "after the end"},
             {"[1,2,{},[{\"name\":\"/t\"}],5]", "end of the file's array"},
             {"[1,2,{},[{\"name\":\"/t\"},{\"name\":\"a\",\"x\":[}]]", "misplaced bracket"},
             {"[1,2,{},[{\"name\":\"/t\"},{\"name\":\"a\",\"x\":" + repeated("[", 65) + "}]]",
              "nested too deep"},
             {"[1,2,{},[{\"name\":\"/t\"},{\"name\":\"a\",\"asize\":9223372036854775807},"
              "{\"name\":\"b\",\"asize\":1}]]",
              "2^63"},
         }) {
        SCOPED_TRACE(c.text);
        auto loaded = loadFolders(c.text);
        expectRefused(loaded, c.reason);
        EXPECT_EQ(loaded.message.find('\n'), std::string::npos);
    }
}

TEST(ScanFile, NestingAndLongNamesAreBoundedWhileStreaming) {
    // 100,000 nested folders: refused once past the depth limit, read on an explicit stack.
    GeneratedSource deep("[1,2,{},[{\"name\":\"/t\"}", ",[{\"name\":\"d\"}", 100000,
                         repeated("]", 100001) + "]");
    expectRefused(ScanFileLoader::loadFolderTree(deep), "nested deeper than 65536");
    // 100,000 bare arrays are no folders at all.
    GeneratedSource arrays("[1,2,{},", "[", 100000, "");
    expectRefused(ScanFileLoader::loadFolderTree(arrays), "info object");

    // Up to the limit a deep tree is read (and released) without recursion.
    GeneratedSource allowed("[1,2,{},[{\"name\":\"/t\"}",
                            ",[{\"name\":\"d\"},{\"name\":\"f\",\"asize\":1}", 65535,
                            repeated("]", 65536) + "]");
    auto read = ScanFileLoader::loadFolderTree(allowed);
    ASSERT_EQ(read.outcome, Outcome::Read) << read.message;
    EXPECT_EQ(read.root->size, 65535);
    // The folder at depth k holds the files of depths k to 65535.
    std::size_t depth = 0;
    for (const RingFolderNode* node = read.root.get(); !node->children.empty();) {
        node = node->children[0].get();
        ++depth;
        if (node->size != 65536 - static_cast<std::int64_t>(depth)) break;
    }
    EXPECT_EQ(depth, 65535u);

    // A 2 GB name is refused as it streams in: the reader stops a little past the limit.
    constexpr std::uint64_t kNameBytes = 2ull << 30;
    GeneratedSource longName("[1,2,{},[{\"name\":\"/t\"},{\"name\":\"", std::string(4096, 'a'),
                             kNameBytes / 4096, "\",\"asize\":1}]]");
    expectRefused(ScanFileLoader::loadFolderTree(longName), "longer than 65536 bytes");
    EXPECT_LT(longName.served, 1u << 20);
}

TEST(ScanFile, LoadingStopsWhenAskedAndReportsItsProgress) {
    ScanCounters counters;
    ScanFileLoadOptions options;
    options.counters = &counters;
    std::string text = "[1,2,{},[{\"name\":\"/t\"}" +
                       repeated(",{\"name\":\"f\",\"asize\":2},[{\"name\":\"d\"}]", 10000) + "]]";
    auto read = loadFolders(text, options);
    ASSERT_EQ(read.outcome, Outcome::Read);
    EXPECT_EQ(counters.files.load(), 10000u);
    EXPECT_EQ(counters.folders.load(), 10001u);
    EXPECT_EQ(counters.bytes.load(), 20000u);

    options.shouldStop = [] { return true; };
    auto stopped = loadFolders(text, options);
    EXPECT_EQ(stopped.outcome, Outcome::Stopped);
    EXPECT_EQ(stopped.root, nullptr);
}
