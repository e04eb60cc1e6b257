# SPDX-License-Identifier: GPL-3.0-or-later
# Small helpers so that every subsystem declares its library and its tests the same way.

# quillby_library(<name> SOURCES ... [DEPS ...])
# One static library per subsystem; include paths are relative to src/ ("core/events/Log.h").
function(quillby_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# quillby_test(<name> [QT] SOURCES ... [DEPS ...])
# One GoogleTest executable per subsystem, each test registered with CTest. QT gives the tests a
# QApplication on the offscreen platform.
function(quillby_test name)
  cmake_parse_arguments(ARG "QT" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  if(ARG_QT)
    set(main quillby_qttestmain)
  else()
    set(main GTest::gtest_main)
  endif()
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} quillby_testsupport ${main} GTest::gmock)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# quillby_fuzz_test(<test name> <program> SOURCES ... SEEDS <folder> [DEPENDS ...])
# A libFuzzer target run by CTest for a few seconds over its seeds. libFuzzer comes with clang,
# not with g++, so the program is built by clang (installed by scripts/install-deps.sh) from its
# sources directly; DEPENDS lists the headers it should be rebuilt for. Without clang the test is
# left out with a warning.
function(quillby_fuzz_test testName program)
  cmake_parse_arguments(ARG "" "SEEDS" "SOURCES;DEPENDS" ${ARGN})
  find_program(QUILLBY_CLANGXX NAMES clang++ clang++-14)
  if(NOT QUILLBY_CLANGXX)
    message(WARNING "clang++ is missing, so the fuzz test ${testName} is not built; "
                    "scripts/install-deps.sh installs it")
    return()
  endif()
  set(output ${CMAKE_CURRENT_BINARY_DIR}/${program})
  add_custom_command(OUTPUT ${output}
    COMMAND ${QUILLBY_CLANGXX} -std=c++20 -g -O1 -Wall -Wextra -Werror
            -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
            -I${PROJECT_SOURCE_DIR}/src ${ARG_SOURCES} -o ${output}
    DEPENDS ${ARG_SOURCES} ${ARG_DEPENDS}
    COMMENT "Building ${program} with clang and libFuzzer"
    VERBATIM)
  string(REPLACE "-" "_" targetName ${program})
  add_custom_target(${targetName} ALL DEPENDS ${output})
  add_test(NAME ${testName}
    COMMAND ${PROJECT_SOURCE_DIR}/tests/run-fuzzer.sh ${output} ${ARG_SEEDS} 5)
endfunction()
