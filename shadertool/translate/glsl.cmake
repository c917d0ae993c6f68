# The GLSL-family translators, part of zk_translate.
target_sources(zk_translate PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/glsl_tables.cpp
  ${CMAKE_CURRENT_LIST_DIR}/glsl_translator.cpp
  ${CMAKE_CURRENT_LIST_DIR}/glsl_declarations.cpp
  ${CMAKE_CURRENT_LIST_DIR}/glsl_essl20_translator.cpp
  ${CMAKE_CURRENT_LIST_DIR}/glsl_glsl31_translator.cpp)

zk_add_test(NAME glsl_translate_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/glsl_translator_test.cpp
  LIBS zk_translate)

zk_add_test(NAME glsl_snippet_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/tests/glsl_snippet_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/glsl_glslang.cpp
  LIBS zk_translate)

# The golden fixtures need the whole front end: the Shader XML reader (with
# the storage it reads through) and the preprocessor.
get_target_property(zk_glsl_frontend_sources zk_frontend SOURCES)
string(FIND "${zk_glsl_frontend_sources}" "shader_reader.cpp" zk_glsl_reader_position)
if(TARGET zk_storage AND NOT zk_glsl_reader_position EQUAL -1)
  add_library(zk_glsl_goldens STATIC
    ${CMAKE_CURRENT_LIST_DIR}/tests/glsl_goldens.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/glsl_glslang.cpp)
  target_link_libraries(zk_glsl_goldens PUBLIC zk_translate zk_frontend zk_storage zk_core)

  zk_add_test(NAME glsl_golden_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/glsl_golden_test.cpp
    LIBS zk_glsl_goldens)

  # Writes the expected files; run by hand from the project root.
  if(ZK_BUILD_TESTS)
    add_executable(glsl_goldens ${CMAKE_CURRENT_LIST_DIR}/tests/glsl_golden_update.cpp)
    target_link_libraries(glsl_goldens PRIVATE zk_glsl_goldens)
  endif()
endif()
