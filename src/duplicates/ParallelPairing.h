#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "duplicates/fileAttrbItem.h"

class FileContentReader;
class WorkerPool;

// Pairs the candidates of a duplicate search on all threads of a pool and finds exactly the
// groups, in exactly the order, that pairing them one by one (algorithm::getDuplicateFile)
// finds: a group is every readable candidate with the same size, head checksum and whole
// checksum; a run lists its later members in listing order and then its earliest one, and runs
// follow the listing order of their earliest members. Reads stay minimal: head checksums only
// for files that share their size, whole checksums only for files that also share their head.
class ParallelPairing {
  public:
    ParallelPairing(WorkerPool& pool, const std::atomic<bool>& stop);
    ~ParallelPairing();

    // Computes checksums into `candidates` and appends the runs. After a stop, only runs that
    // the one-by-one pairing would also have found before stopping are given.
    void findRuns(std::vector<fileAttrbItem>& candidates,
                  std::vector<std::vector<fileAttrbItem>>& runs);
    // 0 to 100, never decreasing.
    std::uint32_t progress() const { return progress_.load(std::memory_order_relaxed); }
    // The file read last, as a copy.
    std::string currentPath() const;

  private:
    enum class State : std::uint8_t { Pending, Failed, HeadKnown, WholeKnown };

    // Opens a candidate with the thread's reader; null (the file failed, logged) when it cannot.
    FileContentReader* openFile(unsigned worker, std::size_t file, State& state);
    void readHead(unsigned worker, std::size_t file, State& state);
    void readWhole(unsigned worker, std::size_t file, State& state);
    void readWholes(const std::vector<std::uint32_t>& files, std::vector<State>& states);
    FileContentReader& readerFor(unsigned worker);
    void addDone(std::size_t count);

    WorkerPool& pool_;
    const std::atomic<bool>& stop_;
    std::vector<std::unique_ptr<FileContentReader>> readers_;
    std::atomic<std::uint32_t> progress_{0};
    std::atomic<std::size_t> done_{0};
    std::size_t total_ = 0;
    // The candidates being paired and the one read last: the path is looked up only when asked.
    mutable std::mutex itemsMutex_;
    std::vector<fileAttrbItem>* items_ = nullptr;
    std::atomic<std::size_t> current_{0};
    std::string lastPath_;
};
