# The demo window library (VornDemoWindow) and the sample data library it reads, for the
# programs that open the demo window (scenario tests, benchmarks) whether or not the apps
# are built. Included from such a program's folder; each library is added once.
if(NOT TARGET VornSampleData)
    add_subdirectory(${PROJECT_SOURCE_DIR}/apps/samplegen ${PROJECT_BINARY_DIR}/samplegen-lib)
endif()
if(NOT TARGET VornDemoWindow)
    add_subdirectory(${PROJECT_SOURCE_DIR}/apps/demo ${PROJECT_BINARY_DIR}/demo-lib)
endif()
