# Sources of the start-up work kept in engine/storage: the package lists
# and the program settings. The storage
# CMakeLists includes this file and adds ZK_STORAGE_STARTUP_SOURCES to
# zk_storage.
set(ZK_STORAGE_STARTUP_SOURCES
  ${CMAKE_SOURCE_DIR}/engine/storage/packages.cpp
  ${CMAKE_SOURCE_DIR}/engine/storage/settings.cpp)
if(TARGET zk_storage)
  target_sources(zk_storage PRIVATE ${ZK_STORAGE_STARTUP_SOURCES})
endif()
