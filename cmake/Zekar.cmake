# zk_add_test(NAME name SOURCES a.cpp b.cpp LIBS zk_runtime ...)
# One GoogleTest executable; its cases are registered with CTest one by one
# and run from the project root, so fixtures are found as "tests/data/...".
function(zk_add_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
  if(NOT ZK_BUILD_TESTS)
    return()
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main Threads::Threads)
  gtest_discover_tests(${T_NAME}
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "ZK_SOURCE_DIR=${CMAKE_SOURCE_DIR};ZK_BINARY_DIR=${CMAKE_BINARY_DIR}")
endfunction()

find_package(Threads REQUIRED)
