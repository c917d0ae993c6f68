# Run by the test layer_includes: fails when a source of a library includes a
# header from the folder of a library above it, or of a library it does not
# link, directly or through the libraries it links. ENTRIES is the file
# zk_layer_entries writes at configure time (cmake/LayerEntries.cmake): the
# libraries from the bottom up, each one's folder and everything it links.
# Every source includes a header of the project in quotes, written from the
# root, so that the path names the library it belongs to; the check fails
# any other way of writing one (from the including file's folder, with a
# "." or ".." step, or in angle brackets), and passes angle brackets that
# name no file of the project (system and library headers such as <cstdio>
# or <png.h>). An include through a macro (FT_FREETYPE_H) is not read.
# tests/ folders are not part of a library and are not checked.
cmake_minimum_required(VERSION 3.25)
include(${ENTRIES})

# The library whose folder holds `path` (the longest folder that is a prefix
# of it), or "" when none does.
function(owner_of path result)
  set(best "")
  set(best_length 0)
  foreach(name IN LISTS layer_names)
    set(folder "${layer_folder_${name}}")
    string(LENGTH "${folder}/" length)
    string(SUBSTRING "${path}" 0 ${length} head)
    if(head STREQUAL "${folder}/" AND length GREATER best_length)
      set(best ${name})
      set(best_length ${length})
    endif()
  endforeach()
  set(${result} "${best}" PARENT_SCOPE)
endfunction()

# True when `header`, read from the root, names a file of the project: one
# under ROOT, or one in a library's folder that the build generates there
# (shadertool/frontend/pp_grammar.hpp).
function(names_project_file header result)
  owner_of(${header} owner)
  if(NOT owner STREQUAL "" OR (EXISTS ${ROOT}/${header} AND NOT IS_DIRECTORY ${ROOT}/${header}))
    set(${result} TRUE PARENT_SCOPE)
  else()
    set(${result} FALSE PARENT_SCOPE)
  endif()
endfunction()

set(failures 0)
set(unrooted 0)
foreach(name IN LISTS layer_names)
  list(FIND layer_names ${name} rank)
  set(folder "${layer_folder_${name}}")
  file(GLOB_RECURSE sources RELATIVE ${ROOT}
       ${ROOT}/${folder}/*.h ${ROOT}/${folder}/*.cpp ${ROOT}/${folder}/*.y ${ROOT}/${folder}/*.def)
  foreach(source IN LISTS sources)
    if(source MATCHES "/tests/")
      continue()
    endif()
    owner_of(${source} source_owner)
    if(NOT source_owner STREQUAL name)
      continue()  # a folder of its own inside this one
    endif()
    file(STRINGS ${ROOT}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
    foreach(line IN LISTS includes)
      if(line MATCHES "^[ \t]*#[ \t]*include[ \t]*<([^>]+)>")
        names_project_file("${CMAKE_MATCH_1}" project)
        if(project)
          message(SEND_ERROR
            "${source} (${name}) includes <${CMAKE_MATCH_1}>, a header of the project in angle brackets instead of quotes")
          math(EXPR unrooted "${unrooted} + 1")
        endif()
        continue()
      endif()
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*" "\\1" header "${line}")
      # A "." or ".." step would let the folder written differ from the
      # file's, and so the library it names.
      set(rooted FALSE)
      if(NOT header MATCHES "(^|/)\\.\\.?(/|$)" AND NOT header MATCHES "^/")
        names_project_file("${header}" rooted)
      endif()
      if(NOT rooted)
        message(SEND_ERROR "${source} (${name}) includes \"${header}\", which is not written from the project root")
        math(EXPR unrooted "${unrooted} + 1")
        continue()
      endif()
      owner_of(${header} header_owner)
      if(header_owner STREQUAL "" OR header_owner STREQUAL name)
        continue()
      endif()
      list(FIND layer_names ${header_owner} header_rank)
      if(header_rank GREATER rank)
        message(SEND_ERROR "${source} (${name}) includes ${header} of ${header_owner}, which lies above it")
        math(EXPR failures "${failures} + 1")
      elseif(NOT header_owner IN_LIST layer_links_${name})
        message(SEND_ERROR
          "${source} (${name}) includes ${header} of ${header_owner}, which is not among the links of ${name}")
        math(EXPR failures "${failures} + 1")
      endif()
    endforeach()
  endforeach()
endforeach()
# Each message above failed the check already; these count them.
if(unrooted GREATER 0)
  message(SEND_ERROR "${unrooted} include(s) not written from the project root")
endif()
if(failures GREATER 0)
  message(SEND_ERROR "${failures} include(s) reach a library above their own or one it does not link")
endif()
