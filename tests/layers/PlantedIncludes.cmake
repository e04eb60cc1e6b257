# SPDX-License-Identifier: GPL-3.0-or-later
# The layer check catches each kind of wrong include: in a copy of src/, every case plants one
# include in turn and expects the check to fail naming the file and the rule; the unchanged copy
# passes. The copy lives in a folder of its own under WORK_DIR and goes at the end.
#   cmake -DSOURCE_DIR=<src> -DCHECK=<CheckLayers.cmake> -DWORK_DIR=<folder> -P PlantedIncludes.cmake

cmake_minimum_required(VERSION 3.25)

string(RANDOM LENGTH 10 suffix)
set(copy ${WORK_DIR}/planted-includes-${suffix})
file(MAKE_DIRECTORY ${copy})
file(COPY ${SOURCE_DIR}/ DESTINATION ${copy} FILES_MATCHING PATTERN "*.h" PATTERN "*.cpp")
set(errors "")

# Runs the check on the copy: sets `passed` and `said` (its output on one line).
function(run_check)
  execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${copy} -P ${CHECK}
                  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  # The check's message is wrapped; compare words, not lines.
  string(REGEX REPLACE "[ \t\r\n]+" " " output "${output}")
  if(result EQUAL 0)
    set(passed ON PARENT_SCOPE)
  else()
    set(passed OFF PARENT_SCOPE)
  endif()
  set(said "${output}" PARENT_SCOPE)
endfunction()

# Adds `line` to `file` (a new file when there is none), expects the check to fail saying
# `expected`, and puts the file back.
function(expect_caught file line expected)
  set(path ${copy}/${file})
  set(existed OFF)
  if(EXISTS ${path})
    set(existed ON)
    file(READ ${path} before)
  endif()
  file(APPEND ${path} "\n${line}\n")
  run_check()
  if(existed)
    file(WRITE ${path} "${before}")
  else()
    file(REMOVE ${path})
  endif()
  string(FIND "${said}" "src/${file}: ${expected}" at)
  if(passed OR at EQUAL -1)
    list(APPEND errors "${file} + ${line}: expected \"src/${file}: ${expected}\", the check said: ${said}")
    set(errors "${errors}" PARENT_SCOPE)
  endif()
endfunction()

run_check()
if(NOT passed)
  list(APPEND errors "the unchanged tree fails: ${said}")
endif()

# Pages: never the shell, another page or another engine, nor a Linux implementation.
expect_caught(duplicates/ui/DuplicatesPage.cpp "#include \"shell/PrefsWindowController.h\""
              "includes the shell")
expect_caught(uninstall/ui/UninstallAppsPage.cpp "#include \"loginitems/ui/LoginItemsTableModel.h\""
              "includes another page's ui (loginitems/ui)")
expect_caught(sysinfo/ui/CustomComInfoView.cpp "#include \"monitor/VolumesInfo.h\""
              "includes another engine (monitor/)")
expect_caught(memory/ui/PieChartView.cpp "#include \"platform/linux/LinuxMemorySource.h\""
              "includes a Linux implementation")
# The kit: never a page or the shell.
expect_caught(ui/AppItemIcon.cpp "#include \"clean/ui/CleanFeatureRow.h\"" "includes a page (clean/ui)")
expect_caught(ui/ImageProvider.cpp "#include \"shell/FastCleanPage.h\"" "includes the shell")
# Core and the platform interfaces: nothing above them, and no Qt.
expect_caught(core/events/Log.cpp "#include \"monitor/VolumeRow.h\""
              "includes monitor/, which core does not build on")
expect_caught(core/text/PlainText.cpp "#include <QString>" "includes Qt")
# The kit's models stay Qt-free and below the widgets, for the command line.
expect_caught(ui/model/RemovalConversation.cpp "#include <QString>" "includes Qt")
expect_caught(ui/model/RemovalConversation.cpp "#include \"ui/WorkRunner.h\"" "includes the page kit")
expect_caught(clean/CleanCategory.cpp "#include \"ui/model/RemovalConversation.h\""
              "includes kit_model, which engine does not build on")
expect_caught(platform/VolumeSource.h "#include \"memory/ClearMemory.h\""
              "includes memory/, which platform does not build on")
# Anywhere: relative paths, and the operating system outside platform/linux.
expect_caught(memory/ClearMemory.cpp "#include \"../core/events/Log.h\"" "includes by a relative path")
expect_caught(monitor/VolumesManager.cpp "#include <systemd/sd-bus.h>"
              "reaches the operating system (<systemd/sd-bus.h>)")
# A new folder has no rules until it is given a layer.
expect_caught(diskusage/widgets/Gauge.cpp "#include <QWidget>" "is in a folder of no layer")

file(REMOVE_RECURSE ${copy})
if(errors)
  list(JOIN errors "\n" text)
  message(FATAL_ERROR "${text}")
endif()
message(STATUS "Every planted include was caught")
