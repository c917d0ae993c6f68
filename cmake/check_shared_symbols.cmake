# Run by the test manifester_engine_symbols: fails when a library of FIRST
# and a library of SECOND (comma-separated archive paths) define the same
# global symbol, weak ones included. A program that links both sides gets
# one definition of such a name: two strong ones from archives stop the link
# only when both objects are needed, and a weak pair (an inline function, a
# vtable, a template instance) is always merged without a word; one side
# then runs the other side's code.
#
#   cmake -DNM=nm -DFIRST=a.a,b.a -DSECOND=c.a -P check_shared_symbols.cmake
string(REPLACE "," ";" first "${FIRST}")
string(REPLACE "," ";" second "${SECOND}")

# Left out, as the same everywhere: names the compiler makes in every
# object that needs them (the hidden reference to the C++ runtime's
# exception personality, clang's terminate helper, and the type information
# of function types, _ZTI/_ZTS F...E, that clang's sanitizer check of calls
# through pointers makes), and the standard library's own names (a mangled
# name whose outermost name is in std, or one of its abbreviations: Sa
# allocator, Sb basic_string, Ss string, Si istream, So ostream, Sd
# iostream), instances of its templates made from the same headers on both
# sides. Project types in their template arguments still show in the
# project's own functions that take them.
set(left_out "^(DW\\.ref\\..*|__clang_call_terminate|_ZT[IS]F.*|_Z(T[VIS]|GV)?N?[rVKRO]*S[tabsiod].*)$")

# Sets symbol_<name> to the archive's file name for every global symbol the
# archive defines: nm's types in capitals (U, undefined, aside) and u, a
# unique global.
function(read_definitions archive prefix)
  execute_process(COMMAND ${NM} -P --defined-only ${archive}
    OUTPUT_VARIABLE listing ERROR_VARIABLE errors RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${NM} cannot read ${archive}: ${errors}")
  endif()
  get_filename_component(file ${archive} NAME)
  string(REGEX MATCHALL "[^\n]+" lines "${listing}")
  set(names "")
  foreach(line IN LISTS lines)
    if(line MATCHES "^([^ ]+) [A-TV-Zu] ")
      set(name ${CMAKE_MATCH_1})
      if(NOT name MATCHES "${left_out}")
        set(${prefix}_${name} ${file} PARENT_SCOPE)
        list(APPEND names ${name})
      endif()
    endif()
  endforeach()
  set(${prefix}_names ${names} PARENT_SCOPE)
endfunction()

foreach(archive IN LISTS first)
  read_definitions(${archive} first)
  list(APPEND first_all ${first_names})
endforeach()
list(LENGTH first_all first_count)
if(first_count EQUAL 0)
  message(FATAL_ERROR "no global symbol found in ${FIRST}: is ${NM} the right tool?")
endif()

set(shared "")
foreach(archive IN LISTS second)
  read_definitions(${archive} second)
  get_filename_component(file ${archive} NAME)
  foreach(name IN LISTS second_names)
    if(DEFINED first_${name})
      list(APPEND shared "${name} (${first_${name}} and ${file})")
    endif()
  endforeach()
endforeach()

if(shared)
  list(REMOVE_DUPLICATES shared)
  list(LENGTH shared count)
  string(REPLACE ";" "\n" shared "${shared}")
  find_program(demangler c++filt)
  if(demangler)
    execute_process(COMMAND ${CMAKE_COMMAND} -E echo "${shared}" COMMAND ${demangler}
      OUTPUT_VARIABLE shared)
  endif()
  message(FATAL_ERROR "${count} global symbols are defined on both sides:\n${shared}")
endif()
