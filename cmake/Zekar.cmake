# zk_add_test(NAME name SOURCES a.cpp b.cpp LIBS zk_runtime ... [TIMEOUT seconds])
# One GoogleTest executable; its cases are registered with CTest one by one
# and run from the project root, so fixtures are found as "tests/data/...".
# TIMEOUT bounds each case (inputs sized so that unbounded work cannot end).
function(zk_add_test)
  cmake_parse_arguments(T "" "NAME;TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(NOT ZK_BUILD_TESTS)
    return()
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main Threads::Threads)
  set(timeout)
  if(T_TIMEOUT)
    set(timeout TIMEOUT ${T_TIMEOUT})
  endif()
  gtest_discover_tests(${T_NAME}
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "ZK_SOURCE_DIR=${CMAKE_SOURCE_DIR};ZK_BINARY_DIR=${CMAKE_BINARY_DIR}" ${timeout})
endfunction()

find_package(Threads REQUIRED)
