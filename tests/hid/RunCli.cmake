# Runs vx27ctl with ARGS (a ;-list) and compares its standard output with the
# file EXPECTED, line for line.
execute_process(COMMAND ${CTL} ${ARGS}
  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc TIMEOUT 30)
file(READ ${EXPECTED} want)
if(NOT rc EQUAL 0 OR NOT out STREQUAL want)
  message(FATAL_ERROR "vx27ctl ${ARGS} (exit ${rc})\n--- got\n${out}--- want\n${want}--- stderr\n${err}")
endif()
