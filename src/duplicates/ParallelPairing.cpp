// SPDX-License-Identifier: GPL-3.0-or-later
#include "duplicates/ParallelPairing.h"

#include <algorithm>
#include <numeric>

#include "core/work/WorkStealingPool.h"
#include "duplicates/DuplicateLog.h"
#include "duplicates/FileContentReader.h"
#include "duplicates/crc.h"

namespace quillby {

namespace {

constexpr std::size_t kHeadSize = 1024;
// The first read of a file takes up to 64 KiB: for a file that fits, that is its whole
// content, and a second open is spared; a larger file gives its head. One such read costs
// about what a one-page read does, from the cache and from the disk.
constexpr std::size_t kFirstReadSize = 64 * 1024;
// All read buffers together, whatever the thread count (down to one first read per thread):
// with the kernel reading ahead, larger buffers read no faster.
constexpr std::size_t kBufferBudget = 1 << 20;

std::size_t bufferSizeFor(unsigned threads) {
    std::size_t size = FileContentReader::ChunkSize;
    while (size > kFirstReadSize && size * threads > kBufferBudget) size /= 2;
    return size;
}

// Contiguous ranges of `order` whose items compare equal by `same`.
template <class Same>
std::vector<std::pair<std::size_t, std::size_t>> rangesOf(const std::vector<std::uint32_t>& order,
                                                          Same same) {
    std::vector<std::pair<std::size_t, std::size_t>> ranges;
    for (std::size_t begin = 0; begin < order.size();) {
        std::size_t end = begin + 1;
        while (end < order.size() && same(order[begin], order[end])) ++end;
        ranges.emplace_back(begin, end);
        begin = end;
    }
    return ranges;
}

}  // namespace

ParallelPairing::ParallelPairing(WorkStealingPool& pool, const std::atomic<bool>& stop)
    : pool_(pool),
      stop_(stop),
      readers_(pool.threadCount()),
      bufferSize_(bufferSizeFor(pool.threadCount())) {}

ParallelPairing::~ParallelPairing() = default;

std::string ParallelPairing::currentPath() const {
    std::lock_guard lock(itemsMutex_);
    if (!items_ || items_->empty()) return lastPath_;
    // Only the checksum fields of the items change while pairing, never their paths.
    return (*items_)[current_.load(std::memory_order_relaxed)].filePathName;
}

FileContentReader& ParallelPairing::readerFor(unsigned worker) {
    if (!readers_[worker]) readers_[worker] = std::make_unique<FileContentReader>(bufferSize_);
    return *readers_[worker];
}

void ParallelPairing::addDone(std::size_t count) {
    std::size_t done = done_.fetch_add(count, std::memory_order_relaxed) + count;
    auto percent = static_cast<std::uint32_t>(total_ ? done * 100 / total_ : 100);
    std::uint32_t shown = progress_.load(std::memory_order_relaxed);
    while (shown < percent && !progress_.compare_exchange_weak(shown, percent)) {
    }
}

FileContentReader* ParallelPairing::openFile(unsigned worker, std::size_t file, State& state) {
    current_.store(file, std::memory_order_relaxed);
    FileContentReader& reader = readerFor(worker);
    const CandidateFile& item = (*items_)[file];
    if (reader.openListed(item.filePathName, item.fileSize)) return &reader;
    KVT_LOG("open file:%s failed", item.filePathName.c_str());
    state = State::Failed;
    return nullptr;
}

void ParallelPairing::readHead(unsigned worker, std::size_t file, State& state) {
    FileContentReader* opened = openFile(worker, file, state);
    if (!opened) return;
    FileContentReader& reader = *opened;
    CandidateFile& item = (*items_)[file];
    std::int64_t got = reader.readChunk(kFirstReadSize);
    reader.close();
    if (got <= 0) {
        // Unreadable, or emptied since it was listed: an empty file has no whole checksum.
        if (got < 0) KVT_LOG("read file:%s failed", item.filePathName.c_str());
        state = State::Failed;
        return;
    }
    auto length = static_cast<std::size_t>(got);
    std::size_t head = std::min(length, kHeadSize);
    item.md5_1k = crc::update(crc::initialValue, reader.buffer(), head);
    if (length < kFirstReadSize) {
        item.md5 = crc::update(item.md5_1k, reader.buffer() + head, length - head);
        state = State::WholeKnown;
    } else {
        firstReadSums_[file] = crc::update(item.md5_1k, reader.buffer() + head, length - head);
        state = State::HeadKnown;
    }
}

void ParallelPairing::readWhole(unsigned worker, std::size_t file, State& state) {
    FileContentReader* opened = openFile(worker, file, state);
    if (!opened) return;
    FileContentReader& reader = *opened;
    CandidateFile& item = (*items_)[file];
    // The first read is not read again: the checksum goes on from where it ended.
    reader.skipTo(kFirstReadSize);
    reader.willReadToEnd();
    std::uint64_t running = firstReadSums_[file];
    for (;;) {
        if (stop_.load(std::memory_order_relaxed)) {
            reader.close();
            return;  // stays HeadKnown: not settled
        }
        std::int64_t got = reader.readChunk();
        if (got < 0) {
            KVT_LOG("read file :%s failed", item.filePathName.c_str());
            reader.close();
            state = State::Failed;
            return;
        }
        running = crc::update(running, reader.buffer(), static_cast<std::size_t>(got));
        if (static_cast<std::size_t>(got) < reader.capacity()) break;
    }
    reader.close();
    item.md5 = running;
    state = State::WholeKnown;
}

void ParallelPairing::readWholes(const std::vector<Index>& files, std::vector<State>& states) {
    // Files of more than one chunk go to at most one thread per core, largest first (so that
    // no big file is left for the end): long reads side by side make a spinning disk seek
    // back and forth. The other threads read the small files meanwhile.
    std::vector<Index> large, small;
    for (Index file : files) {
        ((*items_)[file].fileSize > bufferSize_ ? large : small).push_back(file);
    }
    std::stable_sort(large.begin(), large.end(), [&](Index a, Index b) {
        return (*items_)[a].fileSize > (*items_)[b].fileSize;
    });
    const unsigned largeReaders =
        std::min(WorkStealingPool::machineThreadCount(), pool_.threadCount());
    std::atomic<std::size_t> nextLarge{0}, nextSmall{0};
    auto readFrom = [&](const std::vector<Index>& list, std::atomic<std::size_t>& next,
                        unsigned worker) {
        for (std::size_t i = next.fetch_add(1); i < list.size(); i = next.fetch_add(1)) {
            if (stop_.load(std::memory_order_relaxed)) return;
            readWhole(worker, list[i], states[list[i]]);
            if (states[list[i]] != State::HeadKnown) addDone(1);
        }
    };
    for (unsigned task = 0; task < pool_.threadCount(); ++task) {
        pool_.submit([&, task](unsigned worker) {
            if (task < largeReaders) readFrom(large, nextLarge, worker);
            readFrom(small, nextSmall, worker);
        });
    }
    pool_.wait();
}

ParallelPairing::SizeBuckets ParallelPairing::bucketBySize(
    const std::vector<CandidateFile>& items) {
    const std::size_t count = items.size();
    SizeBuckets buckets;
    std::vector<Index> bySize(count);
    std::iota(bySize.begin(), bySize.end(), Index{0});
    std::stable_sort(bySize.begin(), bySize.end(),
                     [&](Index a, Index b) { return items[a].fileSize < items[b].fileSize; });
    buckets.of.resize(count);
    auto sizeRanges =
        rangesOf(bySize, [&](Index a, Index b) { return items[a].fileSize == items[b].fileSize; });
    buckets.count = sizeRanges.size();
    for (std::size_t bucket = 0; bucket < sizeRanges.size(); ++bucket) {
        auto [begin, end] = sizeRanges[bucket];
        for (std::size_t i = begin; i < end; ++i)
            buckets.of[bySize[i]] = static_cast<Index>(bucket);
        if (end - begin == 1) {
            ++buckets.alone;
        } else {
            buckets.shared.insert(buckets.shared.end(),
                                  bySize.begin() + static_cast<std::ptrdiff_t>(begin),
                                  bySize.begin() + static_cast<std::ptrdiff_t>(end));
        }
    }
    // Listing order, so that neighbours on disk stay neighbours when their heads are read.
    std::sort(buckets.shared.begin(), buckets.shared.end());
    return buckets;
}

void ParallelPairing::readHeads(const std::vector<Index>& files, std::vector<State>& states) {
    pool_.forEachIndex(files.size(), [&](unsigned worker, std::size_t i) {
        if (stop_.load(std::memory_order_relaxed)) return;
        Index file = files[i];
        readHead(worker, file, states[file]);
        if (states[file] != State::HeadKnown) addDone(1);
    });
}

std::vector<ParallelPairing::Index> ParallelPairing::filesSharingSizeAndHead(
    const std::vector<Index>& headed, const std::vector<State>& states) {
    const auto& items = *items_;
    std::vector<Index> byHead;
    for (Index file : headed) {
        if (states[file] == State::HeadKnown || states[file] == State::WholeKnown) {
            byHead.push_back(file);
        }
    }
    auto headKey = [&](Index a) { return std::make_pair(items[a].fileSize, items[a].md5_1k); };
    std::stable_sort(byHead.begin(), byHead.end(),
                     [&](Index a, Index b) { return headKey(a) < headKey(b); });
    std::vector<Index> wholeWork;
    for (auto [begin, end] :
         rangesOf(byHead, [&](Index a, Index b) { return headKey(a) == headKey(b); })) {
        for (std::size_t i = begin; i < end; ++i) {
            Index file = byHead[i];
            if (states[file] != State::HeadKnown) continue;
            if (end - begin > 1) {
                wholeWork.push_back(file);
            } else {
                addDone(1);
            }
        }
    }
    return wholeWork;
}

ParallelPairing::Index ParallelPairing::firstUnsettledFile(const SizeBuckets& buckets,
                                                           const std::vector<Index>& wholeWork,
                                                           const std::vector<State>& states) {
    // A size bucket is settled when every file in it is: read, failed, or known to need no
    // whole checksum.
    std::vector<char> bucketSettled(buckets.count, 1);
    for (Index file : buckets.shared) {
        if (states[file] == State::Pending) bucketSettled[buckets.of[file]] = 0;
    }
    for (Index file : wholeWork) {
        if (states[file] == State::HeadKnown) bucketSettled[buckets.of[file]] = 0;
    }
    const auto count = static_cast<Index>(buckets.of.size());
    for (Index file = 0; file < count; ++file) {
        if (!bucketSettled[buckets.of[file]]) return file;
    }
    return count;
}

ParallelPairing::ContentGroups ParallelPairing::groupsByContent(
    const std::vector<Index>& headed, const std::vector<State>& states) const {
    const auto& items = *items_;
    ContentGroups found;
    std::vector<Index>& byContent = found.members;
    for (Index file : headed) {
        if (states[file] == State::WholeKnown) byContent.push_back(file);
    }
    auto contentKey = [&](Index a) {
        return std::make_tuple(items[a].fileSize, items[a].md5_1k, items[a].md5);
    };
    std::stable_sort(byContent.begin(), byContent.end(), [&](Index a, Index b) {
        return std::make_pair(contentKey(a), a) < std::make_pair(contentKey(b), b);
    });
    found.ranges =
        rangesOf(byContent, [&](Index a, Index b) { return contentKey(a) == contentKey(b); });
    std::erase_if(found.ranges, [](const auto& range) { return range.second - range.first < 2; });
    // A range starts with its earliest member: equal contents are in listing order.
    std::sort(found.ranges.begin(), found.ranges.end(), [&](const auto& a, const auto& b) {
        return byContent[a.first] < byContent[b.first];
    });
    return found;
}

void ParallelPairing::findRuns(std::vector<CandidateFile>& candidates,
                               std::vector<std::vector<CandidateFile>>& runs) {
    const std::size_t count = candidates.size();
    total_ = count;
    {
        std::lock_guard lock(itemsMutex_);
        items_ = &candidates;
    }
    std::vector<State> states(count, State::Pending);
    firstReadSums_.assign(count, 0);

    // A file alone in its size is settled without a read; the others need their heads, and
    // those that also share their head need their whole checksum.
    SizeBuckets buckets = bucketBySize(candidates);
    addDone(buckets.alone);
    readHeads(buckets.shared, states);
    std::vector<Index> wholeWork = filesSharingSizeAndHead(buckets.shared, states);
    readWholes(wholeWork, states);

    // Runs are given in listing order up to the first file whose size bucket is not settled,
    // which is what a one-by-one pairing stopped at that point would have found.
    Index limit = firstUnsettledFile(buckets, wholeWork, states);
    auto groups = groupsByContent(buckets.shared, states);
    buckets = {};
    states = {};
    {
        std::lock_guard lock(itemsMutex_);
        if (count > 0) {
            lastPath_ = candidates[current_.load(std::memory_order_relaxed)].filePathName;
        }
        items_ = nullptr;
    }
    firstReadSums_ = {};
    for (auto& reader : readers_) reader.reset();  // their buffers go before the runs come
    // Each file is in one group at most, so members are moved rather than copied: the list
    // of candidates is the largest thing the search holds.
    runs.reserve(runs.size() + groups.ranges.size());
    for (auto [begin, end] : groups.ranges) {
        const Index earliest = groups.members[begin];
        if (earliest >= limit) break;
        std::vector<CandidateFile> run;
        run.reserve(end - begin);
        for (std::size_t i = begin + 1; i < end; ++i) {
            run.push_back(std::move(candidates[groups.members[i]]));
        }
        run.push_back(std::move(candidates[earliest]));
        runs.push_back(std::move(run));
    }
    if (!stop_.load(std::memory_order_relaxed)) progress_.store(100, std::memory_order_relaxed);
}

}  // namespace quillby
