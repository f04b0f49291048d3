# Configures a project that adds this repository with add_subdirectory and lists the
# commands that build its program and everything: they are the libraries and the
# program, none of the repository's tests, programs or examples. Expects SOURCE_DIR,
# PROJECT_SOURCE, WORK_DIR, GENERATOR, MAKE_PROGRAM (Ninja) and CXX_COMPILER.
file(REMOVE_RECURSE ${WORK_DIR})
execute_process(COMMAND ${CMAKE_COMMAND} -S ${PROJECT_SOURCE} -B ${WORK_DIR} -G ${GENERATOR}
                        -DCMAKE_CXX_COMPILER=${CXX_COMPILER} -DVORN_SOURCE_DIR=${SOURCE_DIR}
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "Configuring the project failed:\n${output}")
endif()
foreach(target consumer all)
    execute_process(COMMAND ${MAKE_PROGRAM} -C ${WORK_DIR} -t commands ${target}
                    RESULT_VARIABLE status OUTPUT_VARIABLE commands ERROR_VARIABLE errors)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "Listing the commands of ${target} failed:\n${errors}")
    endif()
    string(REGEX MATCHALL "[^\n]+" steps "${commands}")
    list(LENGTH steps count)
    foreach(step ${steps})
        # The repository's own build outputs lie under the subproject's folder "vorn".
        if(step MATCHES " vorn/(tests|apps|examples|bench)/|gtest|GTest")
            message(FATAL_ERROR "Building ${target} would run ${step}")
        endif()
    endforeach()
    if(NOT commands MATCHES "libVornData")
        message(FATAL_ERROR "Building ${target} does not build VornData:\n${commands}")
    endif()
    message(STATUS "Building ${target} takes ${count} commands")
endforeach()
file(REMOVE_RECURSE ${WORK_DIR})
