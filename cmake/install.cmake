# Installation: headers (flat), libraries, the CMake package vx (vx::vx, vx::vxUtil,
# vx::vxhw) and pkg-config files.
include(CMakePackageConfigHelpers)
set(VX_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/vx)

# The pkg-config files find the prefix from their own place (${pcfiledir}), so that an
# installation moved elsewhere, or made with `cmake --install --prefix`, still works.
if(IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}" OR IS_ABSOLUTE "${CMAKE_INSTALL_INCLUDEDIR}")
    set(VX_PC_PREFIX "${CMAKE_INSTALL_PREFIX}")
    set(VX_PC_LIBDIR "${CMAKE_INSTALL_FULL_LIBDIR}")
    set(VX_PC_INCLUDEDIR "${CMAKE_INSTALL_FULL_INCLUDEDIR}")
else()
    file(RELATIVE_PATH _vx_pc_up /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
    string(REGEX REPLACE "/$" "" _vx_pc_up "${_vx_pc_up}")
    set(VX_PC_PREFIX "\${pcfiledir}/${_vx_pc_up}")
    set(VX_PC_LIBDIR "\${prefix}/${CMAKE_INSTALL_LIBDIR}")
    set(VX_PC_INCLUDEDIR "\${prefix}/${CMAKE_INSTALL_INCLUDEDIR}")
endif()
foreach(lib vx vxUtil vxhw)
    if(TARGET ${lib})
        # An installed library finds the kit's other libraries beside itself.
        set_target_properties(${lib} PROPERTIES INSTALL_RPATH "$ORIGIN")
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
