# Run by the test fuzz_instrumentation: fails when a fuzz target takes in
# code of the project that carries no coverage instrumentation, which
# libFuzzer would run blind. MAPS are the linker's maps of the fuzz targets
# (comma-separated); every archive member a map names from an archive under
# BUILD_DIR, the project's own libraries, must call the sanitizer-coverage
# hooks if it holds any code.
#
#   cmake -DNM=nm -DBUILD_DIR=build-fuzz -DMAPS=a.map,b.map -P check_fuzz_instrumentation.cmake
cmake_policy(VERSION 3.25)
string(REPLACE "," ";" maps "${MAPS}")
file(REAL_PATH "${BUILD_DIR}" build_dir)

# Sets members_<archive> to the archive's members that hold code and
# instrumented_<archive> to those that call the coverage hooks, from nm's
# "archive:member:value type name" lines. Text symbols (T, t, W) are code,
# but for the module constructors a sanitizer adds to every object;
# an instrumented member refers to __sanitizer_cov_* and the __sancov_*
# sections' bounds.
function(read_archive archive)
  execute_process(COMMAND ${NM} -A ${archive}
    OUTPUT_VARIABLE symbols ERROR_VARIABLE errors RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${NM} could not read ${archive}: ${errors}")
  endif()
  string(LENGTH "${archive}:" prefix)
  string(REPLACE "\n" ";" lines "${symbols}")
  set(code_names "")
  set(hook_names "")
  foreach(line IN LISTS lines)
    if(line MATCHES " [TtW] [a-z]+\\.module_(ctor|dtor)[^ ]*$")
      continue()  # a sanitizer's own set-up, made even in an object of data
    elseif(line MATCHES " [TtW] [^ ]+$")
      set(kind code)
    elseif(line MATCHES " [a-zA-Z] (__sanitizer_cov_|__start___sancov_)[^ ]*$")
      set(kind hook)
    else()
      continue()
    endif()
    string(SUBSTRING "${line}" ${prefix} -1 rest)
    string(FIND "${rest}" ":" end)
    string(SUBSTRING "${rest}" 0 ${end} member)
    list(APPEND ${kind}_names ${member})
  endforeach()
  list(REMOVE_DUPLICATES code_names)
  list(REMOVE_DUPLICATES hook_names)
  set(members_${archive} ${code_names} PARENT_SCOPE)
  set(instrumented_${archive} ${hook_names} PARENT_SCOPE)
  set(read_${archive} TRUE PARENT_SCOPE)
endfunction()

set(failures 0)
foreach(map IN LISTS maps)
  get_filename_component(target ${map} NAME_WE)
  if(NOT EXISTS ${map})
    message(SEND_ERROR "${target}: no linker map at ${map}; build the fuzz targets first")
    math(EXPR failures "${failures} + 1")
    continue()
  endif()
  file(READ ${map} text)
  get_filename_component(map_dir ${map} DIRECTORY)
  # "path/libname.a(member.o)", in the list of members taken in and again
  # beside each section placed.
  string(REGEX MATCHALL "[^ \t\n()]+\\.a\\([^)\n]+\\)" taken "${text}")
  list(REMOVE_DUPLICATES taken)
  set(checked 0)
  set(blind_libraries "")
  foreach(entry IN LISTS taken)
    string(REGEX REPLACE "^(.*)\\(([^)]+)\\)$" "\\1" archive "${entry}")
    set(relative ${archive})
    string(REGEX REPLACE "^(.*)\\(([^)]+)\\)$" "\\2" member "${entry}")
    # A relative path is from where the link ran: the target's own folder
    # under some generators, the top of the build under others.
    file(REAL_PATH "${archive}" archive BASE_DIRECTORY ${map_dir})
    if(NOT EXISTS ${archive})
      file(REAL_PATH "${relative}" archive BASE_DIRECTORY ${build_dir})
    endif()
    string(FIND "${archive}" "${build_dir}/" at)
    if(NOT at EQUAL 0)
      continue()  # a system library or the compiler's run-time
    endif()
    if(NOT read_${archive})
      read_archive(${archive})
    endif()
    if(NOT member IN_LIST members_${archive})
      continue()  # data alone, no code to cover
    endif()
    math(EXPR checked "${checked} + 1")
    if(NOT member IN_LIST instrumented_${archive})
      get_filename_component(library ${archive} NAME)
      message(SEND_ERROR "${target} links ${library}(${member}), which is built without coverage instrumentation")
      list(APPEND blind_libraries ${library})
    endif()
  endforeach()
  if(checked EQUAL 0)
    message(SEND_ERROR "${target}: its map ${map} names no code from the project's libraries")
    math(EXPR failures "${failures} + 1")
  endif()
  if(blind_libraries)
    list(REMOVE_DUPLICATES blind_libraries)
    string(REPLACE ";" ", " blind_libraries "${blind_libraries}")
    message(SEND_ERROR "${target} runs code without coverage feedback from: ${blind_libraries}")
    math(EXPR failures "${failures} + 1")
  else()
    message(STATUS "${target}: ${checked} objects of the project's libraries, all instrumented")
  endif()
endforeach()
if(failures GREATER 0)
  message(FATAL_ERROR "${failures} fuzz target(s) take in code without coverage instrumentation")
endif()
