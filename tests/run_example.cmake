# Runs one example program and checks its whole behaviour: standard output
# byte for byte against the expected file, an empty standard error, status 0.
#   cmake -DPROGRAM=<binary> -DEXPECTED=<file> [-DVALGRIND=<valgrind>] -P run_example.cmake
# With VALGRIND the program runs under memcheck, and any error or leak makes
# it write to standard error and exit with a status other than 0.

set(command "${PROGRAM}")
if(VALGRIND)
    set(command "${VALGRIND}" --quiet --error-exitcode=99 --leak-check=full
                --show-leak-kinds=all --errors-for-leak-kinds=all "${PROGRAM}")
endif()

execute_process(COMMAND ${command}
                RESULT_VARIABLE status
                OUTPUT_VARIABLE output
                ERROR_VARIABLE errors)
file(READ "${EXPECTED}" expected)

if(NOT status STREQUAL "0")
    message(FATAL_ERROR "exit status ${status}, expected 0\n${errors}")
endif()
if(NOT errors STREQUAL "")
    message(FATAL_ERROR "standard error is not empty:\n${errors}")
endif()
if(NOT output STREQUAL expected)
    message(FATAL_ERROR "standard output differs\n--- expected\n${expected}--- got\n${output}---")
endif()
