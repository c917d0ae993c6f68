# The front end's tables and semantic checks, added to zk_frontend. Included
# by the front end's CMakeLists, or else by the built-in tables' folder; the
# guard keeps a second inclusion from adding anything twice.
get_property(zk_frontend_tables_added GLOBAL PROPERTY ZK_FRONTEND_TABLES_ADDED)
if(NOT zk_frontend_tables_added AND TARGET zk_frontend)
  set_property(GLOBAL PROPERTY ZK_FRONTEND_TABLES_ADDED TRUE)
  set(zk_tables_dir ${CMAKE_CURRENT_LIST_DIR})
  target_sources(zk_frontend PRIVATE
    ${zk_tables_dir}/builtin_functions.cpp
    ${zk_tables_dir}/operator_table.cpp
    ${zk_tables_dir}/symbol_table.cpp
    ${zk_tables_dir}/semantics_symbols.cpp
    ${zk_tables_dir}/semantics_expressions.cpp
    ${zk_tables_dir}/semantics_statements.cpp)
  # zk_builtins is the data of the two tables; it may be defined later.
  target_link_libraries(zk_frontend PUBLIC zk_builtins)
  zk_add_test(NAME frontend_semantics_tests
    SOURCES ${zk_tables_dir}/tests/semantics_test.cpp
    LIBS zk_frontend)
endif()
