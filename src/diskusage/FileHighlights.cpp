// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskusage/FileHighlights.h"

#include <algorithm>
#include <set>
#include <utility>

namespace quillby {

FileHighlights::FileHighlights(std::size_t count, bool allocated)
    : count_(count), allocated_(allocated) {}

void FileHighlights::prepare(unsigned workers) {
    if (shards_.size() < workers) shards_.resize(workers);
}

int FileHighlights::compareKeys(Kind kind, const FileHighlight& a, const FileHighlight& b) {
    auto order = [](auto x, auto y) { return x < y ? -1 : x > y ? 1 : 0; };
    switch (kind) {
        case Kind::Largest:
            return order(b.size, a.size);
        case Kind::Newest:
            return order(std::pair(b.modified, b.modifiedNanos),
                         std::pair(a.modified, a.modifiedNanos));
        case Kind::Oldest:
            return order(std::pair(a.modified, a.modifiedNanos),
                         std::pair(b.modified, b.modifiedNanos));
    }
    return 0;
}

bool FileHighlights::better(Kind kind, const FileHighlight& a, const FileHighlight& b) {
    int keys = compareKeys(kind, a, b);
    return keys != 0 ? keys < 0 : a.path < b.path;
}

bool FileHighlights::mayEnter(Kind kind, const Ranking& ranking,
                              const FileHighlight& candidate) const {
    if (ranking.heap.size() < count_) return true;
    // Equal keys go by path, which the candidate has not built yet.
    return compareKeys(kind, candidate, ranking.heap.front()) <= 0;
}

void FileHighlights::add(Kind kind, Ranking& ranking, const FileHighlight& entry,
                         bool linked) const {
    auto worse = [kind](const FileHighlight& a, const FileHighlight& b) {
        return better(kind, a, b);
    };
    auto& heap = ranking.heap;
    if (linked) {
        auto same = std::find_if(heap.begin(), heap.end(), [&](const FileHighlight& kept) {
            return kept.inode == entry.inode && kept.device == entry.device;
        });
        if (same != heap.end()) {
            if (entry.path < same->path) {
                same->path = entry.path;
                std::make_heap(heap.begin(), heap.end(), worse);
            }
            return;
        }
    }
    if (heap.size() < count_) {
        heap.push_back(entry);
        std::push_heap(heap.begin(), heap.end(), worse);
    } else if (better(kind, entry, heap.front())) {
        std::pop_heap(heap.begin(), heap.end(), worse);
        heap.back() = entry;
        std::push_heap(heap.begin(), heap.end(), worse);
    }
}

FileHighlightLists FileHighlights::lists() const {
    FileHighlightLists out;
    std::vector<FileHighlight>* targets[kKinds] = {&out.largest, &out.newest, &out.oldest};
    for (int k = 0; k < kKinds; ++k) {
        auto kind = static_cast<Kind>(k);
        std::vector<FileHighlight> all;
        for (const auto& shard : shards_) {
            all.insert(all.end(), shard.rankings[k].heap.begin(), shard.rankings[k].heap.end());
        }
        std::sort(all.begin(), all.end(), [kind](const FileHighlight& a, const FileHighlight& b) {
            return better(kind, a, b);
        });
        // Threads met different names of one file: the first in path order stays.
        std::set<std::pair<dev_t, ino_t>> seen;
        for (auto& entry : all) {
            if (targets[k]->size() >= count_) break;
            if (seen.insert({entry.device, entry.inode}).second)
                targets[k]->push_back(std::move(entry));
        }
    }
    return out;
}

FileHighlights::Folder::Folder(FileHighlights& owner, unsigned worker,
                               std::function<std::string()> folderPath)
    : owner_(owner), worker_(worker), folderPath_(std::move(folderPath)) {}

void FileHighlights::Folder::offer(std::string_view name, const struct stat& status) {
    if (!S_ISREG(status.st_mode) || owner_.count_ == 0) return;
    // One candidate per thread, its path's buffer reused from file to file: in a folder whose
    // files were made in listing order nearly every file is the newest yet.
    thread_local FileHighlight candidate;
    candidate.path.clear();
    candidate.size =
        owner_.allocated_
            ? (status.st_blocks < 0 ? 0 : static_cast<std::uint64_t>(status.st_blocks) * 512)
            : (status.st_size < 0 ? 0 : static_cast<std::uint64_t>(status.st_size));
    candidate.modified = status.st_mtim.tv_sec;
    candidate.modifiedNanos = status.st_mtim.tv_nsec;
    candidate.device = status.st_dev;
    candidate.inode = status.st_ino;
    Shard& shard = owner_.shards_[worker_];
    for (int k = 0; k < kKinds; ++k) {
        auto kind = static_cast<Kind>(k);
        Ranking& ranking = shard.rankings[k];
        if (!owner_.mayEnter(kind, ranking, candidate)) continue;
        if (candidate.path.empty()) {
            if (!known_) {
                path_ = folderPath_();
                if (path_.empty() || path_.back() != '/') path_ += '/';
                known_ = true;
            }
            candidate.path.append(path_).append(name);
        }
        owner_.add(kind, ranking, candidate, status.st_nlink > 1);
    }
}

}  // namespace quillby
