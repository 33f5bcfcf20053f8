# Installation: headers (flat), libraries, the CMake package vx (vx::vx, vx::vxUtil,
# vx::vxhw) and pkg-config files.
include(CMakePackageConfigHelpers)
set(VX_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/vx)
foreach(lib vx vxUtil vxhw)
    if(TARGET ${lib})
        install(TARGETS ${lib} EXPORT vxTargets
            LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
            RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
            ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
            PUBLIC_HEADER DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
        set(VX_PC_NAME ${lib})
        if(lib STREQUAL "vxUtil")
            set(VX_PC_REQUIRES "vx")
        else()
            set(VX_PC_REQUIRES "")
        endif()
        configure_file(${PROJECT_SOURCE_DIR}/cmake/lib.pc.in ${PROJECT_BINARY_DIR}/${lib}.pc @ONLY)
        install(FILES ${PROJECT_BINARY_DIR}/${lib}.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
    endif()
endforeach()
install(EXPORT vxTargets NAMESPACE vx:: DESTINATION ${VX_INSTALL_CMAKEDIR})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/vxConfig.cmake.in
    ${PROJECT_BINARY_DIR}/vxConfig.cmake INSTALL_DESTINATION ${VX_INSTALL_CMAKEDIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/vxConfigVersion.cmake
    VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/vxConfig.cmake ${PROJECT_BINARY_DIR}/vxConfigVersion.cmake
    DESTINATION ${VX_INSTALL_CMAKEDIR})
