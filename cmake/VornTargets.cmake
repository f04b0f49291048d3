# Each library folder holds its headers and sources side by side, in subfolders by
# subsystem where it has several; every .cpp under the folder belongs to the library.
# Headers are included from the repository root ("host/components/model/Component.h"),
# so the root is a public include path; installed, the same paths sit under include/vorn,
# which is the installed include path. The generated version header sits beside them in
# the build tree.
include(GNUInstallDirs)
set(VORN_INSTALL_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR}/vorn)
set(VORN_GENERATED_INCLUDEDIR ${PROJECT_BINARY_DIR}/generated)
configure_file(${PROJECT_SOURCE_DIR}/cmake/Version.h.in
               ${VORN_GENERATED_INCLUDEDIR}/host/components/Version.h @ONLY)

function(vorn_add_library name)
    cmake_parse_arguments(ARG "" "" "PUBLIC_DEPS;PRIVATE_DEPS" ${ARGN})
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    add_library(${name} SHARED ${sources})
    add_library(Vorn::${name} ALIAS ${name})
    target_include_directories(${name} PUBLIC $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>
                                              $<BUILD_INTERFACE:${VORN_GENERATED_INCLUDEDIR}>
                                              $<INSTALL_INTERFACE:${VORN_INSTALL_INCLUDEDIR}>)
    target_link_libraries(${name} PUBLIC ${ARG_PUBLIC_DEPS} PRIVATE ${ARG_PRIVATE_DEPS})
    set_target_properties(${name} PROPERTIES
        VERSION ${PROJECT_VERSION}
        SOVERSION ${PROJECT_VERSION_MAJOR}
        LIBRARY_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/lib
        CXX_VISIBILITY_PRESET default
        INSTALL_RPATH "$ORIGIN")
endfunction()

# A package that a designer loads and unloads at run time: it binds its own symbols
# first and keeps no process-unique symbols, so that closing it really unmaps it; it
# finds the libraries beside it, so that a copy elsewhere finds only what is beside it.
function(vorn_package_options name)
    target_compile_options(${name} PRIVATE $<$<CXX_COMPILER_ID:GNU>:-fno-gnu-unique>)
    target_link_options(${name} PRIVATE -Wl,-Bsymbolic)
    set_target_properties(${name} PROPERTIES BUILD_WITH_INSTALL_RPATH ON)
endfunction()

# One GoogleTest program per test folder. CTest knows it twice: as the whole program (label
# "program", what the test script runs: one process per program keeps the suites' set-up, such
# as databases and Qt, to one run) and as one test per case (label "case", named
# "Suite.Case", found by listing the program's cases before the tests run), so that
# "ctest -R Suite.Case" runs a single case. The test suites whose names end in "Serial" (they
# stop or restart a server the other programs share) form tests of their own that CTest runs
# alone.
include(GoogleTest)
function(vorn_add_test_program name)
    cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    add_executable(${name} ${sources})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main)
    set(has_serial_suites OFF)
    foreach(source ${sources})
        file(STRINGS ${source} serial_suites REGEX "^TEST(_F|_P)?\\([A-Za-z0-9_]*Serial,")
        if(serial_suites)
            set(has_serial_suites ON)
        endif()
    endforeach()

    add_test(NAME ${name} COMMAND ${name} --gtest_filter=-*Serial.*)
    set_tests_properties(${name} PROPERTIES LABELS program)
    gtest_discover_tests(${name} TEST_FILTER -*Serial.* DISCOVERY_MODE PRE_TEST
                         DISCOVERY_TIMEOUT 60 PROPERTIES LABELS case)
    if(has_serial_suites)
        add_test(NAME ${name}Serial COMMAND ${name} --gtest_filter=*Serial.*)
        set_tests_properties(${name}Serial PROPERTIES RUN_SERIAL ON LABELS program)
        gtest_discover_tests(${name} TEST_FILTER *Serial.* DISCOVERY_MODE PRE_TEST
                             DISCOVERY_TIMEOUT 60 PROPERTIES RUN_SERIAL ON LABELS case)
    endif()
endfunction()
