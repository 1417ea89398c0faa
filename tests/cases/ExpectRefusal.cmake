# Runs the case runner on a file it must refuse: it has to end with a failure (not a
# crash) and give the report REPORT.
execute_process(COMMAND ${RUNNER} --limit 1 ${FILE} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc STREQUAL "1")
  message(FATAL_ERROR "expected the runner to fail with status 1, got «${rc}»\n${out}${err}")
endif()
string(FIND "${out}" "${REPORT}" at)
if(at EQUAL -1)
  message(FATAL_ERROR "expected the report «${REPORT}», got\n${out}")
endif()
