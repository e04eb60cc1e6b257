# The layer check (a CTest test): fails, naming file and line, when core or an engine includes
# Qt, a ui or shell header, the Linux implementations, or the header of an engine it does not
# build on, or when anything outside platform/ and the privileged helper reaches the operating
# system other than through files.
#   cmake -DSOURCE_DIR=<src folder> -P CheckLayers.cmake

cmake_minimum_required(VERSION 3.25)

set(engines monitor memory clean uninstall duplicates diskusage loginitems sysinfo)
# The engines an engine builds on (its CMake dependencies besides core).
set(uses_monitor memory)

# System headers of the file-system calls every walk and reader needs; process, signal, socket
# and device access belong to platform/ (and to core's walks, which the helper shares).
set(file_system_headers dirent.h fcntl.h unistd.h sys/stat.h sys/types.h sys/uio.h sys/vfs.h
    sys/file.h linux/magic.h sys/resource.h sys/sysmacros.h)
# core's walks and tool runner (library quillby_fs), written against POSIX for the helper.
set(walk_files core/fs/DeletionGate.cpp core/fs/DirectoryReader.cpp core/fs/EntryStatus.cpp core/fs/FolderHandle.cpp
    core/fs/PathRules.cpp core/fs/TreeMeasure.cpp core/fs/TreeRemover.cpp core/work/ToolRunner.cpp)
# The log asks the kernel for the thread id it prefixes to each line.
set(allowed_core/events/Log.cpp sys/syscall.h)
# The duplicate search hands its threads' freed memory back (malloc_trim) once it has paired.
set(allowed_duplicates/duplicateFind.cpp malloc.h)

# Widgets that live beside an engine's code (the disk-usage column browser), layered like a
# ui folder.
set(widget_folders "diskusage/columns")

set(failures "")
# Core and the engines: every rule. The front ends (the command line, the desktop program and
# every ui folder): the operating-system rule only.
foreach(layer core ${engines} cli shell app)
  file(GLOB_RECURSE files RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/${layer}/*.h
       ${SOURCE_DIR}/${layer}/*.cpp)
  set(allowed_folders ${layer} core platform ${uses_${layer}})
  foreach(file ${files})
    set(front_end OFF)
    if(layer MATCHES "^(cli|shell|app)$" OR file MATCHES "^[a-z]+/ui/"
       OR file MATCHES "^(${widget_folders})/")
      set(front_end ON)
    endif()
    file(STRINGS ${SOURCE_DIR}/${file} lines REGEX "^[ \t]*#[ \t]*include")
    foreach(line ${lines})
      set(problem "")
      if(front_end AND NOT line MATCHES "<([a-z0-9_/]+)\\.h>")
        # Qt and every layer below are theirs to include.
      elseif(front_end)
        set(header "${CMAKE_MATCH_1}.h")
        if(NOT header IN_LIST file_system_headers)
          set(problem "reaches the operating system (<${header}>) outside platform/")
        endif()
      elseif(line MATCHES "<(Q[A-Za-z]*|Qt[A-Za-z]*/[^>]*)>")
        set(problem "includes Qt")
      elseif(line MATCHES "\"(shell|[a-z]+/ui|${widget_folders})/")
        set(problem "includes a ui or shell header")
      elseif(line MATCHES "\"platform/linux/")
        set(problem "includes a Linux implementation instead of its platform interface")
      elseif(line MATCHES "\"([a-z]+)/[^\"]*\"")
        if(NOT CMAKE_MATCH_1 IN_LIST allowed_folders)
          set(problem "includes ${CMAKE_MATCH_1}/, which ${layer} does not build on")
        endif()
      elseif(line MATCHES "<([a-z0-9_/]+)\\.h>" AND NOT file IN_LIST walk_files)
        set(header "${CMAKE_MATCH_1}.h")
        if(NOT header IN_LIST file_system_headers AND NOT header IN_LIST allowed_${file})
          set(problem "reaches the operating system (<${header}>) outside platform/")
        endif()
      endif()
      if(problem)
        string(STRIP "${line}" line)
        list(APPEND failures "src/${file}: ${problem}: ${line}")
      endif()
    endforeach()
  endforeach()
endforeach()

if(failures)
  list(JOIN failures "\n" text)
  message(FATAL_ERROR "Layer check failed:\n${text}")
endif()
message(STATUS "Layer check passed")
