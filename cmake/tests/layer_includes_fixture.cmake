# Run by the test layer_includes_fixture: the include check over the small
# tree under tests/data/layers, with the entries zk_layer_entries writes
# from each case's order and direct links. fx_top includes fx_base's header,
# which it reaches only through fx_middle, and fx_side's, which it links or
# not as the case says. fx_inner's folder lies inside fx_middle's. It comes
# after fx_middle in the orders but one, and before it in that one, so a
# file there belongs to fx_inner in all of them only when the longest folder
# wins, not the first, the last or the shortest: fx_top includes its
# header, and it includes fx_middle's. fx_round's files write headers
# otherwise than from the root, each in a way of its own; it is listed only
# in the cases about those. ROOT is the project root, WORK a scratch folder.
cmake_minimum_required(VERSION 3.25)
include(${ROOT}/cmake/LayerEntries.cmake)

set(failures 0)
set(zk_layer_folder_fx_base base)
set(zk_layer_folder_fx_middle middle)
set(zk_layer_folder_fx_side side)
set(zk_layer_folder_fx_top top)
set(zk_layer_folder_fx_inner middle/inner)
set(zk_layer_folder_fx_round round)
set(zk_layer_links_fx_middle fx_base)
set(zk_layer_links_fx_inner fx_middle)

# run_case(name order top_links expected...): the check passes when no
# message is expected, and otherwise fails printing every one.
function(run_case name order top_links)
  string(REPLACE "," ";" order "${order}")
  string(REPLACE "," ";" zk_layer_links_fx_top "${top_links}")
  set(entries ${WORK}/${name}.cmake)
  zk_layer_entries(FILE ${entries} LAYERS ${order})
  execute_process(
    COMMAND ${CMAKE_COMMAND} -DROOT=${ROOT}/tests/data/layers -DENTRIES=${entries}
            -P ${ROOT}/cmake/check_layer_includes.cmake
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  # The messages come wrapped across lines.
  string(REGEX REPLACE "[ \t\r\n]+" " " output "${output}")
  if(ARGN STREQUAL "")
    if(NOT result EQUAL 0)
      message(SEND_ERROR "${name}: the check failed on a clean tree: ${output}")
    endif()
    return()
  endif()
  if(result EQUAL 0)
    message(SEND_ERROR "${name}: the check passed")
  endif()
  foreach(expected IN LISTS ARGN)
    string(FIND "${output}" "${expected}" at)
    if(at EQUAL -1)
      message(SEND_ERROR "${name}: no \"${expected}\" in: ${output}")
    endif()
  endforeach()
endfunction()

file(MAKE_DIRECTORY ${WORK})
run_case(clean "fx_base,fx_side,fx_middle,fx_inner,fx_top" "fx_middle,fx_side,fx_inner")
run_case(unlinked "fx_base,fx_side,fx_middle,fx_inner,fx_top" "fx_middle,fx_inner"
  "top/top.cpp (fx_top) includes side/side.h of fx_side, which is not among the links of fx_top"
  "1 include(s) reach")
run_case(above "fx_base,fx_middle,fx_inner,fx_top,fx_side" "fx_middle,fx_side,fx_inner"
  "top/top.cpp (fx_top) includes side/side.h of fx_side, which lies above it"
  "1 include(s) reach")
# The header is fx_inner's, which fx_top does not link, though it links
# fx_middle, whose folder holds it too.
run_case(inner_header_unlinked "fx_base,fx_side,fx_middle,fx_inner,fx_top" "fx_middle,fx_side"
  "top/top.cpp (fx_top) includes middle/inner/inner.h of fx_inner, which is not among the links of fx_top"
  "1 include(s) reach")
# The file is fx_inner's, which here does not link fx_middle: it may not
# include fx_middle's header, though fx_middle's folder holds it.
set(zk_layer_links_fx_inner "")
run_case(inner_source_unlinked "fx_base,fx_side,fx_middle,fx_inner,fx_top" "fx_middle,fx_side,fx_inner"
  "middle/inner/inner.h (fx_inner) includes middle/middle.h of fx_middle, which is not among the links of fx_inner"
  "1 include(s) reach")
set(zk_layer_links_fx_inner fx_middle)  # as in the cases before

# fx_inner lies below fx_middle here, linking fx_base alone: its header may
# not include fx_middle's, and fx_top, which does not link it, may not
# include its header. Both files still belong to fx_inner, though the folder
# listed last that holds them is fx_middle's.
set(zk_layer_links_fx_inner fx_base)
run_case(inner_listed_first "fx_base,fx_side,fx_inner,fx_middle,fx_top" "fx_middle,fx_side"
  "middle/inner/inner.h (fx_inner) includes middle/middle.h of fx_middle, which lies above it"
  "top/top.cpp (fx_top) includes middle/inner/inner.h of fx_inner, which is not among the links of fx_top"
  "2 include(s) reach")
set(zk_layer_links_fx_inner fx_middle)

# fx_round links fx_base alone: fx_side's header is foreign to it, however
# written, and its own header may be included only from the root.
set(zk_layer_links_fx_round fx_base)
run_case(written_otherwise "fx_base,fx_side,fx_middle,fx_inner,fx_top,fx_round" "fx_middle,fx_side,fx_inner"
  "round/relative.cpp (fx_round) includes \"../side/side.h\", which is not written from the project root"
  "round/angle.cpp (fx_round) includes <side/side.h>, a header of the project in angle brackets instead of quotes"
  "round/beside.cpp (fx_round) includes \"beside.h\", which is not written from the project root"
  "round/dotted.cpp (fx_round) includes \"base/../side/side.h\", which is not written from the project root"
  "round/unspaced.cpp (fx_round) includes side/side.h of fx_side, which is not among the links of fx_round"
  "4 include(s) not written from the project root"
  "1 include(s) reach")
