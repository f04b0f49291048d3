# Installs every library a program may link, their public headers under include/vorn (the
# installed include path, so that "host/components/controls/Control.h" names the same header as in
# the source tree and the prefix holds nothing generic) and a package configuration, so
# that another project can find_package(VornData) and link Vorn::<library>.
include(CMakePackageConfigHelpers)

set(VORN_INSTALLED_LIBRARIES VornHostComponents VornHostData VornData VornHostDesigner
    VornDataDesign VornHostQt)
install(TARGETS ${VORN_INSTALLED_LIBRARIES} EXPORT VornDataTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
# Headers ending in Internal.h or Detail.h belong to a library's sources only.
foreach(folder host/components host/data host/designer host/qt Source design)
    install(DIRECTORY ${PROJECT_SOURCE_DIR}/${folder}/ DESTINATION ${VORN_INSTALL_INCLUDEDIR}/${folder}
            FILES_MATCHING PATTERN "*.h" PATTERN "*Internal.h" EXCLUDE PATTERN "*Detail.h" EXCLUDE)
endforeach()
install(FILES ${VORN_GENERATED_INCLUDEDIR}/host/components/Version.h
        DESTINATION ${VORN_INSTALL_INCLUDEDIR}/host/components)

set(VORN_CONFIG_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/VornData)
install(EXPORT VornDataTargets NAMESPACE Vorn:: DESTINATION ${VORN_CONFIG_DESTINATION})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/VornDataConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/VornDataConfig.cmake
                              INSTALL_DESTINATION ${VORN_CONFIG_DESTINATION})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/VornDataConfigVersion.cmake
                                 VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/VornDataConfig.cmake
              ${PROJECT_BINARY_DIR}/VornDataConfigVersion.cmake
        DESTINATION ${VORN_CONFIG_DESTINATION})
