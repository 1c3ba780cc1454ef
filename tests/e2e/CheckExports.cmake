# Checks that a module's dynamic symbol table defines exactly the four entry points.
# Usage: cmake -DNM=<nm> -DMODULE=<file> -P CheckExports.cmake. A module that is not ELF
# (a Windows build) prints "skipped:" and its export table is checked elsewhere.
file(READ "${MODULE}" magic LIMIT 4 HEX)
if(NOT magic STREQUAL "7f454c46")
  message("skipped: ${MODULE} is not an ELF file")
  return()
endif()
execute_process(COMMAND "${NM}" -D --defined-only "${MODULE}"
  OUTPUT_VARIABLE listing RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${NM} failed on ${MODULE}")
endif()
string(REGEX MATCHALL "[^\n]+" lines "${listing}")
set(names)
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^.* " "" name "${line}")
  list(APPEND names "${name}")
endforeach()
list(SORT names)
if(NOT names STREQUAL "DllMain;dependencies;init;release")
  message(FATAL_ERROR "${MODULE} exports [${names}], expected exactly DllMain, dependencies, init, release")
endif()
message("exports: ${names}")
