# One step of the consumer tests, chosen by ROUTE:
#   install         install quarrow's build tree BUILD_DIR afresh into WORK_DIR/prefix
#   find_package    build the consumer project against that prefix, run it
#   add_subdirectory build the consumer project on quarrow's SOURCE_DIR, run it
#   pkg-config      compile the consumer with `pkg-config --cflags quarrow` alone, run it
# Also needs CONSUMER_DIR, CXX, GENERATOR and VERSION.

set(prefix "${WORK_DIR}/prefix")
set(build "${WORK_DIR}/${ROUTE}")
set(expected "{\"consumed\":[1,2.5,\"x\"],\"version\":0}\n")
string(REPLACE "0}" "${VERSION_MAJOR}}" expected "${expected}")

function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT status EQUAL 0)
        string(REPLACE ";" " " command "${ARGN}")
        message(FATAL_ERROR "failed (${status}): ${command}\n${output}")
    endif()
endfunction()

function(expect_consumer_output program)
    execute_process(COMMAND "${program}" RESULT_VARIABLE status OUTPUT_VARIABLE output)
    if(NOT status EQUAL 0 OR NOT output STREQUAL expected)
        message(FATAL_ERROR "consumer wrote (status ${status}):\n${output}expected:\n${expected}")
    endif()
endfunction()

file(REMOVE_RECURSE "${build}")
if(ROUTE STREQUAL "install")
    file(REMOVE_RECURSE "${prefix}")
    run("${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${prefix}")
elseif(ROUTE STREQUAL "find_package" OR ROUTE STREQUAL "add_subdirectory")
    run("${CMAKE_COMMAND}" -S "${CONSUMER_DIR}" -B "${build}" -G "${GENERATOR}"
        "-DCMAKE_CXX_COMPILER=${CXX}" "-DCMAKE_PREFIX_PATH=${prefix}" "-DQUARROW_ROUTE=${ROUTE}"
        "-DQUARROW_SOURCE_DIR=${SOURCE_DIR}" "-DQUARROW_EXPECTED_VERSION=${VERSION}")
    run("${CMAKE_COMMAND}" --build "${build}")
    expect_consumer_output("${build}/consumer")
elseif(ROUTE STREQUAL "pkg-config")
    set(ENV{PKG_CONFIG_PATH} "${prefix}/share/pkgconfig")
    execute_process(COMMAND pkg-config --cflags quarrow RESULT_VARIABLE status OUTPUT_VARIABLE flags
                    OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "pkg-config does not know quarrow")
    endif()
    separate_arguments(flags UNIX_COMMAND "${flags}")
    file(MAKE_DIRECTORY "${build}")
    run("${CXX}" -std=c++11 ${flags} "${CONSUMER_DIR}/main.cpp" -o "${build}/consumer")
    expect_consumer_output("${build}/consumer")
else()
    message(FATAL_ERROR "unknown ROUTE ${ROUTE}")
endif()
