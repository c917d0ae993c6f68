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
  ${CMAKE_CURRENT_SOURCE_DIR}/preprocessor.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/shader_reader.cpp)
target_include_directories(zk_frontend PUBLIC ${CMAKE_CURRENT_BINARY_DIR}/generated)
# The Shader XML reader reads through the data model and the file systems.
target_link_libraries(zk_frontend PUBLIC zk_storage)

zk_add_test(NAME preprocessor_tests
  SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/tests/preprocessor_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/tests/shader_reader_test.cpp
  LIBS zk_frontend zk_storage)

# Reader, preprocessor and parser together over a folder of Shader XMLs.
if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/parser.h)
  zk_add_test(NAME shader_pipeline_tests
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/tests/shader_pipeline_test.cpp
    LIBS zk_frontend zk_storage)
endif()

# Inputs made to exhaust the front end. Each case is sized so that work
# without a bound could not finish within the time bound set here.
if(ZK_BUILD_TESTS)
  add_executable(hostile_input_tests ${CMAKE_CURRENT_SOURCE_DIR}/tests/hostile_input_test.cpp)
  target_link_libraries(hostile_input_tests PRIVATE zk_frontend zk_storage GTest::gtest GTest::gtest_main
                        Threads::Threads)
  gtest_discover_tests(hostile_input_tests
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES TIMEOUT 60)
endif()
