# One step of the consumer tests, chosen by ROUTE:
#   install          install quarrow's build tree BUILD_DIR afresh into WORK_DIR/prefix
#   find_package     build the consumer project against that prefix, run it
#   add_subdirectory build the consumer project on quarrow's SOURCE_DIR, run it,
#                    install it: quarrow's files join that install only with
#                    QUARROW_INSTALL=ON
#   fetchcontent     pack SOURCE_DIR into an archive, build the consumer project
#                    that fetches it with FetchContent, run it
#   pkg-config       compile the consumer with `pkg-config --cflags quarrow` alone, run it
#   include_path     compile the consumer with `-I SOURCE_DIR/include` alone, run it
# Also needs CONSUMER_DIR, CXX, GENERATOR and VERSION. Configuring the consumer
# project must print no CMake warning.

set(prefix "${WORK_DIR}/prefix")
set(build "${WORK_DIR}/${ROUTE}")
set(expected "{\"consumed\":[1,2.5,\"x\"],\"version\":0}\n")
string(REPLACE "0}" "${VERSION_MAJOR}}" expected "${expected}")

function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
    string(REPLACE ";" " " command "${ARGN}")
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "failed (${status}): ${command}\n${output}")
    endif()
    set(command "${command}" PARENT_SCOPE)
    set(output "${output}" PARENT_SCOPE)
endfunction()

# Configures the consumer project in `build` and builds it; a warning fails.
function(build_consumer)
    run("${CMAKE_COMMAND}" -S "${CONSUMER_DIR}" -B "${build}" ${ARGN})
    if(output MATCHES "CMake (Deprecation )?Warning")
        message(FATAL_ERROR "warned: ${command}\n${output}")
    endif()
    run("${CMAKE_COMMAND}" --build "${build}")
endfunction()

# The files under `folder`, relative to it.
function(files_under folder result)
    file(GLOB_RECURSE files RELATIVE "${folder}" "${folder}/*")
    list(SORT files)
    set(${result} "${files}" PARENT_SCOPE)
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
elseif(ROUTE STREQUAL "find_package" OR ROUTE STREQUAL "add_subdirectory" OR ROUTE STREQUAL "fetchcontent")
    set(archive "${WORK_DIR}/quarrow.tar")
    set(archive_hash "")
    if(ROUTE STREQUAL "fetchcontent")
        # The sources as a release archive would hold them: no version control
        # folder and no build tree, wherever the build trees are.
        file(GLOB entries RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*")
        set(packed "")
        foreach(entry ${entries})
            string(FIND "${BUILD_DIR}/" "${SOURCE_DIR}/${entry}/" build_inside)
            if(NOT entry MATCHES "^[.]" AND NOT build_inside EQUAL 0 AND NOT EXISTS "${SOURCE_DIR}/${entry}/CMakeCache.txt")
                list(APPEND packed "${entry}")
            endif()
        endforeach()
        file(REMOVE "${archive}")
        execute_process(COMMAND "${CMAKE_COMMAND}" -E tar cf "${archive}" -- ${packed}
                        WORKING_DIRECTORY "${SOURCE_DIR}" RESULT_VARIABLE status)
        if(NOT status EQUAL 0)
            message(FATAL_ERROR "could not pack ${SOURCE_DIR} into ${archive}")
        endif()
        file(SHA256 "${archive}" archive_hash)
    endif()
    build_consumer(-G "${GENERATOR}"
        "-DCMAKE_CXX_COMPILER=${CXX}" "-DCMAKE_PREFIX_PATH=${prefix}" "-DQUARROW_ROUTE=${ROUTE}"
        "-DQUARROW_SOURCE_DIR=${SOURCE_DIR}" "-DQUARROW_EXPECTED_VERSION=${VERSION}"
        "-DQUARROW_ARCHIVE=${archive}" "-DQUARROW_ARCHIVE_SHA256=${archive_hash}")
    expect_consumer_output("${build}/consumer")
    if(ROUTE STREQUAL "add_subdirectory")
        # The including project installs its program, and quarrow's files only when it asks.
        set(parent_prefix "${build}/installed")
        run("${CMAKE_COMMAND}" --install "${build}" --prefix "${parent_prefix}")
        files_under("${parent_prefix}" installed)
        if(NOT installed STREQUAL "bin/consumer")
            message(FATAL_ERROR "the including project installed ${installed}, not bin/consumer alone")
        endif()
        build_consumer(-DQUARROW_INSTALL=ON)
        run("${CMAKE_COMMAND}" --install "${build}" --prefix "${parent_prefix}")
        files_under("${parent_prefix}" installed)
        foreach(file include/quarrow/json.hpp share/cmake/quarrow/quarrowConfig.cmake share/pkgconfig/quarrow.pc)
            list(FIND installed "${file}" found)
            if(found EQUAL -1)
                message(FATAL_ERROR "with QUARROW_INSTALL=ON, ${file} is missing from ${installed}")
            endif()
        endforeach()
    endif()
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
    # The licence is where the .pc file says, and it is the MIT licence.
    execute_process(COMMAND pkg-config --variable=license_file quarrow OUTPUT_VARIABLE license_file
                    OUTPUT_STRIP_TRAILING_WHITESPACE)
    execute_process(COMMAND pkg-config --variable=license quarrow OUTPUT_VARIABLE license
                    OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(EXISTS "${license_file}")
        file(STRINGS "${license_file}" license_title LIMIT_COUNT 1)
    endif()
    if(NOT license STREQUAL "MIT" OR NOT license_title STREQUAL "MIT License")
        message(FATAL_ERROR "pkg-config gives license '${license}' and license_file '${license_file}'")
    endif()
elseif(ROUTE STREQUAL "include_path")
    # A checkout used as it is: no build step, no flag but the include path.
    file(MAKE_DIRECTORY "${build}")
    run("${CXX}" -I "${SOURCE_DIR}/include" "${CONSUMER_DIR}/main.cpp" -o "${build}/consumer")
    expect_consumer_output("${build}/consumer")
else()
    message(FATAL_ERROR "unknown ROUTE ${ROUTE}")
endif()
