// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "duplicates/DuplicateTestSupport.h"
#include "duplicates/FileContentReader.h"
#include "support/TempDir.h"

using namespace quillby;

namespace fs = std::filesystem;

namespace {

// How many of the file's pages the page cache holds (without bringing any in).
size_t residentPages(const fs::path& file) {
    int fd = ::open(file.c_str(), O_RDONLY);
    size_t size = fs::file_size(file);
    void* map = ::mmap(nullptr, size, PROT_READ, MAP_SHARED, fd, 0);
    ::close(fd);
    long page = ::sysconf(_SC_PAGESIZE);
    std::vector<unsigned char> pages((size + page - 1) / page);
    ::mincore(map, size, pages.data());
    ::munmap(map, size);
    size_t resident = 0;
    for (unsigned char flags : pages) resident += flags & 1;
    return resident;
}

void dropFromCache(const fs::path& file) {
    int fd = ::open(file.c_str(), O_RDONLY);
    ::fdatasync(fd);
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    ::close(fd);
}

void readPlainly(const fs::path& file) {
    std::string sink = TempDir::read(file);
    ASSERT_FALSE(sink.empty());
}

std::string readAll(FileContentReader& reader, std::vector<std::int64_t>* sizes = nullptr) {
    std::string content;
    for (;;) {
        std::int64_t got = reader.readChunk();
        if (sizes) sizes->push_back(got);
        if (got < 0) return content;
        content.append(reinterpret_cast<const char*>(reader.buffer()), static_cast<size_t>(got));
        if (static_cast<size_t>(got) < reader.capacity()) return content;
    }
}

// Brings the first `length` bytes of the file into the cache, and nothing more.
void cacheStart(const fs::path& file, size_t length) {
    int fd = ::open(file.c_str(), O_RDONLY);
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_RANDOM);
    std::vector<char> sink(length);
    ASSERT_EQ(::pread(fd, sink.data(), length, 0), static_cast<ssize_t>(length));
    ::close(fd);
}

}  // namespace

TEST(FileContentReader, ReadsTheExactContentChunkByChunk) {
    TempDir dir;
    std::string content = randomBytes(FileContentReader::ChunkSize + 100, 3);
    writeBytes(dir / "file", content);
    FileContentReader reader;
    ASSERT_TRUE(reader.open((dir / "file").string()));
    EXPECT_EQ(static_cast<size_t>(reader.status().st_size), content.size());
    std::vector<std::int64_t> sizes;
    EXPECT_EQ(readAll(reader, &sizes), content);
    EXPECT_EQ(sizes, (std::vector<std::int64_t>{
                         static_cast<std::int64_t>(FileContentReader::ChunkSize), 100}));
    ASSERT_TRUE(reader.open((dir / "file").string()));
    ASSERT_EQ(reader.readChunk(1024), 1024);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(reader.buffer()), 1024),
              content.substr(0, 1024));
    EXPECT_EQ(reader.readChunk(10), 10);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(reader.buffer()), 10),
              content.substr(1024, 10));
}

TEST(FileContentReader, RefusesWhatIsNotARegularFile) {
    TempDir dir;
    dir.write("file", "content");
    fs::create_symlink(dir / "file", dir / "link");
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    FileContentReader reader;
    EXPECT_FALSE(reader.open((dir / "link").string()));  // never through a link
    EXPECT_FALSE(reader.open((dir / "fifo").string()));  // and without waiting for a writer
    EXPECT_FALSE(reader.open(dir.path().string()));
    EXPECT_FALSE(reader.open((dir / "missing").string()));
    EXPECT_EQ(reader.error(), ENOENT);
    EXPECT_EQ(reader.readChunk(), -1);
    // Trusting the listing: what took a file's place fails at the first read, not later.
    fs::create_directory(dir / "folder");
    for (const char* name : {"fifo", "folder"}) {
        ASSERT_TRUE(reader.openListed((dir / name).string(), 7)) << name;
        EXPECT_EQ(reader.readChunk(), -1) << name;
    }
    EXPECT_FALSE(reader.openListed((dir / "link").string(), 7));
    ASSERT_TRUE(reader.openListed((dir / "file").string(), 7));
    EXPECT_EQ(reader.readChunk(), 7);
}

TEST(FileContentReader, LeavesThePageCacheAsItFoundIt) {
    TempDir dir;
    fs::path file = dir / "file";
    const std::string content = randomBytes(3 * FileContentReader::ChunkSize + 5000, 5);
    writeBytes(file, content);
    dropFromCache(file);
    if (residentPages(file) != 0) GTEST_SKIP() << "this file system keeps files in memory";

    FileContentReader plain;
    ASSERT_TRUE(plain.open(file.string()));
    readAll(plain);
    EXPECT_EQ(residentPages(file), 0u) << "what the search read stayed cached";
    readPlainly(file);
    const size_t pages = (fs::file_size(file) + 4095) / 4096;
    ASSERT_EQ(residentPages(file), pages);
    ASSERT_TRUE(plain.open(file.string()));
    readAll(plain);
    EXPECT_EQ(residentPages(file), pages) << "what the user had cached was dropped";

    // Reading on to the end, with nothing cached: the reader reads ahead of itself and drops
    // all of it, read-ahead too.
    plain.close();
    dropFromCache(file);
    ASSERT_EQ(residentPages(file), 0u);
    FileContentReader reader(256 * 1024);
    ASSERT_TRUE(reader.open(file.string()));
    reader.skipTo(64 * 1024);
    reader.willReadToEnd();
    EXPECT_EQ(readAll(reader), content.substr(64 * 1024));
    reader.close();
    EXPECT_EQ(residentPages(file), 0u) << "what the search read stayed cached";

    // Partly cached: the user's pages stay, and no others are added.
    cacheStart(file, 1 << 20);
    const size_t cached = residentPages(file);
    ASSERT_GT(cached, 0u);
    ASSERT_TRUE(reader.open(file.string()));
    reader.willReadToEnd();
    EXPECT_EQ(readAll(reader), content);
    reader.close();
    EXPECT_EQ(residentPages(file), cached);

    // Stopped early: what was read ahead is dropped at the close. The kernel cannot drop pages
    // still being read, so the close comes once the read-ahead has landed.
    dropFromCache(file);
    ASSERT_TRUE(reader.open(file.string()));
    reader.willReadToEnd();
    ASSERT_EQ(reader.readChunk(), static_cast<std::int64_t>(reader.capacity()));
    // Landed means a count of cached pages that holds for three looks in a row.
    for (size_t landed = residentPages(file), steady = 0, looks = 0; steady < 3 && looks < 60;
         ++looks) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        steady = std::exchange(landed, residentPages(file)) == landed ? steady + 1 : 0;
    }
    reader.close();
    EXPECT_EQ(residentPages(file), 0u) << "read-ahead stayed cached";
}
