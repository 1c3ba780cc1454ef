# The module's export table, in every build: the four entry points and nothing else, and
# for the Windows DLL no import beyond the system DLLs.
add_test(NAME qxchoice.exports
  COMMAND ${CMAKE_COMMAND} -DMODULE=$<TARGET_FILE:qxchoice> -DNM=${CMAKE_NM}
          -DOBJDUMP=${CMAKE_OBJDUMP} -P ${CMAKE_CURRENT_LIST_DIR}/CheckModuleExports.cmake)

# The contract's binary interface as the game's host (Microsoft's compiler), this DLL
# (mingw-w64) and the 32-bit Linux build see it; run where the 32-bit DLL is built.
if(WIN32 AND CMAKE_SIZEOF_VOID_P EQUAL 4)
  add_test(NAME contract.abi
    COMMAND ${PROJECT_SOURCE_DIR}/tests/abi/abi-proof.sh ${PROJECT_SOURCE_DIR} ${PROJECT_BINARY_DIR}/abi)
  set_tests_properties(contract.abi PROPERTIES
    ENVIRONMENT "QX_ABI_MINGW=${CMAKE_CXX_COMPILER};QX_ABI_MINGW_OBJDUMP=${CMAKE_OBJDUMP}")
endif()

# The Windows package from this build, twice: it must come out byte for byte the same,
# with the stripped DLL's export table intact.
if(WIN32 AND CMAKE_SIZEOF_VOID_P EQUAL 4)
  add_test(NAME package.win32
    COMMAND bash -c "set -e; for run in 1 2; do ${PROJECT_SOURCE_DIR}/scripts/package --win32-from . package-\$run; done; cmp package-1/SHA256SUMS package-2/SHA256SUMS"
    WORKING_DIRECTORY ${PROJECT_BINARY_DIR})
endif()

# No exception can leave the module: in the ELF builds, nothing it imports throws.
if(NOT WIN32)
  add_test(NAME qxchoice.nothrow
    COMMAND ${CMAKE_COMMAND} -DMODULE=$<TARGET_FILE:qxchoice> -DNM=${CMAKE_NM}
            -P ${CMAKE_CURRENT_LIST_DIR}/CheckModuleThrows.cmake)
endif()
