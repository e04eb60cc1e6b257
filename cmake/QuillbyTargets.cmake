# Small helpers so that every subsystem declares its library and its tests the same way.

# quillby_library(<name> SOURCES ... [DEPS ...])
# One static library per subsystem; include paths are relative to src/ ("core/Log.h").
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
