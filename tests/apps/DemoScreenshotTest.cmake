# Runs vorndemo --screenshot offscreen on a small fresh sample database and checks that it
# exits 0 and leaves a PNG behind; then on a server that is not there, and checks that it
# reports that and ends.
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
set(Screenshot "${WORK_DIR}/demo.png")
set(ENV{XDG_CACHE_HOME} "${WORK_DIR}/cache")
unset(ENV{DISPLAY})
unset(ENV{WAYLAND_DISPLAY})
execute_process(COMMAND "${DEMO}" --customers 300 --screenshot "${Screenshot}"
                RESULT_VARIABLE Result OUTPUT_VARIABLE Output ERROR_VARIABLE Errors
                TIMEOUT 120)
if(NOT Result EQUAL 0)
    message(FATAL_ERROR "vorndemo failed (${Result}):\n${Output}\n${Errors}")
endif()
if(NOT EXISTS "${Screenshot}")
    message(FATAL_ERROR "vorndemo wrote no screenshot:\n${Output}")
endif()
file(READ "${Screenshot}" Signature LIMIT 8 HEX)
if(NOT Signature STREQUAL "89504e470d0a1a0a")
    message(FATAL_ERROR "The screenshot is not a PNG file (starts with ${Signature})")
endif()
file(SIZE "${Screenshot}" Size)
if(Size LESS 10000)
    message(FATAL_ERROR "The screenshot is only ${Size} bytes: an empty window")
endif()
string(FIND "${Output}" "${Screenshot}" Mentioned)
if(Mentioned EQUAL -1)
    message(FATAL_ERROR "vorndemo did not say where the screenshot went:\n${Output}")
endif()

# A start-up error without a screen goes to stderr only: the program ends at once with a
# non-zero status instead of waiting on a dialog no one sees.
execute_process(COMMAND "${DEMO}" --postgres "host=/tmp/vorn-no-server-here dbname=vorn"
                        --screenshot "${WORK_DIR}/never.png"
                RESULT_VARIABLE Result OUTPUT_VARIABLE Output ERROR_VARIABLE Errors
                TIMEOUT 30)
if(Result EQUAL 0 OR NOT Result MATCHES "^[0-9]+$")
    message(FATAL_ERROR "vorndemo on a missing server ended with ${Result}:\n${Output}\n${Errors}")
endif()
string(FIND "${Errors}" "vorndemo: " Reported)
if(Reported EQUAL -1)
    message(FATAL_ERROR "vorndemo did not report the missing server on stderr:\n${Errors}")
endif()
