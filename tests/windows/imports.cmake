# cmake -DOBJDUMP=... -DLIBRARY=... -P imports.cmake: the DLL ships alone,
# importing from KERNEL32 and msvcrt and nothing else.
execute_process(COMMAND ${OBJDUMP} -p ${LIBRARY} OUTPUT_VARIABLE dump RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${LIBRARY} failed")
endif()
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
list(TRANSFORM imports REPLACE "DLL Name: " "")
list(TRANSFORM imports TOUPPER)
list(SORT imports)
if(NOT imports STREQUAL "KERNEL32.DLL;MSVCRT.DLL")
  message(FATAL_ERROR "${LIBRARY} imports ${imports}, not KERNEL32.DLL and MSVCRT.DLL alone")
endif()
