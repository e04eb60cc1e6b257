// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "duplicates/CandidateFile.h"

namespace quillby {

class FileContentReader;
class WorkStealingPool;

// Pairs the candidates of a duplicate search on all threads of a pool and finds exactly the
// groups, in exactly the order, that pairing them one by one (algorithm::getDuplicateFile)
// finds: a group is every readable candidate with the same size, head checksum and whole
// checksum; a run lists its later members in listing order and then its earliest one, and runs
// follow the listing order of their earliest members. Reads stay minimal: head checksums only
// for files that share their size, whole checksums only for files that also share their head.
class ParallelPairing {
  public:
    ParallelPairing(WorkStealingPool& pool, const std::atomic<bool>& stop);
    ~ParallelPairing();

    // Computes checksums into `candidates` and appends the runs; the runs' members are moved out
    // of `candidates`, which keeps only the files in no run. After a stop, only runs that the
    // one-by-one pairing would also have found before stopping are given.
    void findRuns(std::vector<CandidateFile>& candidates,
                  std::vector<std::vector<CandidateFile>>& runs);
    // 0 to 100, never decreasing.
    std::uint32_t progress() const { return progress_.load(std::memory_order_relaxed); }
    // The file read last, as a copy.
    std::string currentPath() const;

  private:
    enum class State : std::uint8_t { Pending, Failed, HeadKnown, WholeKnown };
    using Index = std::uint32_t;
    // The candidates by size: each file's bucket, and the files that share their size.
    struct SizeBuckets {
        std::vector<Index> of;
        std::vector<Index> shared;  // in listing order
        std::size_t count = 0;      // buckets
        std::size_t alone = 0;      // files alone in their size
    };
    // Files with equal content: each range of `members` is one group of two or more, in listing
    // order, and the ranges are ordered by their first (earliest) member.
    struct ContentGroups {
        std::vector<Index> members;
        std::vector<std::pair<std::size_t, std::size_t>> ranges;
    };

    static SizeBuckets bucketBySize(const std::vector<CandidateFile>& items);
    void readHeads(const std::vector<Index>& files, std::vector<State>& states);
    // Of the files whose head was read, those that share size and head with another (their
    // whole checksum decides); the others are counted as done.
    std::vector<Index> filesSharingSizeAndHead(const std::vector<Index>& headed,
                                               const std::vector<State>& states);
    // The first file, in listing order, whose size bucket is not settled; the count when all
    // are.
    static Index firstUnsettledFile(const SizeBuckets& buckets, const std::vector<Index>& wholeWork,
                                    const std::vector<State>& states);
    // The groups of two or more files with the same content.
    ContentGroups groupsByContent(const std::vector<Index>& headed,
                                  const std::vector<State>& states) const;

    // Opens a candidate with the thread's reader; null (the file failed, logged) when it cannot.
    FileContentReader* openFile(unsigned worker, std::size_t file, State& state);
    void readHead(unsigned worker, std::size_t file, State& state);
    void readWhole(unsigned worker, std::size_t file, State& state);
    void readWholes(const std::vector<Index>& files, std::vector<State>& states);
    FileContentReader& readerFor(unsigned worker);
    void addDone(std::size_t count);

    WorkStealingPool& pool_;
    const std::atomic<bool>& stop_;
    std::vector<std::unique_ptr<FileContentReader>> readers_;
    const std::size_t bufferSize_;
    // Each file's checksum over its first read, which a whole read goes on from.
    std::vector<std::uint64_t> firstReadSums_;
    std::atomic<std::uint32_t> progress_{0};
    std::atomic<std::size_t> done_{0};
    std::size_t total_ = 0;
    // The candidates being paired and the one read last: the path is looked up only when asked.
    mutable std::mutex itemsMutex_;
    std::vector<CandidateFile>* items_ = nullptr;
    std::atomic<std::size_t> current_{0};
    std::string lastPath_;
};

}  // namespace quillby
