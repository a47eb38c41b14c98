# cmake -DEMULATOR=... -DDUMP=record_dump.exe -DPLUGIN=... -DFOLDER=...
#       -DREFERENCE=linux.txt -P compare_records.cmake
# Runs record_dump.exe under the emulator and requires the very lines the
# Linux build printed for the same files.
execute_process(COMMAND ${EMULATOR} ${DUMP} ${PLUGIN} ${FOLDER}
  OUTPUT_VARIABLE windows_lines RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "record_dump.exe failed (${status}):\n${windows_lines}")
endif()
string(REPLACE "\r\n" "\n" windows_lines "${windows_lines}")
file(READ ${REFERENCE} linux_lines)
if(NOT windows_lines STREQUAL linux_lines)
  message(FATAL_ERROR "The Windows build read the files differently.\n"
    "Linux:\n${linux_lines}\nWindows:\n${windows_lines}")
endif()
message(STATUS "identical records:\n${windows_lines}")
