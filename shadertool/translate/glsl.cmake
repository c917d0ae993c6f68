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
