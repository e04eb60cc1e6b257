# SPDX-License-Identifier: GPL-3.0-or-later
# The removal check (a CTest test): fails, naming file and line, when code outside the deletion
# gate (the privileged helper included) deletes or renames entries itself (unlink, unlinkat, rmdir,
# rename*, remove, remove_all, Qt's file removals), so that no page can bypass the gate.
#   cmake -DSOURCE_DIR=<src folder> -P CheckRemovals.cmake

cmake_minimum_required(VERSION 3.25)

# The gate itself: the walk that deletes, the trash it moves items into.
set(gate_files core/fs/DeletionGate.cpp core/fs/TreeRemover.h core/fs/TreeRemover.cpp core/fs/TrashCan.h
    core/fs/TrashCan.cpp)
# Writers of the program's own files, which put a finished temporary file in place of the old
# one (or set a broken one aside, or clear a stale socket of a former run); they never remove
# anything the user chose, and a temporary file they made goes through the gate.
set(own_file_writers core/fs/AtomicFile.cpp platform/linux/JsonPreferencesStore.cpp
    shell/SingleInstance.cpp)

set(call_pattern
    "(^|[^A-Za-z0-9_])(::|std::filesystem::|fs::|std::)(unlink|unlinkat|rmdir|rename|renameat|renameat2|remove|remove_all)[ \t]*\\(|QFile::remove|QFile::rename|QDir::remove|QDir::rmdir|QDir::rmpath|\\.rmdir\\(|\\.rmpath\\(|removeRecursively|moveToTrash|removeServer")
# The gate's own parts: the deleting walk and the trash.
set(walk_pattern "TreeRemover[ \t]*[({:]|TreeRemover[ \t]+[A-Za-z_]|TrashCan[ \t]*[({]|make_unique<TreeRemover>")

file(GLOB_RECURSE files RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*.h ${SOURCE_DIR}/*.cpp)
set(failures "")
foreach(file ${files})
  if(file IN_LIST gate_files OR file IN_LIST own_file_writers)
    continue()
  endif()
  file(STRINGS ${SOURCE_DIR}/${file} lines)
  set(number 0)
  foreach(line IN LISTS lines)
    math(EXPR number "${number} + 1")
    string(REGEX REPLACE "//.*$" "" code "${line}")
    if(code MATCHES "${call_pattern}" OR code MATCHES "${walk_pattern}")
      string(STRIP "${line}" line)
      list(APPEND failures "src/${file}:${number}: removes outside the deletion gate: ${line}")
    endif()
  endforeach()
endforeach()

if(failures)
  list(JOIN failures "\n" text)
  message(FATAL_ERROR "Removal check failed:\n${text}")
endif()
message(STATUS "Removal check passed")
