# samplegen refuses arguments it cannot use: exit code 2, a message on stderr that names the
# fault, and nothing written. Expects SAMPLEGEN and WORK_DIR.
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
# Each case: the arguments (separated by ",") and the text stderr must hold.
set(Cases
    "--postgres,--mariadb,sample.db|choose one of --postgres or --mariadb"
    "--mariadb,--postgres,sample.db|choose one of --postgres or --mariadb"
    "--mariadb,--mariadb,sample.db|choose one of --postgres or --mariadb"
    "--customers,many,sample.db|bad argument many"
    "--seed,sample.db|bad argument sample.db"
    "sample.db,--seed|bad argument --seed"
    "--unknown,sample.db|bad argument --unknown"
    "sample.db,other.db|bad argument other.db"
    "--force|usage: samplegen")
foreach(Case ${Cases})
    string(REPLACE "|" ";" Parts "${Case}")
    list(GET Parts 0 Arguments)
    list(GET Parts 1 Expected)
    string(REPLACE "," ";" Arguments "${Arguments}")
    execute_process(COMMAND "${SAMPLEGEN}" ${Arguments} WORKING_DIRECTORY "${WORK_DIR}"
                    RESULT_VARIABLE Result OUTPUT_VARIABLE Output ERROR_VARIABLE Errors
                    TIMEOUT 30)
    if(NOT Result EQUAL 2)
        message(FATAL_ERROR "samplegen ${Arguments} ended with ${Result}:\n${Output}${Errors}")
    endif()
    string(FIND "${Errors}" "${Expected}" Found)
    if(Found EQUAL -1)
        message(FATAL_ERROR "samplegen ${Arguments} did not say \"${Expected}\":\n${Errors}")
    endif()
    file(GLOB Written "${WORK_DIR}/*")
    if(Written)
        message(FATAL_ERROR "samplegen ${Arguments} wrote ${Written}")
    endif()
endforeach()
file(REMOVE_RECURSE "${WORK_DIR}")
