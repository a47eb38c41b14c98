# Regenerates the code-page table in check mode; exit code 77 (skipped) when
# the data file is not there.
if(NOT EXISTS "${DATA}")
  message("skipped: ${DATA} not found")
  cmake_language(EXIT 77)
endif()
execute_process(COMMAND "${PYTHON}" "${GENERATOR}" --check "${DATA}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "the generated table does not match ${DATA}")
endif()
