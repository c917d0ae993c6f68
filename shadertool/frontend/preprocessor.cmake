# Preprocessor, its directive grammar and the Shader XML reader, added to
# zk_frontend. Included from this folder's CMakeLists.txt.
find_package(BISON 3.0 REQUIRED)

set(ZK_PP_GENERATED ${CMAKE_CURRENT_BINARY_DIR}/generated/shadertool/frontend)
file(MAKE_DIRECTORY ${ZK_PP_GENERATED})

bison_target(PreprocessorGrammar
  ${CMAKE_CURRENT_SOURCE_DIR}/pp_grammar.y
  ${ZK_PP_GENERATED}/pp_grammar.cpp
  DEFINES_FILE ${ZK_PP_GENERATED}/pp_grammar.hpp
  COMPILE_FLAGS "-Wall")

target_sources(zk_frontend PRIVATE
  ${BISON_PreprocessorGrammar_OUTPUTS}
  ${CMAKE_CURRENT_SOURCE_DIR}/preprocessor.cpp)
set(ZK_PP_TESTS ${CMAKE_CURRENT_SOURCE_DIR}/tests/preprocessor_test.cpp)
# The reader needs the data model of engine/storage.
if(EXISTS ${CMAKE_SOURCE_DIR}/engine/storage/database_manager.h)
  target_sources(zk_frontend PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/shader_reader.cpp)
  list(APPEND ZK_PP_TESTS ${CMAKE_CURRENT_SOURCE_DIR}/tests/shader_reader_test.cpp)
endif()
target_include_directories(zk_frontend PUBLIC ${CMAKE_CURRENT_BINARY_DIR}/generated)
# The Shader XML reader reads through the data model and the file systems.
target_link_libraries(zk_frontend PUBLIC zk_storage)

zk_add_test(NAME preprocessor_tests SOURCES ${ZK_PP_TESTS} LIBS zk_frontend zk_storage)
