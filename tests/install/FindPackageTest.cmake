# Builds the libraries alone in Release, installs them into a fresh prefix, then
# configures, builds and runs two applications in a folder outside the source tree that
# find the library with find_package(VornData): a console program and the title-sort
# example, which opens its Qt window offscreen, sorts by a title click and writes a
# screenshot. Expects SOURCE_DIR, CONSUMER_SOURCE, EXAMPLE_SOURCE, WORK_DIR, GENERATOR,
# CXX_COMPILER and VERSION.
function(run_step title)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE output
                    ERROR_VARIABLE errors)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${title} failed (${status}):\n${output}${errors}")
    endif()
    set(step_output "${output}" PARENT_SCOPE)
endfunction()

function(expect_equal what actual expected)
    if(NOT actual STREQUAL expected)
        message(FATAL_ERROR "${what}:\n${actual}\nexpected:\n${expected}")
    endif()
endfunction()

# The Release tree is kept between runs, so that a second run only checks it is current.
set(library_build ${WORK_DIR}/library-build)
set(prefix ${WORK_DIR}/prefix)
file(REMOVE_RECURSE ${prefix} ${WORK_DIR}/source ${WORK_DIR}/build)
file(COPY ${CONSUMER_SOURCE}/ DESTINATION ${WORK_DIR}/source)
configure_file(${EXAMPLE_SOURCE} ${WORK_DIR}/source/title-sort.cpp COPYONLY)

run_step("Configure the library" ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${library_build}
         -G ${GENERATOR} -DCMAKE_CXX_COMPILER=${CXX_COMPILER} -DCMAKE_BUILD_TYPE=Release
         -DVORN_BUILD_TESTS=OFF -DVORN_BUILD_APPS=OFF -DVORN_BUILD_EXAMPLES=OFF)
run_step("Build the library" ${CMAKE_COMMAND} --build ${library_build})
run_step("Install" ${CMAKE_COMMAND} --install ${library_build} --prefix ${prefix})

# One folder under include, no internal header, and every header a public one includes
# is installed too.
file(GLOB include_entries RELATIVE ${prefix}/include ${prefix}/include/*)
expect_equal("The installed include folder holds" "${include_entries}" "vorn")
file(GLOB_RECURSE headers RELATIVE ${prefix}/include/vorn ${prefix}/include/vorn/*.h)
foreach(header ${headers})
    if(header MATCHES "(Internal|Detail)\\.h$")
        message(FATAL_ERROR "The internal header ${header} was installed")
    endif()
    file(STRINGS ${prefix}/include/vorn/${header} includes REGEX "^#include \"")
    foreach(line ${includes})
        string(REGEX REPLACE "^#include \"([^\"]+)\".*" "\\1" included "${line}")
        if(NOT EXISTS ${prefix}/include/vorn/${included})
            message(FATAL_ERROR "${header} includes ${included}, which is not installed")
        endif()
    endforeach()
endforeach()
# Shared libraries carry the version: the file, its major version link and the link name.
file(GLOB libraries RELATIVE ${prefix}/lib ${prefix}/lib/libVornData.so*)
list(SORT libraries)
string(REGEX MATCH "^[0-9]+" major "${VERSION}")
expect_equal("The installed VornData files" "${libraries}"
             "libVornData.so;libVornData.so.${major};libVornData.so.${VERSION}")

run_step("Configure the applications" ${CMAKE_COMMAND} -S ${WORK_DIR}/source
         -B ${WORK_DIR}/build -G ${GENERATOR} -DCMAKE_CXX_COMPILER=${CXX_COMPILER}
         -DCMAKE_BUILD_TYPE=Release -DCMAKE_PREFIX_PATH=${prefix})
run_step("Build the applications" ${CMAKE_COMMAND} --build ${WORK_DIR}/build)
run_step("Run the console application" ${WORK_DIR}/build/consumer)
expect_equal("The console application printed" "${step_output}"
             "VornData ${VERSION} TDBGridTitleSort %t (%i) with palette image\n")
set(ENV{QT_QPA_PLATFORM} offscreen)
set(screenshot ${WORK_DIR}/title-sort.png)
run_step("Run the title-sort example" ${WORK_DIR}/build/title-sort --screenshot ${screenshot})
expect_equal("The title-sort example printed" "${step_output}" "sorted by: Name, first: Ana\n")
file(READ ${screenshot} signature LIMIT 8 HEX)
expect_equal("The screenshot's signature" "${signature}" "89504e470d0a1a0a")
file(REMOVE_RECURSE ${prefix} ${WORK_DIR}/source ${WORK_DIR}/build)
message(STATUS "The installed VornData was found, linked and run")
