# The module's export table, in every build: the four entry points and nothing else, and
# for the Windows DLL no import beyond the system DLLs.
add_test(NAME qxchoice.exports
  COMMAND ${CMAKE_COMMAND} -DMODULE=$<TARGET_FILE:qxchoice> -DNM=${CMAKE_NM}
          -DOBJDUMP=${CMAKE_OBJDUMP} -P ${CMAKE_CURRENT_LIST_DIR}/CheckModuleExports.cmake)
