# Checks that nothing in an ELF module can throw: it imports no throwing operator new, no
# exception-raising helper of the C++ library (whose containers and strings would need
# them) and no throw of its own. Allocation failures must come back as null instead.
# Usage: cmake -DMODULE=<file> -DNM=<nm> -P CheckModuleThrows.cmake
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND "${NM}" -D --undefined-only "${MODULE}"
  OUTPUT_VARIABLE listing RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${NM} failed on ${MODULE}")
endif()
string(REGEX MATCHALL "[^\n]+" lines "${listing}")
set(found)
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^.* " "" name "${line}")
  string(REGEX REPLACE "@.*$" "" name "${name}")
  # operator new and new[] without std::nothrow (size_t is m or j), __cxa_throw and its
  # allocation, std::__throw_* and the out-of-line members of std::string.
  if(name MATCHES "^_Zn[wa][mj]$" OR name MATCHES "^__cxa_(throw|allocate_exception|rethrow)$"
     OR name MATCHES "^_ZSt[0-9]+__throw_" OR name MATCHES "basic_string")
    list(APPEND found "${name}")
  endif()
endforeach()
if(found)
  message(FATAL_ERROR "${MODULE} imports what may throw: ${found}")
endif()
message("${MODULE}: no throwing import")
