// SPDX-License-Identifier: GPL-3.0-or-later
#include "duplicates/algorithm.h"

#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <climits>

#include "duplicates/DuplicateLog.h"
#include "duplicates/crc.h"

namespace quillby {

namespace {

constexpr std::uint32_t kHeadSize = 1024;

}  // namespace

bool algorithm::linkChecksums(CandidateFile& item, bool whole) {
    char text[PATH_MAX];
    ssize_t length = ::readlink(item.filePathName.c_str(), text, sizeof text);
    if (length < 0) {
        KVT_LOG("open file:%s failed", item.filePathName.c_str());
        return false;
    }
    auto size = static_cast<std::uint32_t>(length);
    if (whole) {
        if (size == 0) return false;
        item.md5 = crc::crc64(text, size);
    } else {
        item.md5_1k = crc::crc64(text, std::min(size, kHeadSize));
    }
    return true;
}

bool algorithm::getMD5_1K(CandidateFile& item) {
    if (item.isSymbolicLink) return linkChecksums(item, false);
    if (!reader_.open(item.filePathName)) {
        KVT_LOG("open file:%s failed", item.filePathName.c_str());
        return false;
    }
    std::int64_t got = reader_.readChunk(kHeadSize);
    reader_.close();
    if (got < 0) {
        KVT_LOG("read file:%s failed", item.filePathName.c_str());
        return false;
    }
    item.md5_1k = crc::crc64(reader_.buffer(), static_cast<std::uint32_t>(got));
    return true;
}

bool algorithm::getMD5(CandidateFile& item) {
    if (item.isSymbolicLink) return linkChecksums(item, true);
    if (!reader_.open(item.filePathName)) {
        KVT_LOG("open file :%s failed", item.filePathName.c_str());
        return false;
    }
    if (reader_.status().st_size == 0) {
        reader_.close();
        return false;
    }
    std::uint64_t running = crc::initialValue;
    for (bool head = true;; head = false) {
        std::int64_t got = reader_.readChunk();
        if (got < 0) {
            // A read error is no content: the file takes part in no group.
            KVT_LOG("read file :%s failed", item.filePathName.c_str());
            reader_.close();
            return false;
        }
        running =
            crc::crc64Buffer(reader_.buffer(), static_cast<std::uint32_t>(got), head, running);
        if (static_cast<std::size_t>(got) < reader_.capacity()) break;
    }
    reader_.close();
    item.md5 = running;
    return true;
}

void algorithm::findFileWithSize(const std::vector<CandidateFile*>& list,
                                 std::vector<CandidateFile*>& outArray, const CandidateFile& item) {
    for (CandidateFile* other : list) {
        if (other->fileSize == item.fileSize) outArray.push_back(other);
    }
}

void algorithm::findFileWithMd5(const std::vector<CandidateFile*>& list,
                                std::vector<CandidateFile*>& outArray, const CandidateFile& item) {
    for (CandidateFile* other : list) {
        if (other->md5_1k == 0 && !getMD5_1K(*other)) continue;
        if (other->md5_1k != item.md5_1k) continue;
        if (other->md5 == 0 && !getMD5(*other)) continue;
        if (other->md5 == item.md5) outArray.push_back(other);
    }
}

bool algorithm::getDuplicateFile(CandidateFile& item, const std::vector<CandidateFile*>& remaining,
                                 std::vector<CandidateFile*>& result) {
    std::vector<CandidateFile*> sameSize;
    findFileWithSize(remaining, sameSize, item);
    if (sameSize.empty()) return false;
    if (item.md5 == 0 && !getMD5(item)) return false;
    if (item.md5_1k == 0 && !getMD5_1K(item)) return false;
    findFileWithMd5(sameSize, result, item);
    if (!result.empty()) result.push_back(&item);
    return true;
}

}  // namespace quillby
