# Installs the libraries, their headers (under include/, as the repository lays them out)
# and a package configuration, so that another project can find_package(VornData).
include(CMakePackageConfigHelpers)

set(VORN_INSTALLED_LIBRARIES VornHostComponents VornHostData VornData VornHostDesigner
    VornDataDesign)
install(TARGETS ${VORN_INSTALLED_LIBRARIES} EXPORT VornDataTargets
        LIBRARY DESTINATION lib)
foreach(folder host/components host/data host/designer Source design)
    install(DIRECTORY ${PROJECT_SOURCE_DIR}/${folder}/ DESTINATION include/${folder}
            FILES_MATCHING PATTERN "*.h")
endforeach()

set(VORN_CONFIG_DESTINATION lib/cmake/VornData)
install(EXPORT VornDataTargets NAMESPACE Vorn:: DESTINATION ${VORN_CONFIG_DESTINATION})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/VornDataConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/VornDataConfig.cmake
                              INSTALL_DESTINATION ${VORN_CONFIG_DESTINATION})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/VornDataConfigVersion.cmake
                                 VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/VornDataConfig.cmake
              ${PROJECT_BINARY_DIR}/VornDataConfigVersion.cmake
        DESTINATION ${VORN_CONFIG_DESTINATION})
