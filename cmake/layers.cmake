# The build's layers: a library per layer folder and the programs, each made by one helper
# that gives it only the headers its layer may include (cmake/layers.txt) and the warnings
# and exploit mitigations every target of ours has. A forbidden #include then fails to
# compile, and a link to a layer the table does not allow fails to configure.

file(STRINGS ${CMAKE_SOURCE_DIR}/cmake/layers.txt tbtfw_layer_rows REGEX "^[^# \t]")
set_property(GLOBAL PROPERTY TBTFW_LAYER_RULES "${tbtfw_layer_rows}")

# The folders (and files) code in `path` may include, from the first row whose folder
# begins `path`.
function(tbtfw_allowed_includes path out)
  get_property(rows GLOBAL PROPERTY TBTFW_LAYER_RULES)
  foreach(row IN LISTS rows)
    string(REGEX REPLACE "[ \t]+" ";" words "${row}")
    list(POP_FRONT words prefix)
    string(FIND "${path}" "${prefix}" at)
    if(at EQUAL 0)
      set(${out} ${words} PARENT_SCOPE)
      return()
    endif()
  endforeach()
  message(FATAL_ERROR "cmake/layers.txt has no row for ${path}")
endfunction()

# Gives `target` an include folder holding links to the headers the layer of each of
# `paths` may include and no others: the headers under each allowed folder but those in a
# win32 folder below it (a layer of its own, allowed by a row of its own). File entries (a generated header) are
# found on the path their target adds.
function(tbtfw_layer_includes target)
  set(farm ${CMAKE_BINARY_DIR}/layers/${target})
  set(wanted)
  foreach(path IN LISTS ARGN)
    tbtfw_allowed_includes(${path} allowed)
    foreach(folder IN LISTS allowed)
      if(NOT folder MATCHES "/$")
        continue()
      endif()
      file(GLOB_RECURSE headers CONFIGURE_DEPENDS RELATIVE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/${folder}*.h)
      string(LENGTH "${folder}" skip)
      foreach(header IN LISTS headers)
        string(SUBSTRING "${header}" ${skip} -1 below)
        if(NOT below MATCHES "(^|/)win32/")
          list(APPEND wanted ${header})
        endif()
      endforeach()
    endforeach()
  endforeach()
  # Links to headers that went are removed; the others are left as they are, so a build
  # or a clang-tidy run that reads them while CMake configures again still finds them.
  file(GLOB_RECURSE present LIST_DIRECTORIES false RELATIVE ${farm} ${farm}/*)
  foreach(header IN LISTS present)
    if(NOT header IN_LIST wanted)
      file(REMOVE ${farm}/${header})
    endif()
  endforeach()
  foreach(header IN LISTS wanted)
    if(NOT IS_SYMLINK ${farm}/${header})
      get_filename_component(dir ${farm}/${header} DIRECTORY)
      file(MAKE_DIRECTORY ${dir})
      file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${header} ${farm}/${header} SYMBOLIC)
    endif()
  endforeach()
  target_include_directories(${target} PRIVATE ${farm})
endfunction()

# tbtfw_layer(NAME FOLDER folder/ SOURCES ... [LINKS ...] [OBJECT]): the static (or object)
# library of the layer in `folder`, made by that folder's CMakeLists. A link to another layer's library must be one the table
# allows; system libraries pass.
function(tbtfw_layer)
  cmake_parse_arguments(PARSE_ARGV 0 arg "OBJECT" "NAME;FOLDER" "SOURCES;LINKS")
  if(NOT arg_NAME OR NOT arg_FOLDER OR NOT arg_SOURCES)
    message(FATAL_ERROR "tbtfw_layer: NAME, FOLDER and SOURCES are all needed")
  endif()
  set(type STATIC)
  if(arg_OBJECT)
    set(type OBJECT)
  endif()
  add_library(${arg_NAME} ${type} ${arg_SOURCES})
  set_property(GLOBAL PROPERTY TBTFW_FOLDER_OF_${arg_NAME} ${arg_FOLDER})
  tbtfw_allowed_includes(${arg_FOLDER} allowed)
  foreach(link IN LISTS arg_LINKS)
    get_property(folder GLOBAL PROPERTY TBTFW_FOLDER_OF_${link})
    if(folder AND NOT folder IN_LIST allowed)
      message(FATAL_ERROR "${arg_NAME} (${arg_FOLDER}) links ${link} (${folder}): the layer may use only ${allowed}")
    endif()
  endforeach()
  target_link_libraries(${arg_NAME} PUBLIC ${arg_LINKS})
  tbtfw_layer_includes(${arg_NAME} ${arg_FOLDER})
  tbtfw_warnings(${arg_NAME})
  tbtfw_harden(${arg_NAME})
endfunction()

# tbtfw_program(NAME [FOLDER folder/...] [WIN32] [WMAIN] [TINY] SOURCES ... [LINKS ...]): a
# program. With FOLDER it includes what those layers may; without (tests, probes,
# benchmarks) it may include anything. WMAIN: the entry point is wmain or wWinMain. Every
# program is hardened, and the release checks read its headers (TBTFW_PROGRAMS) unless it
# is TINY: a test probe with no array on its stack, in which the compiler puts no canary.
function(tbtfw_program)
  cmake_parse_arguments(PARSE_ARGV 0 arg "WIN32;WMAIN;TINY" "NAME" "FOLDER;SOURCES;LINKS")
  if(NOT arg_NAME OR NOT arg_SOURCES)
    message(FATAL_ERROR "tbtfw_program: NAME and SOURCES are both needed")
  endif()
  set(subsystem)
  if(arg_WIN32)
    set(subsystem WIN32)
  endif()
  add_executable(${arg_NAME} ${subsystem} ${arg_SOURCES})
  target_link_libraries(${arg_NAME} PRIVATE ${arg_LINKS})
  if(arg_FOLDER)
    tbtfw_layer_includes(${arg_NAME} ${arg_FOLDER})
  else()
    target_include_directories(${arg_NAME} PRIVATE ${CMAKE_SOURCE_DIR})
  endif()
  if(arg_WMAIN)
    target_link_options(${arg_NAME} PRIVATE -municode)
  endif()
  tbtfw_warnings(${arg_NAME})
  tbtfw_harden(${arg_NAME})
  if(NOT arg_TINY)
    set_property(GLOBAL APPEND PROPERTY TBTFW_PROGRAMS ${arg_NAME})
  endif()
endfunction()
