# The ZKSL parser: the grammar goes through Bison at build time (the generated
# files are build output), and the parser's sources join zk_frontend.
find_package(BISON 3.0 REQUIRED)

bison_target(zksl_grammar
  ${CMAKE_CURRENT_LIST_DIR}/grammar.y
  ${CMAKE_CURRENT_BINARY_DIR}/grammar.cpp
  DEFINES_FILE ${CMAKE_CURRENT_BINARY_DIR}/grammar.h
  COMPILE_FLAGS "-Wall -Werror")

target_sources(zk_frontend PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/parser.cpp
  ${BISON_zksl_grammar_OUTPUTS})

zk_add_test(NAME parser_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/parser_test.cpp
  LIBS zk_frontend)
