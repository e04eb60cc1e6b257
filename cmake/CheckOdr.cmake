# SPDX-License-Identifier: GPL-3.0-or-later
# The one-definition check (preset `odr`, `make check-odr`): every library of the program built
# with link-time optimisation and linked whole into one probe, so that two different classes or
# functions of one name anywhere in src/ fail the build instead of letting one vtable or inline
# body silently win at run time.

set(CMAKE_INTERPROCEDURAL_OPTIMIZATION ON)
add_compile_options(-Wodr -Werror=odr -Wlto-type-mismatch -Werror=lto-type-mismatch)
add_link_options(-Wodr -Werror=odr -Wlto-type-mismatch -Werror=lto-type-mismatch)

# Every static library defined under `dir` and the folders below it.
function(quillby_collect_libraries dir out)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  set(found "")
  foreach(target ${targets})
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "STATIC_LIBRARY")
      list(APPEND found ${target})
    endif()
  endforeach()
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(subdir ${subdirs})
    quillby_collect_libraries(${subdir} below)
    list(APPEND found ${below})
  endforeach()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

function(quillby_add_odr_probe)
  quillby_collect_libraries(${PROJECT_SOURCE_DIR}/src libraries)
  set(archives "")
  foreach(library ${libraries})
    list(APPEND archives "$<TARGET_FILE:${library}>")
  endforeach()
  add_executable(quillby_odr_probe ${PROJECT_SOURCE_DIR}/cmake/OdrProbe.cpp)
  # Whole archives first; the libraries again after them bring their own dependencies.
  target_link_libraries(quillby_odr_probe PRIVATE -Wl,--whole-archive ${archives}
                        -Wl,--no-whole-archive ${libraries})
endfunction()
