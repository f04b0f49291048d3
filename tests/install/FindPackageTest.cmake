# Installs the build into a fresh prefix, then configures, builds and runs a small
# application in a folder outside the source tree that finds the library with
# find_package(VornData). Expects VORN_BUILD_DIR, CONSUMER_SOURCE, WORK_DIR, GENERATOR,
# CXX_COMPILER and CXX_FLAGS.
function(run_step title)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE output
                    ERROR_VARIABLE output)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${title} failed (${status}):\n${output}")
    endif()
    set(step_output "${output}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
file(COPY ${CONSUMER_SOURCE}/ DESTINATION ${WORK_DIR}/source)

run_step("Install" ${CMAKE_COMMAND} --install ${VORN_BUILD_DIR} --prefix ${WORK_DIR}/prefix)
run_step("Configure" ${CMAKE_COMMAND} -S ${WORK_DIR}/source -B ${WORK_DIR}/build
         -G ${GENERATOR} -DCMAKE_CXX_COMPILER=${CXX_COMPILER} "-DCMAKE_CXX_FLAGS=${CXX_FLAGS}"
         -DCMAKE_PREFIX_PATH=${WORK_DIR}/prefix)
run_step("Build" ${CMAKE_COMMAND} --build ${WORK_DIR}/build)
run_step("Run" ${WORK_DIR}/build/consumer)

set(expected "VornData 1.0.2 TDBGridTitleSort %t (%i) with palette image\n")
if(NOT step_output STREQUAL expected)
    message(FATAL_ERROR "The application printed:\n${step_output}\nexpected:\n${expected}")
endif()
file(REMOVE_RECURSE ${WORK_DIR})
message(STATUS "The installed VornData was found, linked and run")
