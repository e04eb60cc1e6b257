// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "cli/AbsolutePath.h"
#include "cli/SizeArgument.h"
#include "cli/StructuredOutput.h"
#include "support/TempDir.h"

using namespace quillby;

namespace fs = std::filesystem;

TEST(AbsolutePath, RelativeToTheWorkingFolderAndLexicallyNormal) {
    const std::string cwd = fs::current_path().string();
    const struct {
        std::string given;
        std::string expected;
    } cases[] = {
        {"", ""},
        {"/", "/"},
        {"a/b", cwd + "/a/b"},
        {"a/b/", cwd + "/a/b"},
        {"./a//b/.", cwd + "/a/b"},
        {"a/..", cwd},
        {"a/../b/", cwd + "/b"},
        {"/x//y/./", "/x/y"},
        {"/x/y/../", "/x"},
    };
    for (const auto& c : cases) EXPECT_EQ(absolutePath(c.given), c.expected) << c.given;
}

TEST(AbsolutePath, KeepsLinksAsGiven) {
    TempDir dir;
    fs::create_directories(dir.path() / "real/inner");
    fs::create_directory_symlink(dir.path() / "real/inner", dir.path() / "link");
    const std::string root = fs::path(dir.path()).lexically_normal().string();
    EXPECT_EQ(absolutePath(root + "/link"), root + "/link");
    EXPECT_EQ(absolutePath(root + "/link/.."), root);
}

TEST(AbsolutePath, NothingWithoutAWorkingFolder) {
    const fs::path before = fs::current_path();
    {
        TempDir dir;
        fs::create_directory(dir.path() / "gone");
        fs::current_path(dir.path() / "gone");
        fs::remove(dir.path() / "gone");
        EXPECT_EQ(absolutePath("a"), "");
        EXPECT_EQ(absolutePath("/a/b"), "/a/b");
        fs::current_path(before);
    }
}

namespace {
std::string jsonString(std::string_view text) {
    std::string out;
    appendJsonString(out, text);
    return out;
}
}  // namespace

TEST(StructuredOutput, JsonKeepsEveryByteOfAName) {
    EXPECT_EQ(jsonString("plain"), "\"plain\"");
    EXPECT_EQ(jsonString("caf\xc3\xa9 \xf0\x9f\x98\x80"), "\"caf\xc3\xa9 \xf0\x9f\x98\x80\"");
    EXPECT_EQ(jsonString("caf\xe9"), "\"caf\\udce9\"");
    // A cut-off sequence, a surrogate written in UTF-8 and an overlong form: byte by byte.
    EXPECT_EQ(jsonString("\xe2\x82"
                         "A"),
              "\"\\udce2\\udc82A\"");
    EXPECT_EQ(jsonString("\xed\xa0\x80"), "\"\\udced\\udca0\\udc80\"");
    EXPECT_EQ(jsonString("\xc0\xaf"), "\"\\udcc0\\udcaf\"");
    EXPECT_EQ(jsonString("q\"b\\\n\t\x01\x7f"), "\"q\\\"b\\\\\\n\\t\\u0001\x7f\"");
}

// For well-formed text the writer gives what the JSON library gives, so that only names that
// are not UTF-8 read differently.
TEST(StructuredOutput, ValidDocumentsAreWrittenAsTheLibraryWritesThem) {
    auto document = nlohmann::json::parse(R"({"path": "/a/caf\u00e9", "size": 12,
        "ratio": 0.1, "neg": -3, "none": null, "yes": true, "empty": [], "nothing": {},
        "children": [{"path": "/a\nb", "size": 18446744073709551615}, [1, 2.5e30]]})");
    EXPECT_EQ(jsonText(document), document.dump(2));
    nlohmann::ordered_json ordered = {{"z", 1}, {"a", {{"k", "v"}}}};
    EXPECT_EQ(jsonText(ordered), ordered.dump(2));
}

TEST(StructuredOutput, CsvFieldsAreQuotedByRfc4180) {
    EXPECT_EQ(csvField("plain \xff"), "plain \xff");
    EXPECT_EQ(csvField("a,b"), "\"a,b\"");
    EXPECT_EQ(csvField("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(csvField("two\nlines\r"), "\"two\nlines\r\"");
}

TEST(SizeArgument, ExactDecimalArithmeticForEveryCommand) {
    EXPECT_EQ(parseSizeArgument("1500"), 1500u);
    EXPECT_EQ(parseSizeArgument(" 1500 B "), 1500u);
    EXPECT_EQ(parseSizeArgument("1.5MB"), 1500000u);
    EXPECT_EQ(parseSizeArgument("1.5 mb"), 1500000u);
    // Single precision would give 10 299 999 here.
    EXPECT_EQ(parseSizeArgument("10.3MB"), 10300000u);
    EXPECT_EQ(parseSizeArgument("0.0001KB"), 0u);  // below a byte is dropped
    EXPECT_EQ(parseSizeArgument("18446744073709551615"), 18446744073709551615u);
    for (const char* bad : {"", "MB", "1.5", "1.MB", "-1", "12 XB", "18446744073709551616",
                            "18446744073709552TB", "1 K B"}) {
        EXPECT_FALSE(parseSizeArgument(bad)) << bad;
    }
}
