// SPDX-License-Identifier: GPL-3.0-or-later
// Throughput of the duplicate finder's CRC-64 on one core, per implementation, over 4 MiB
// buffers (the size of a read chunk).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "duplicates/Crc64Table.h"
#ifdef QUILLBY_HAVE_ISAL
#include "duplicates/Crc64Isal.h"
#endif

using namespace quillby;

namespace {

template <std::uint64_t (*Update)(std::uint64_t, const void*, std::size_t)>
void crc64Throughput(benchmark::State& state) {
    std::vector<unsigned char> buffer(static_cast<std::size_t>(state.range(0)));
    for (std::size_t i = 0; i < buffer.size(); ++i) buffer[i] = static_cast<unsigned char>(i * 131);
    std::uint64_t value = ~std::uint64_t{0};
    for (auto _ : state) {
        value = Update(value, buffer.data(), buffer.size());
        benchmark::DoNotOptimize(value);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

}  // namespace

BENCHMARK(crc64Throughput<crc64TableUpdate>)->Name("crc64/table")->Arg(4 << 20);
#ifdef QUILLBY_HAVE_ISAL
BENCHMARK(crc64Throughput<crc64IsalUpdate>)->Name("crc64/isa-l")->Arg(4 << 20);
#endif

BENCHMARK_MAIN();
