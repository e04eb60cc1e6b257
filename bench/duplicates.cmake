# SPDX-License-Identifier: GPL-3.0-or-later
# The duplicate finder's benchmarks: CRC-64 throughput and the corpus generator that
# bench/duplicates.sh times quillby dupes against its peers on, and the least reading it needs.
find_package(benchmark REQUIRED)
add_executable(quillby_bench_crc64 ${CMAKE_CURRENT_LIST_DIR}/Crc64Benchmark.cpp)
target_link_libraries(quillby_bench_crc64 PRIVATE quillby_duplicates benchmark::benchmark)

add_executable(quillby_dupes_corpus ${CMAKE_CURRENT_LIST_DIR}/DupesCorpus.cpp)

add_executable(quillby_dupes_floor ${CMAKE_CURRENT_LIST_DIR}/DupesFloor.cpp)
target_link_libraries(quillby_dupes_floor PRIVATE quillby_core)

# The results page's model and outline for a search with 50 000 groups (offscreen).
add_executable(quillby_bench_duplicate_results ${CMAKE_CURRENT_LIST_DIR}/DuplicateResultsBench.cpp)
target_link_libraries(quillby_bench_duplicate_results PRIVATE quillby_duplicates_ui Qt6::Widgets)
