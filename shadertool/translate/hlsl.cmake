# The HLSL-family translators, part of zk_translate.
target_sources(zk_translate PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/hlsl_tables.cpp
  ${CMAKE_CURRENT_LIST_DIR}/hlsl_translator.cpp
  ${CMAKE_CURRENT_LIST_DIR}/hlsl_declarations.cpp
  ${CMAKE_CURRENT_LIST_DIR}/hlsl_hlsl11_translator.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pssl_translator.cpp)

zk_add_test(NAME hlsl_translate_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/hlsl_translator_test.cpp
  LIBS zk_translate)

zk_add_test(NAME hlsl_snippet_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/tests/hlsl_snippet_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/hlsl_glslang.cpp
  LIBS zk_translate)

# The golden fixtures need the whole front end: the Shader XML reader (with
# the storage it reads through) and the preprocessor.
get_target_property(zk_hlsl_frontend_sources zk_frontend SOURCES)
string(FIND "${zk_hlsl_frontend_sources}" "shader_reader.cpp" zk_hlsl_reader_position)
if(ZK_BUILD_TESTS AND TARGET zk_storage AND NOT zk_hlsl_reader_position EQUAL -1)
  add_library(zk_hlsl_goldens STATIC
    ${CMAKE_CURRENT_LIST_DIR}/tests/hlsl_goldens.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/hlsl_glslang.cpp)
  target_link_libraries(zk_hlsl_goldens PUBLIC zk_translate zk_frontend zk_storage zk_core)

  zk_add_test(NAME hlsl_golden_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/hlsl_golden_test.cpp
    LIBS zk_hlsl_goldens)

  # Writes the expected files; run by hand from the project root.
  add_executable(hlsl_goldens ${CMAKE_CURRENT_LIST_DIR}/tests/hlsl_golden_update.cpp)
  target_link_libraries(hlsl_goldens PRIVATE zk_hlsl_goldens)
endif()
