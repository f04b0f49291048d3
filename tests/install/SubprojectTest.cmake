# Configures a project that adds this repository with add_subdirectory and asks for the
# build steps of its program: they must be the libraries it links and the program, and
# none of the repository's tests, programs or examples. Expects SOURCE_DIR, PROJECT_SOURCE,
# WORK_DIR, GENERATOR and CXX_COMPILER.
file(REMOVE_RECURSE ${WORK_DIR})
execute_process(COMMAND ${CMAKE_COMMAND} -S ${PROJECT_SOURCE} -B ${WORK_DIR} -G ${GENERATOR}
                        -DCMAKE_CXX_COMPILER=${CXX_COMPILER} -DVORN_SOURCE_DIR=${SOURCE_DIR}
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "Configuring the project failed:\n${output}")
endif()
foreach(target consumer all)
    execute_process(COMMAND ${CMAKE_COMMAND} --build ${WORK_DIR} --target ${target} -- -n
                    RESULT_VARIABLE status OUTPUT_VARIABLE plan ERROR_VARIABLE plan)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "Planning the build of ${target} failed:\n${plan}")
    endif()
    string(REGEX MATCHALL "\n\\[[0-9]+/[0-9]+\\] [^\n]*" steps "\n${plan}")
    list(LENGTH steps count)
    foreach(step ${steps})
        if(step MATCHES "(tests|apps|examples|bench)/|gtest")
            message(FATAL_ERROR "Building ${target} would build${step}")
        endif()
    endforeach()
    message(STATUS "Building ${target} takes ${count} steps")
endforeach()
file(REMOVE_RECURSE ${WORK_DIR})
