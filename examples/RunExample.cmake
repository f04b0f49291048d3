# Runs one example and checks that it ends well and prints what it is meant to print; with
# SCREENSHOT, also that it wrote a PNG picture there. Expects PROGRAM and EXPECTED
# (the whole output); ARGUMENTS and SCREENSHOT are optional.
if(SCREENSHOT)
    file(REMOVE ${SCREENSHOT})
    list(APPEND ARGUMENTS --screenshot ${SCREENSHOT})
endif()
execute_process(COMMAND ${PROGRAM} ${ARGUMENTS} RESULT_VARIABLE status OUTPUT_VARIABLE output
                ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${PROGRAM} failed (${status}):\n${output}${errors}")
endif()
if(NOT output STREQUAL EXPECTED)
    message(FATAL_ERROR "${PROGRAM} printed:\n${output}\nexpected:\n${EXPECTED}")
endif()
if(SCREENSHOT)
    file(READ ${SCREENSHOT} signature LIMIT 8 HEX)
    if(NOT signature STREQUAL "89504e470d0a1a0a")
        message(FATAL_ERROR "${SCREENSHOT} is no PNG picture")
    endif()
endif()
