# The HLSL-family translators, part of zk_translate.
target_sources(zk_translate PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/hlsl_tables.cpp
  ${CMAKE_CURRENT_LIST_DIR}/hlsl_translator.cpp
  ${CMAKE_CURRENT_LIST_DIR}/hlsl_declarations.cpp
  ${CMAKE_CURRENT_LIST_DIR}/hlsl_hlsl11_translator.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pssl_translator.cpp)

zk_add_test(NAME hlsl_snippet_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/tests/hlsl_snippet_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/hlsl_glslang.cpp
  LIBS zk_translate)
