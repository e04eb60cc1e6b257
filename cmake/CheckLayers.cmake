# SPDX-License-Identifier: GPL-3.0-or-later
# The layer check (a CTest test). Every folder of src/ belongs to one layer, and a file includes
# only what its layer builds on:
#
#   shell (and app)  ->  pages (<engine>/ui)  ->  kit (ui)  ->  engines  ->  core
#   the kit's Qt-free model (ui/model: the removal conversation) sits on core, below the kit,
#   for the pages and the command line alike
#                                      platform interfaces beside them all, platform/linux under app
#
# It fails, naming the file and the include, when a file includes a layer above its own or
# beside it (another page, another engine), a Linux implementation instead of its platform
# interface, Qt below the kit, anything by a relative path, or when anything outside
# platform/linux and the privileged helper reaches the operating system other than through
# files. A file in a folder of no layer fails too, so that a new folder gets its rules here.
#   cmake -DSOURCE_DIR=<src folder> -P CheckLayers.cmake

cmake_minimum_required(VERSION 3.25)

set(engines monitor memory clean uninstall duplicates diskusage loginitems sysinfo)
# The engines an engine builds on (its CMake dependencies besides core).
set(uses_monitor memory)
# The privileged helper shares the clean rules' folder list.
set(uses_helper clean)

# The layers each layer may include besides its own folder ("engine" and "page" mean the file's
# own engine and page folder; "engines" and "pages" mean all of them).
set(reach_core core platform)
set(reach_engine core platform engine)
set(reach_platform platform)
set(reach_platform_linux platform platform_linux core)
set(reach_helper helper core platform)
set(reach_kit_model core platform)
set(reach_kit kit kit_model core platform)
set(reach_page page engine kit kit_model core platform)
set(reach_shell shell pages kit kit_model engines core platform)
set(reach_cli cli kit_model engines core platform platform_linux)
set(reach_app app shell pages kit kit_model engines core platform platform_linux)
# Where Qt may be included.
set(qt_layers kit page shell app)
# Where the operating system may be reached beyond files.
set(system_layers platform_linux helper)

# System headers of the file-system calls every walk and reader needs; process, signal, socket
# and device access belong to platform/linux (and to core's walks, which the helper shares).
set(file_system_headers dirent.h fcntl.h unistd.h sys/stat.h sys/types.h sys/uio.h sys/vfs.h
    sys/file.h linux/magic.h sys/resource.h sys/sysmacros.h)
# core's walks and tool runner (library quillby_fs), written against POSIX for the helper.
set(walk_files core/fs/DeletionGate.cpp core/fs/DirectoryReader.cpp core/fs/EntryStatus.cpp core/fs/FolderHandle.cpp
    core/fs/PathRules.cpp core/fs/TreeMeasure.cpp core/fs/TreeRemover.cpp core/work/ToolRunner.cpp)
# The log asks the kernel for the thread id it prefixes to each line.
set(allowed_core/events/Log.cpp sys/syscall.h)
# The duplicate search hands its threads' freed memory back (malloc_trim) once it has paired.
set(allowed_duplicates/duplicateFind.cpp malloc.h)
# The ISA-L library's CRC-64, a library and not the operating system.
set(allowed_duplicates/Crc64Isal.cpp isa-l/crc64.h)
# Exclusion globs match names as the shell does: fnmatch, a C library function, no system call.
set(allowed_duplicates/WalkExclusions.cpp fnmatch.h)
# A copy replaced by a link is cloned (FICLONE) with its extended attributes, and what it frees is
# read from its extents (FIEMAP): file-system requests on files the engine already holds open.
set(allowed_duplicates/CopyLinking.cpp linux/fiemap.h linux/fs.h sys/ioctl.h sys/xattr.h)
# Without HOME the platform context finds the home folder in the user database.
set(allowed_platform/PlatformContext.cpp pwd.h)

# The includes that run against the layers, as "file|included header"; at most three.
#  1. The volume tile of the kit draws the monitor's volume row (its level image and alarm
#     colour), which the tray's menu and panel share; the row stays with the monitor engine.
#  2. The computer's overview page lists the volumes as that same row, from the agent's
#     enumeration, in the kit's volume tiles.
set(exceptions "ui/VolumeTile.h|monitor/VolumeRow.h" "sysinfo/ui/MyComputerPage.h|monitor/VolumeRow.h")
list(LENGTH exceptions exception_count)
if(exception_count GREATER 3)
  message(FATAL_ERROR "Layer check: at most three exceptions, not ${exception_count}")
endif()

# Sets `out_layer` and `out_owner` (the engine of an engine or page folder) for a path below src/;
# the layer is empty for a path in no layer.
function(layer_of path out_layer out_owner)
  set(layer "")
  set(owner "")
  if(path MATCHES "^core/")
    set(layer core)
  elseif(path MATCHES "^(shell|app|helper)/[^/]+$")
    set(layer ${CMAKE_MATCH_1})
  elseif(path MATCHES "^cli/")
    set(layer cli)
  elseif(path MATCHES "^platform/linux/[^/]+$")
    set(layer platform_linux)
  elseif(path MATCHES "^platform/[^/]+$")
    set(layer platform)
  elseif(path MATCHES "^ui/model/[^/]+$")
    set(layer kit_model)
  elseif(path MATCHES "^ui/[^/]+$")
    set(layer kit)
  elseif(path MATCHES "^([a-z]+)/ui/[^/]+$" AND CMAKE_MATCH_1 IN_LIST engines)
    set(layer page)
    set(owner ${CMAKE_MATCH_1})
  elseif(path MATCHES "^([a-z]+)/[^/]+$" AND CMAKE_MATCH_1 IN_LIST engines)
    set(layer engine)
    set(owner ${CMAKE_MATCH_1})
  endif()
  set(${out_layer} ${layer} PARENT_SCOPE)
  set(${out_owner} ${owner} PARENT_SCOPE)
endfunction()

# What is wrong with a file of `layer` (of engine `owner`) including the source path `target`;
# empty when nothing is.
function(quoted_problem layer owner target out)
  layer_of(${target} to to_owner)
  set(problem "")
  set(reach ${reach_${layer}})
  if(NOT to)
    set(problem "includes ${target}, which is in no layer")
  elseif(to STREQUAL layer AND to MATCHES "^(page|engine)$")
    if(NOT to_owner STREQUAL owner AND NOT (to STREQUAL "engine" AND to_owner IN_LIST uses_${owner}))
      if(to STREQUAL "page")
        set(problem "includes another page's ui (${to_owner}/ui)")
      else()
        set(problem "includes another engine (${to_owner}/)")
      endif()
    endif()
  elseif(to STREQUAL layer)
  elseif(to STREQUAL "engine")
    if(to_owner STREQUAL owner AND "engine" IN_LIST reach)
    elseif("engines" IN_LIST reach OR to_owner IN_LIST uses_${layer})
    elseif(layer STREQUAL "page")
      set(problem "includes another engine (${to_owner}/)")
    else()
      set(problem "includes ${to_owner}/, which ${layer} does not build on")
    endif()
  elseif(to STREQUAL "page")
    if(NOT "pages" IN_LIST reach)
      set(problem "includes a page (${to_owner}/ui)")
    endif()
  elseif(to IN_LIST reach)
  elseif(to STREQUAL "shell")
    set(problem "includes the shell")
  elseif(to STREQUAL "kit")
    set(problem "includes the page kit")
  elseif(to STREQUAL "platform_linux")
    set(problem "includes a Linux implementation instead of its platform interface")
  else()
    set(problem "includes ${to}, which ${layer} does not build on")
  endif()
  set(${out} "${problem}" PARENT_SCOPE)
endfunction()

set(failures "")
set(used_exceptions "")
file(GLOB_RECURSE files RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*.h ${SOURCE_DIR}/*.hpp
     ${SOURCE_DIR}/*.c ${SOURCE_DIR}/*.cc ${SOURCE_DIR}/*.cpp)
foreach(file ${files})
  layer_of(${file} layer owner)
  if(NOT layer)
    list(APPEND failures "src/${file}: is in a folder of no layer (give it one in CheckLayers.cmake)")
    continue()
  endif()
  get_filename_component(folder ${file} DIRECTORY)
  file(STRINGS ${SOURCE_DIR}/${file} lines REGEX "^[ \t]*#[ \t]*include")
  foreach(line ${lines})
    set(problem "")
    if(line MATCHES "\"(\\.\\.?/[^\"]*)\"")
      set(problem "includes by a relative path")
    elseif(line MATCHES "\"([^\"/]+)\"")
      # A bare name is a generated header; a file beside this one is included by its path.
      if(EXISTS ${SOURCE_DIR}/${folder}/${CMAKE_MATCH_1})
        set(problem "includes by a relative path")
      endif()
    elseif(line MATCHES "\"([^\"]+)\"")
      set(target ${CMAKE_MATCH_1})
      if("${file}|${target}" IN_LIST exceptions)
        list(APPEND used_exceptions "${file}|${target}")
      else()
        quoted_problem(${layer} "${owner}" ${target} problem)
      endif()
    elseif(line MATCHES "<(Q[A-Za-z]*|Qt[A-Za-z]*/[^>]*)>")
      if(NOT layer IN_LIST qt_layers)
        set(problem "includes Qt")
      endif()
    elseif(line MATCHES "<([a-z0-9_/+-]+)\\.h>")
      set(header "${CMAKE_MATCH_1}.h")
      if(NOT layer IN_LIST system_layers AND NOT file IN_LIST walk_files
         AND NOT header IN_LIST file_system_headers AND NOT header IN_LIST allowed_${file})
        set(problem "reaches the operating system (<${header}>) outside platform/linux")
      endif()
    endif()
    if(problem)
      string(STRIP "${line}" line)
      list(APPEND failures "src/${file}: ${problem}: ${line}")
    endif()
  endforeach()
endforeach()

# An exception the code no longer needs goes from the list.
foreach(exception ${exceptions})
  if(NOT exception IN_LIST used_exceptions)
    list(APPEND failures "exception ${exception} is no longer used: remove it from CheckLayers.cmake")
  endif()
endforeach()

if(failures)
  list(JOIN failures "\n" text)
  message(FATAL_ERROR "Layer check failed:\n${text}")
endif()
message(STATUS "Layer check passed")
