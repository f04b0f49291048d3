# Every program answers --help with its usage on standard output and exit code 0, and
# writes nothing else (no file named --help). Expects PROGRAMS (separated by "|") and
# WORK_DIR.
string(REPLACE "|" ";" PROGRAMS "${PROGRAMS}")
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
foreach(program ${PROGRAMS})
    execute_process(COMMAND ${program} --help WORKING_DIRECTORY ${WORK_DIR}
                    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT status EQUAL 0 OR NOT out MATCHES "^usage: ")
        message(FATAL_ERROR "${program} --help ended with ${status}, printing:\n${out}${err}")
    endif()
    file(GLOB written ${WORK_DIR}/*)
    if(written)
        message(FATAL_ERROR "${program} --help wrote ${written}")
    endif()
endforeach()
file(REMOVE_RECURSE ${WORK_DIR})
