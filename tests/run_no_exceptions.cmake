# Runs the no_exceptions program and checks that it wrote its value, then
# aborted with the error's message (after the handler's line, with HANDLER)
# on standard error.
#   cmake -DPROGRAM=<binary> [-DHANDLER=ON] -P run_no_exceptions.cmake

set(expected_output "{\"present\":1}\n")
set(expected_errors "[json.exception.out_of_range.403] key 'missing' not found\n")
if(HANDLER)
    string(PREPEND expected_errors "handler saw 403\n")
endif()

execute_process(COMMAND "${PROGRAM}" RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors)

if(NOT status STREQUAL "Subprocess aborted")
    message(FATAL_ERROR "status '${status}', expected an abort\n${errors}")
endif()
if(NOT errors STREQUAL expected_errors)
    message(FATAL_ERROR "standard error differs\n--- expected\n${expected_errors}--- got\n${errors}---")
endif()
if(NOT output STREQUAL expected_output)
    message(FATAL_ERROR "standard output differs\n--- expected\n${expected_output}--- got\n${output}---")
endif()
