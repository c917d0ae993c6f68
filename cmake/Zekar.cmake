# zk_add_test(NAME name SOURCES a.cpp b.cpp LIBS zk_runtime ... [TIMEOUT seconds] [TWICE])
# One GoogleTest executable; its cases are registered with CTest one by one
# and run from the project root, so fixtures are found as "tests/data/...".
# TIMEOUT bounds each case (inputs sized so that unbounded work cannot end).
# TWICE also runs the whole program twice in one process (name_twice): the
# engine is then set up again over what every earlier case left, which
# shows pointers kept across a reset and records a case fails to give back
# (the sanitizer build reports them).
function(zk_add_test)
  cmake_parse_arguments(T "TWICE" "NAME;TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(NOT ZK_BUILD_TESTS)
    return()
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main Threads::Threads)
  set(timeout)
  if(T_TIMEOUT)
    set(timeout TIMEOUT ${T_TIMEOUT})
  endif()
  # The discovered cases' properties are one flat list, in which a value
  # holding two entries comes apart: each variable goes in a property of
  # its own (ENVIRONMENT one, ENVIRONMENT_MODIFICATION the other).
  gtest_discover_tests(${T_NAME}
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES ${timeout} ENVIRONMENT "ZK_SOURCE_DIR=${CMAKE_SOURCE_DIR}"
      ENVIRONMENT_MODIFICATION "ZK_BINARY_DIR=set:${CMAKE_BINARY_DIR}")
  if(T_TWICE)
    add_test(NAME ${T_NAME}_twice COMMAND ${T_NAME} --gtest_repeat=2 WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
    set_tests_properties(${T_NAME}_twice PROPERTIES LABELS twice TIMEOUT 600
      ENVIRONMENT "ZK_SOURCE_DIR=${CMAKE_SOURCE_DIR};ZK_BINARY_DIR=${CMAKE_BINARY_DIR}")
  endif()
endfunction()

find_package(Threads REQUIRED)
