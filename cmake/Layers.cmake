# The engine's libraries from the bottom up. A library may link and include
# only libraries listed before it; a new library goes into this list at its
# place. Configuring fails when one links a library listed after it, and the
# test layer_includes fails when one of its sources includes a header of a
# library listed after it or of one it does not link, directly or through
# the libraries it links, or writes a header of the project otherwise than
# in quotes from the project root.
set(ZK_LAYERS
  zk_imageformats    # engine/imageformats: TGA, run-length bitmaps, font files, little-endian fields; standing alone
  zk_base            # engine/base: containers, strings, transforms, base64, colour types, mutex record, clocks
  zk_safewrite       # engine/safewrite: files written through a temporary beside them, over the C library alone
  zk_runtime         # engine/runtime: state, table, printers, threads, mutexes, time, the device-service seam
  zk_events          # engine/events: event delivery, key, button and pointer state, gamepads
  zk_console         # engine/console: the console log, its lines and the log file, the console overlay
  zk_macos_device    # platform/macos/device: device services, registered into the runtime
  zk_builtins        # shadertool/builtins: the operator signature and built-in function tables, as data
  zk_frontend        # shadertool/frontend: the ZKSL language core, tokenizers to semantic checks; no storage
  zk_datamodel       # engine/datamodel: the data model, the XML and CSV readers, scrambled files
  zk_storage         # engine/storage
  zk_shader_xml      # shadertool/shader_xml: the Shader XML reader, through the database manager
  zk_translate       # shadertool/translate
  zk_sound           # engine/sound: back ends, records, manager and banks, the audio table
  zk_images          # engine/images: bitmap records and pool, loader and codecs, sampling, distance fields
  zk_render          # engine/render: renderer interface, null back end, the queueing rule
  zk_shaders         # engine/shaders: run-time and built-in shaders
  zk_drawing         # engine/drawing: buffers, graphics state, stacks, batch renderer, draw entries, shader functions
  zk_bitmaps         # engine/bitmaps: bitmap API, loading, upload, sequences, packing
  zk_fonts           # engine/fonts: pool, font files, generation, atlases
  zk_text            # engine/text: layout and drawing
  zk_screen          # engine/screen: renderer life, upload pass, re-initialisation, resolution, fitting, diagnostics
  zk_platform_services # engine/platform_services: module and service interfaces, Game Center, purchase ids and events
  zk_services        # engine/services: extension modules, service implementations and fronts
  zk_app             # engine/app: start-up, frame, shutdown, extension call, table filling
  zk_macos_app       # platform/macos/app: the application shell
  zk_shader_tool_cli # tools/shader-tool
  zk_platform_windows # platform/windows: the Windows interfaces the manifester uses
  zk_manifester      # tools/manifester: its own small runtime, links no engine library
)

include(${CMAKE_CURRENT_LIST_DIR}/LayerEntries.cmake)

# The libraries of ZK_LAYERS that `library` links itself (others, such as
# Threads::Threads, left out).
function(zk_layer_direct_links library result)
  get_target_property(links ${library} LINK_LIBRARIES)
  set(layer_links "")
  foreach(link IN LISTS links)
    if(link IN_LIST ZK_LAYERS)
      list(APPEND layer_links ${link})
    endif()
  endforeach()
  set(${result} ${layer_links} PARENT_SCOPE)
endfunction()

foreach(library IN LISTS ZK_LAYERS)
  list(FIND ZK_LAYERS ${library} rank)
  get_target_property(links ${library} LINK_LIBRARIES)
  foreach(link IN LISTS links)
    list(FIND ZK_LAYERS ${link} link_rank)
    if(link_rank GREATER_EQUAL rank)
      message(FATAL_ERROR "${library} links ${link}, which is not below it in ZK_LAYERS (cmake/Layers.cmake)")
    endif()
  endforeach()
  zk_layer_direct_links(${library} zk_layer_links_${library})
  get_target_property(folder ${library} SOURCE_DIR)
  file(RELATIVE_PATH zk_layer_folder_${library} ${CMAKE_SOURCE_DIR} ${folder})
endforeach()

if(ZK_BUILD_TESTS)
  zk_layer_entries(FILE ${CMAKE_BINARY_DIR}/layer_entries.cmake LAYERS ${ZK_LAYERS})
  add_test(NAME layer_includes
    COMMAND ${CMAKE_COMMAND} -DROOT=${CMAKE_SOURCE_DIR} -DENTRIES=${CMAKE_BINARY_DIR}/layer_entries.cmake
            -P ${CMAKE_SOURCE_DIR}/cmake/check_layer_includes.cmake)
  # The README's layout table and its table of the calls that go up
  # through the interface table, against this list and the code.
  add_test(NAME readme_layering
    COMMAND /bin/bash ${CMAKE_SOURCE_DIR}/cmake/check_readme_layering.sh ${CMAKE_SOURCE_DIR}
            ${CMAKE_BINARY_DIR}/layer_entries.cmake)
  # The check itself, over a small tree of its own.
  add_test(NAME layer_includes_fixture
    COMMAND ${CMAKE_COMMAND} -DROOT=${CMAKE_SOURCE_DIR} -DWORK=${CMAKE_BINARY_DIR}/layer_includes_fixture
            -P ${CMAKE_SOURCE_DIR}/cmake/tests/layer_includes_fixture.cmake)
endif()

# The manifester's libraries and the engine's define no global symbol in
# common, weak ones included, so that one program can link both sides (the
# engine's font tests read the font files the manifester writes).
if(ZK_BUILD_TESTS)
  set(manifester_libraries zk_platform_windows zk_manifester zk_manifester_test_files)
  set(manifester_archives "")
  set(engine_archives "")
  foreach(library IN LISTS manifester_libraries)
    list(APPEND manifester_archives "$<TARGET_FILE:${library}>")
  endforeach()
  foreach(library IN LISTS ZK_LAYERS)
    if(NOT library IN_LIST manifester_libraries)
      list(APPEND engine_archives "$<TARGET_FILE:${library}>")
    endif()
  endforeach()
  string(REPLACE ";" "," manifester_archives "${manifester_archives}")
  string(REPLACE ";" "," engine_archives "${engine_archives}")
  add_test(NAME manifester_engine_symbols
    COMMAND ${CMAKE_COMMAND} -DNM=${CMAKE_NM} -DFIRST=${manifester_archives} -DSECOND=${engine_archives}
            -P ${CMAKE_SOURCE_DIR}/cmake/check_shared_symbols.cmake)
endif()
