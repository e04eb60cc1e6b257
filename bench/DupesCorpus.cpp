// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the duplicate finder's benchmark corpus: the same tree for the same scale, every time.
//   quillby_dupes_corpus FOLDER [SCALE [LARGE_MB]]
// Many small files (copies, same sizes with another last byte, equal heads with other tails),
// a few large ones of hundreds of MB (a copy, a twin differing only in its last byte, one with
// an equal head), hidden folders, application bundles (some equal under other file names),
// empty files and hard links. SCALE sizes everything (1: about 42 000 files, 1.3 GB); LARGE_MB
// sets the large files' size apart from it (0.29 and 420: about 12 600 files, 2 GB, nearly all
// of it in five large files). Prints what it wrote.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::uint64_t splitMix(std::uint64_t value) {
    value += 0x9E3779B97F4A7C15ULL;
    value = (value ^ (value >> 30)) * 0xBF58476D1CE4E5B9ULL;
    value = (value ^ (value >> 27)) * 0x94D049BB133111EBULL;
    return value ^ (value >> 31);
}

// A small, fast, seeded generator (xorshift64*).
class Random {
  public:
    explicit Random(std::uint64_t seed) : state_(splitMix(seed) | 1) {}
    std::uint64_t next() {
        state_ ^= state_ >> 12;
        state_ ^= state_ << 25;
        state_ ^= state_ >> 27;
        return state_ * 0x2545F4914F6CDD1DULL;
    }
    std::uint64_t below(std::uint64_t bound) { return next() % bound; }

  private:
    std::uint64_t state_;
};

// What a file holds: bytes from a seed, optionally with another tail or another last byte.
struct Content {
    std::uint64_t seed = 0;
    std::uint64_t size = 0;
    std::uint64_t tailSeed = 0;  // not 0: bytes from 4096 on come from this seed
    bool flipLastByte = false;
};

constexpr std::size_t kBlock = 1 << 20;

// "prefix<number>suffix" (snprintf: string concatenation trips a false GCC 12 warning).
std::string numbered(const char* prefix, std::uint64_t number, const char* suffix = "") {
    char text[128];
    std::snprintf(text, sizeof text, "%s%llu%s", prefix, static_cast<unsigned long long>(number),
                  suffix);
    return text;
}

const char* smallExtension(std::size_t i) {
    return i % 3 == 0 ? ".jpg" : i % 3 == 1 ? ".txt" : ".dat";
}

void fill(std::uint64_t seed, std::uint64_t blockIndex, char* out, std::size_t length) {
    Random random(seed * 1000003 + blockIndex);
    std::size_t i = 0;
    for (; i + 8 <= length; i += 8) {
        std::uint64_t word = random.next();
        std::memcpy(out + i, &word, 8);
    }
    std::uint64_t word = random.next();
    std::memcpy(out + i, &word, length - i);
}

void writeContent(const fs::path& path, const Content& content) {
    fs::create_directories(path.parent_path());
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        std::perror(path.c_str());
        std::exit(1);
    }
    static std::vector<char> block(kBlock + 8);
    static std::vector<char> head(4096 + 8);
    for (std::uint64_t offset = 0, index = 0; offset < content.size; offset += kBlock, ++index) {
        std::size_t length =
            static_cast<std::size_t>(std::min<std::uint64_t>(kBlock, content.size - offset));
        std::uint64_t seed = content.tailSeed ? content.tailSeed : content.seed;
        fill(seed, index, block.data(), length);
        if (content.tailSeed && index == 0) {
            fill(content.seed, 0, head.data(), 4096);
            std::memcpy(block.data(), head.data(), std::min<std::size_t>(4096, length));
        }
        if (content.flipLastByte && offset + length == content.size) block[length - 1] ^= 0x5A;
        std::fwrite(block.data(), 1, length, file);
    }
    std::fclose(file);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FOLDER [SCALE [LARGE_MB]]\n", argv[0]);
        return 2;
    }
    const fs::path root = argv[1];
    const double scale = argc > 2 ? std::atof(argv[2]) : 1.0;
    Random random(20240601);
    std::uint64_t nextSeed = 1;
    std::size_t files = 0;
    std::uint64_t bytes = 0;
    auto write = [&](const fs::path& path, const Content& content) {
        writeContent(path, content);
        ++files;
        bytes += content.size;
    };

    // Small files, about a hundred per folder. Most sizes are random; some come from a short
    // list, so that many unrelated files share a size and need their heads read.
    std::vector<Content> bases;
    const auto smallCount = static_cast<std::size_t>(40000 * scale);
    for (std::size_t i = 0; i < smallCount; ++i) {
        fs::path path = root / "small" / numbered("d", i / 2000) / numbered("e", i / 100) /
                        numbered("f", i, smallExtension(i));
        Content content;
        std::uint64_t roll = random.below(100);
        if (!bases.empty() && roll < 25) {
            content = bases[random.below(bases.size())];  // a copy
        } else if (!bases.empty() && roll < 32) {
            content = bases[random.below(bases.size())];  // the same size, another last byte
            content.flipLastByte = !content.flipLastByte;
        } else if (!bases.empty() && roll < 38) {
            content = bases[random.below(bases.size())];  // an equal head, another tail
            if (content.size > 4096) content.tailSeed = nextSeed++;
        } else {
            content.seed = nextSeed++;
            content.size =
                random.below(100) < 30 ? 4096 * (1 + random.below(4)) : 1 + random.below(16 * 1024);
            bases.push_back(content);
        }
        write(path, content);
    }

    // Hidden folders, some with copies of visible files.
    for (std::size_t i = 0; i < smallCount / 25; ++i) {
        fs::path path = root / "hidden" / numbered(".h", i / 100) / numbered("g", i);
        Content content;
        if (random.below(100) < 30) {
            content = bases[random.below(bases.size())];
        } else {
            content.seed = nextSeed++;
            content.size = 1 + random.below(16 * 1024);
        }
        write(path, content);
    }

    // Large files: a copy, a twin that differs only in its last byte, one with an equal head,
    // and one of another size.
    const double largeBytes = argc > 3 ? std::atof(argv[3]) * 1e6 : 200e6 * scale;
    const auto largeSize = static_cast<std::uint64_t>(largeBytes) + 12345;
    Content large{nextSeed++, largeSize, 0, false};
    write(root / "large/movie.mkv", large);
    write(root / "large/copy/movie.mkv", large);
    Content lastByte = large;
    lastByte.flipLastByte = true;
    write(root / "large/movie-edited.mkv", lastByte);
    Content otherTail = large;
    otherTail.tailSeed = nextSeed++;
    write(root / "large/movie-recut.mkv", otherTail);
    write(root / "large/archive.tar", Content{nextSeed++, largeSize / 2, 0, false});

    // Application bundles: the first ten are copied with their files renamed.
    for (int bundle = 0; bundle < 30; ++bundle) {
        int source = bundle >= 20 ? bundle - 20 : bundle;
        Random inner(9000 + static_cast<std::uint64_t>(source));
        for (int item = 0; item < 15; ++item) {
            std::string name =
                numbered(bundle >= 20 ? "renamed-" : "item-", static_cast<std::uint64_t>(item));
            Content content{100000000ULL + static_cast<std::uint64_t>(source) * 100 +
                                static_cast<std::uint64_t>(item),
                            1 + inner.below(32 * 1024), 0, false};
            write(root / "Bundles" / numbered("Tool", static_cast<std::uint64_t>(bundle), ".app") /
                      "Contents" / (item % 2 ? "Resources" : "MacOS") / name,
                  content);
        }
    }

    // Empty files and hard links.
    for (int i = 0; i < 100; ++i)
        write(root / "empty" / numbered("e", static_cast<std::uint64_t>(i)), Content{});
    fs::create_directories(root / "links");
    for (int i = 0; i < 50; ++i) {
        auto index = static_cast<std::size_t>(i);
        fs::path target = root / "small/d0" / numbered("e", index / 100) /
                          numbered("f", index, smallExtension(index));
        fs::create_hard_link(target, root / "links" / numbered("l", index));
    }
    std::printf("%zu files, %.2f GB in %s\n", files + 50, static_cast<double>(bytes) / 1e9,
                root.c_str());
    return 0;
}
