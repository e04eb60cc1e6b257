// SPDX-License-Identifier: GPL-3.0-or-later
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <set>
#include <string>
#include <vector>

#include "core/fs/DirectoryReader.h"
#include "support/TempDir.h"

using namespace quillby;

namespace {

int openFolder(const std::filesystem::path& path) {
    return ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

std::set<std::string> listedNames(const DirectoryReader& reader) {
    std::set<std::string> names;
    for (const auto& entry : reader.entries()) names.emplace(entry.name);
    return names;
}

}  // namespace

// One reader reads folder after folder into the buffers it keeps: a large folder (several
// batches), then a small one, must each give exactly their own entries, with their types.
TEST(DirectoryReader, OneReaderListsFolderAfterFolder) {
    TempDir dir;
    std::set<std::string> many;
    for (int i = 0; i < 3000; ++i) {
        std::string name = "file-with-a-longish-name-" + std::to_string(i);
        dir.write("many/" + name, "");
        many.insert(name);
    }
    dir.write("few/one", "1");
    std::filesystem::create_directories(dir / "few/sub");

    DirectoryReader reader;
    int manyFd = openFolder(dir / "many");
    ASSERT_TRUE(reader.readAll(manyFd));
    EXPECT_EQ(listedNames(reader), many);

    int fewFd = openFolder(dir / "few");
    ASSERT_TRUE(reader.readAll(fewFd));
    EXPECT_EQ(listedNames(reader), (std::set<std::string>{"one", "sub"}));
    for (const auto& entry : reader.entries()) {
        EXPECT_TRUE(entry.type == (entry.name == "sub" ? DT_DIR : DT_REG) ||
                    entry.type == DT_UNKNOWN);
    }

    // Streaming the same folder gives the same names in the same order.
    ::lseek(manyFd, 0, SEEK_SET);
    DirectoryReader stream(manyFd);
    DirectoryReader::Entry entry;
    std::vector<std::string> streamed;
    while (stream.next(entry)) streamed.emplace_back(entry.name);
    EXPECT_EQ(stream.error(), 0);
    ::lseek(manyFd, 0, SEEK_SET);
    ASSERT_TRUE(reader.readAll(manyFd));
    std::vector<std::string> whole;
    for (const auto& listed : reader.entries()) whole.emplace_back(listed.name);
    EXPECT_EQ(streamed, whole);
    ::close(manyFd);
    ::close(fewFd);
}

TEST(DirectoryReader, AFailedReadIsReportedNotTakenForAnEmptyFolder) {
    TempDir dir;
    dir.write("file", "x");
    int fd = ::open((dir / "file").c_str(), O_RDONLY | O_CLOEXEC);  // not a folder
    DirectoryReader reader;
    EXPECT_FALSE(reader.readAll(fd));
    EXPECT_EQ(reader.error(), ENOTDIR);
    DirectoryReader stream(fd);
    DirectoryReader::Entry entry;
    EXPECT_FALSE(stream.next(entry));
    EXPECT_EQ(stream.error(), ENOTDIR);
    ::close(fd);
}
