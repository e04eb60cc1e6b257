// SPDX-License-Identifier: GPL-3.0-or-later
// The least reading a duplicate search of a corpus needs, to time the search against.
//   quillby_dupes_floor plan CORPUS PLAN   writes the reads the search cannot avoid
//   quillby_dupes_floor read PLAN          does them, with the search's thread count
// The search must read the first KiB of every non-empty file that shares its size with another,
// and the whole content of every such file whose first KiB also equals another's. `plan` finds
// those files (it reads, so the cache is dropped after it); `read` reads exactly those bytes,
// heads first and then whole files, on as many threads as the search uses and split among them
// as the search does, with sequential read-ahead, and computes nothing: what it takes is what the
// disk and the kernel need.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "core/work/WorkStealingPool.h"

using namespace quillby;

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kHead = 1024;
constexpr std::size_t kChunk = 1 << 20;

struct File {
    std::string path;
    std::uint64_t size = 0;
};

// Up to `count` bytes from `offset`; the number read, or -1.
std::int64_t readAt(int fd, unsigned char* into, std::size_t count, std::uint64_t offset) {
    std::size_t done = 0;
    while (done < count) {
        ssize_t got = ::pread(fd, into + done, count - done, static_cast<off_t>(offset + done));
        if (got < 0) return -1;
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    return static_cast<std::int64_t>(done);
}

int openFile(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NOATIME);
    return fd >= 0 ? fd : ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
}

std::string headOf(const std::string& path) {
    std::string head(kHead, '\0');
    int fd = openFile(path);
    if (fd < 0) return {};
    std::int64_t got = readAt(fd, reinterpret_cast<unsigned char*>(head.data()), kHead, 0);
    ::close(fd);
    head.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return head;
}

int plan(const fs::path& corpus, const char* planPath) {
    // Listing order, as the search reads: files of one folder are neighbours on the disk.
    std::vector<File> files;
    std::map<std::uint64_t, std::vector<std::size_t>> bySize;
    for (auto it = fs::recursive_directory_iterator(corpus);
         it != fs::recursive_directory_iterator(); ++it) {
        std::error_code error;
        if (it->is_symlink(error) || !it->is_regular_file(error)) continue;
        std::uint64_t size = it->file_size();
        if (size == 0) continue;
        bySize[size].push_back(files.size());
        files.push_back({it->path().string(), size});
    }
    enum Read : char { None = 0, Head = 'H', Whole = 'W' };
    std::vector<Read> reads(files.size(), None);
    for (const auto& [size, same] : bySize) {
        if (same.size() < 2) continue;
        std::map<std::string, std::vector<std::size_t>> byHead;
        for (std::size_t file : same) {
            reads[file] = Head;
            byHead[headOf(files[file].path)].push_back(file);
        }
        for (const auto& [head, equal] : byHead) {
            if (equal.size() < 2 || size <= kHead) continue;
            for (std::size_t file : equal) reads[file] = Whole;
        }
    }
    std::ofstream out(planPath);
    std::uint64_t headBytes = 0, wholeBytes = 0;
    for (std::size_t file = 0; file < files.size(); ++file) {
        if (reads[file] == None) continue;
        out << "H " << files[file].size << ' ' << files[file].path << '\n';
        headBytes += std::min<std::uint64_t>(files[file].size, kHead);
    }
    for (std::size_t file = 0; file < files.size(); ++file) {
        if (reads[file] != Whole) continue;
        out << "W " << files[file].size << ' ' << files[file].path << '\n';
        wholeBytes += files[file].size;
    }
    std::printf("floor plan: %.3f GB of heads, %.3f GB of whole files\n", headBytes / 1e9,
                wholeBytes / 1e9);
    return 0;
}

// Runs read(file, buffer) for every file on `threads` threads, files taken in order; the files
// of `first` (large ones) on at most `firstThreads` of them, side by side with the others.
template <class Read>
void readAll(const std::vector<File>& first, unsigned firstThreads, const std::vector<File>& files,
             unsigned threads, Read read) {
    std::atomic<std::size_t> nextFirst{0}, next{0};
    auto drain = [&](const std::vector<File>& list, std::atomic<std::size_t>& at,
                     unsigned char* buffer) {
        for (std::size_t i = at++; i < list.size(); i = at++) read(list[i], buffer);
    };
    std::vector<std::thread> workers;
    for (unsigned t = 0; t < threads; ++t) {
        workers.emplace_back([&, t] {
            std::unique_ptr<unsigned char[]> buffer(new unsigned char[kChunk]);
            if (t < firstThreads) drain(first, nextFirst, buffer.get());
            drain(files, next, buffer.get());
        });
    }
    for (auto& worker : workers) worker.join();
}

int readPlan(const char* planPath) {
    std::vector<File> heads, wholes;
    std::ifstream in(planPath);
    char kind;
    File file;
    while (in >> kind >> file.size && in.get() && std::getline(in, file.path)) {
        (kind == 'H' ? heads : wholes).push_back(file);
    }
    // As the search does: files of more than one buffer, largest first, on at most one thread
    // per core (streams side by side make a disk seek), the others on the other threads.
    std::vector<File> large;
    std::erase_if(wholes, [&](const File& f) {
        if (f.size <= kChunk) return false;
        large.push_back(f);
        return true;
    });
    std::stable_sort(large.begin(), large.end(),
                     [](const File& a, const File& b) { return a.size > b.size; });
    const unsigned threads = WorkStealingPool::defaultThreadCount();
    const unsigned largeThreads = std::min(WorkStealingPool::machineThreadCount(), threads);
    std::atomic<std::uint64_t> bytes{0};
    auto start = std::chrono::steady_clock::now();
    readAll({}, 0, heads, threads, [&](const File& f, unsigned char* buffer) {
        int fd = openFile(f.path);
        if (fd < 0) return;
        std::int64_t got = readAt(fd, buffer, kHead, 0);
        if (got > 0) bytes += static_cast<std::uint64_t>(got);
        ::close(fd);
    });
    readAll(large, largeThreads, wholes, threads, [&](const File& f, unsigned char* buffer) {
        int fd = openFile(f.path);
        if (fd < 0) return;
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
        for (std::uint64_t offset = 0;; offset += kChunk) {
            std::int64_t got = readAt(fd, buffer, kChunk, offset);
            if (got > 0) bytes += static_cast<std::uint64_t>(got);
            if (got < static_cast<std::int64_t>(kChunk)) break;
        }
        ::close(fd);
    });
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::fprintf(stderr, "floor: %.3f GB in %.3f s on %u threads\n", bytes / 1e9, seconds, threads);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "plan" && argc == 4) return plan(argv[2], argv[3]);
    if (mode == "read" && argc == 3) return readPlan(argv[2]);
    std::fprintf(stderr, "usage: %s plan CORPUS PLAN | read PLAN\n", argv[0]);
    return 2;
}
