# Compiles refused_parameters.cpp with one refused case and checks that the
# compiler stops with that parameter's static_assert message.
#   cmake -DCOMPILER=<c++> -DSTANDARD=<11, 14, 17 or 20> -DINCLUDE=<dir> -DSOURCE=<file> -DCASE=<n>
#         -DMESSAGE=<text> -P refused_parameter.cmake

execute_process(COMMAND "${COMPILER}" -std=c++${STANDARD} -fsyntax-only "-I${INCLUDE}" "-DREFUSED_CASE=${CASE}" "${SOURCE}"
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors)

if(status EQUAL 0)
    message(FATAL_ERROR "case ${CASE} compiled; it should be refused with \"${MESSAGE}\"")
endif()
string(FIND "${output}${errors}" "${MESSAGE}" found)
if(found EQUAL -1)
    message(FATAL_ERROR "case ${CASE} failed without \"${MESSAGE}\":\n${errors}")
endif()
