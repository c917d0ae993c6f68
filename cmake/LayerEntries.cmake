# zk_layer_entries(FILE file LAYERS library...)
# Writes what the include check (cmake/check_layer_includes.cmake) reads:
# the libraries from the bottom up, each one's folder and every library it
# links, directly or through the libraries it links. Each library's folder
# is read from zk_layer_folder_<library> and its direct links from
# zk_layer_links_<library>; a link is taken to be listed before the library
# that links it, which configuring tests first (cmake/Layers.cmake).
function(zk_layer_entries)
  cmake_parse_arguments(E "" "FILE" "LAYERS" ${ARGN})
  set(text "# Written by zk_layer_entries (cmake/LayerEntries.cmake); read by cmake/check_layer_includes.cmake.\n")
  string(APPEND text "set(layer_names ${E_LAYERS})\n")
  foreach(library IN LISTS E_LAYERS)
    set(closure "")
    foreach(link IN LISTS zk_layer_links_${library})
      list(APPEND closure ${link} ${closure_${link}})
    endforeach()
    list(REMOVE_DUPLICATES closure)
    set(closure_${library} ${closure})
    string(APPEND text "set(layer_folder_${library} \"${zk_layer_folder_${library}}\")\n")
    string(APPEND text "set(layer_links_${library} ${closure})\n")
  endforeach()
  file(WRITE ${E_FILE} "${text}")
endfunction()
