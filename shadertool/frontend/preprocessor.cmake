# Preprocessor, its directive grammar and the Shader XML reader, added to
# zk_frontend. Included from this folder's CMakeLists.txt.
find_package(BISON 3.0 REQUIRED)

bison_target(PreprocessorGrammar
  ${CMAKE_CURRENT_SOURCE_DIR}/pp_grammar.y
  ${CMAKE_CURRENT_BINARY_DIR}/generated/shadertool/frontend/pp_grammar.cpp
  DEFINES_FILE ${CMAKE_CURRENT_BINARY_DIR}/generated/shadertool/frontend/pp_grammar.hpp
  COMPILE_FLAGS "-Wall")

target_sources(zk_frontend PRIVATE
  ${BISON_PreprocessorGrammar_OUTPUTS}
  ${CMAKE_CURRENT_SOURCE_DIR}/preprocessor.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/shader_reader.cpp)
target_include_directories(zk_frontend PUBLIC ${CMAKE_CURRENT_BINARY_DIR}/generated)

zk_add_test(NAME preprocessor_tests
  SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/tests/preprocessor_test.cpp
  LIBS zk_frontend)
